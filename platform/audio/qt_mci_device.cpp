#include "platform/audio/qt_mci_device.h"

#include "platform/drive.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QEventLoop>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>

namespace p95 {

namespace {

// The device an MCI open would pick: the one named, else the one of the
// file's extension.
bool knownDevice(const QString& type, const QString& file) {
    if (type.compare(QStringLiteral("WaveAudio"), Qt::CaseInsensitive) == 0 ||
        type.compare(QStringLiteral("Sequencer"), Qt::CaseInsensitive) == 0)
        return true;
    if (!type.isEmpty())
        return false;
    const QString suffix = QFileInfo(file).suffix().toLower();
    return suffix == QStringLiteral("wav") || suffix == QStringLiteral("mid") ||
           suffix == QStringLiteral("midi") || suffix == QStringLiteral("rmi");
}

bool loaded(QMediaPlayer::MediaStatus status) {
    return status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferingMedia ||
           status == QMediaPlayer::BufferedMedia || status == QMediaPlayer::EndOfMedia;
}

} // namespace

QtMciDevice::QtMciDevice() {
    prepareMultimediaBackend();
}

QtMciDevice::~QtMciDevice() {
    close();
}

MciMode QtMciDevice::mode() const {
    if (!m_player)
        return MciMode::NotOpen;
    return m_playing ? MciMode::Playing : MciMode::Stopped;
}

Status QtMciDevice::command(const QString& command) {
    if (command.compare(QStringLiteral("Open"), Qt::CaseInsensitive) == 0)
        return open();
    if (command.compare(QStringLiteral("Play"), Qt::CaseInsensitive) == 0)
        return play();
    if (command.compare(QStringLiteral("Prev"), Qt::CaseInsensitive) == 0) {
        if (!m_player)
            return Error{QStringLiteral("Rewinding the sound"), m_file, QStringLiteral("Not open")};
        prev();
        return {};
    }
    if (command.compare(QStringLiteral("Close"), Qt::CaseInsensitive) == 0) {
        close();
        return {};
    }
    return Error{QStringLiteral("Sending a command to the sound device"), m_file,
                 QStringLiteral("Unknown command \"%1\"").arg(command)};
}

Status QtMciDevice::open() {
    // One file at a time: a second Open replaces the first.
    close();
    const QString step = QStringLiteral("Opening the sound");
    if (m_file.isEmpty())
        return Error{step, m_file, QStringLiteral("No file named")};
    const Result<QString> host = hostPath(m_file);
    if (!host.ok())
        return Error{step, m_file, host.error().reason};
    const QFileInfo info(host.value());
    if (!info.isFile() || !info.isReadable())
        return Error{step, m_file, QStringLiteral("No such file")};
    if (!knownDevice(m_type, host.value()))
        return Error{step, m_file, QStringLiteral("No sound device for this kind of file")};

    m_output = std::make_unique<QAudioOutput>();
    m_player = std::make_unique<QMediaPlayer>();
    m_player->setAudioOutput(m_output.get());
    QObject::connect(m_player.get(), &QMediaPlayer::mediaStatusChanged, m_player.get(),
                     [this](QMediaPlayer::MediaStatus status) { onStatus(int(status)); });
    QObject::connect(m_player.get(), &QMediaPlayer::errorOccurred, m_player.get(),
                     [this](QMediaPlayer::Error, const QString& reason) { onError(reason); });
    m_openFile = m_file;
    m_player->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    // The player may have refused the file at once.
    if (!m_playerError.isEmpty()) {
        const QString reason = m_playerError;
        close();
        m_playerError = reason;
        return Error{step, m_file, reason};
    }
    return {};
}

Status QtMciDevice::play() {
    const QString step = QStringLiteral("Playing the sound");
    if (!m_player)
        return Error{step, m_file, QStringLiteral("Not open")};
    if (!m_playerError.isEmpty())
        return Error{step, m_openFile, m_playerError};
    if (m_player->mediaStatus() == QMediaPlayer::EndOfMedia)
        m_player->setPosition(0);
    m_rewindAtEnd = false;
    m_playing = true;
    m_player->play();
    return {};
}

void QtMciDevice::prev() {
    if (m_playing) {
        // Rewinding now would cut the sound off just after it started.
        m_rewindAtEnd = true;
        return;
    }
    m_player->setPosition(0);
}

void QtMciDevice::close() {
    m_playing = false;
    m_rewindAtEnd = false;
    m_playerError.clear();
    m_openFile.clear();
    if (m_player) {
        QObject::disconnect(m_player.get(), nullptr, nullptr, nullptr);
        m_player->stop();
    }
    m_player.reset();
    m_output.reset();
}

void QtMciDevice::onStatus(int status) {
    if (status == QMediaPlayer::EndOfMedia) {
        m_playing = false;
        if (m_rewindAtEnd) {
            m_rewindAtEnd = false;
            m_player->setPosition(0);
        }
    } else if (status == QMediaPlayer::InvalidMedia) {
        onError(m_player->errorString().isEmpty()
                    ? QStringLiteral("Not a sound the player can play")
                    : m_player->errorString());
    }
}

void QtMciDevice::onError(const QString& reason) {
    m_playing = false;
    m_rewindAtEnd = false;
    if (m_playerError.isEmpty())
        m_playerError = reason.isEmpty() ? QStringLiteral("The sound cannot be played") : reason;
}

template <typename Done> bool QtMciDevice::waitFor(Done done, int timeoutMs) {
    if (done())
        return true;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    // Poll as well as listen: the player may finish between two signals.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    timer.start(timeoutMs);
    poll.start(10);
    // No user input meanwhile: a click must not start another command while
    // this one waits.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return done();
}

Status QtMciDevice::waitUntilLoaded(int timeoutMs) {
    const QString step = QStringLiteral("Loading the sound");
    if (!m_player)
        return Error{step, m_file, QStringLiteral("Not open")};
    const bool done = waitFor(
        [this] { return !m_player || !m_playerError.isEmpty() || loaded(m_player->mediaStatus()); },
        timeoutMs);
    if (!m_player)
        return Error{step, m_file, QStringLiteral("Not open")};
    if (!m_playerError.isEmpty())
        return Error{step, m_openFile, m_playerError};
    if (!done)
        return Error{step, m_openFile, QStringLiteral("The player did not load it in time")};
    return {};
}

bool QtMciDevice::hasOutput() const {
    return !QMediaDevices::audioOutputs().isEmpty();
}

bool QtMciDevice::waitUntilStopped(int timeoutMs) {
    return waitFor([this] { return !m_playing; }, timeoutMs);
}

} // namespace p95

p95::MciDevice* p95_create_audio_device() {
    return new p95::QtMciDevice();
}
