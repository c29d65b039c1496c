#include "platform/gui/real_services.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace p95 {

namespace {

// Where the audio library is: in the build tree for a program run from it,
// else beside an installation moved as a whole, else where it was installed.
QStringList audioLibraryPlaces() {
    QStringList places;
    if (QCoreApplication::instance()) {
        const QString appDir = QDir::cleanPath(QCoreApplication::applicationDirPath());
        const QString buildDir = QDir::cleanPath(QStringLiteral(P95_BUILD_DIR));
        if (appDir == buildDir || appDir.startsWith(buildDir + QLatin1Char('/')))
            places << QStringLiteral(P95_AUDIO_LIBRARY_BUILT);
        places << QDir::cleanPath(appDir + QStringLiteral("/../" P95_AUDIO_LIBRARY_INSTALLED));
    }
    places << QStringLiteral(P95_AUDIO_LIBRARY_INSTALLED_FULL)
           << QStringLiteral(P95_AUDIO_LIBRARY_BUILT);
    places.removeDuplicates();
    return places;
}

using CreateDevice = MciDevice* (*)();

} // namespace

LazyMciDevice::LazyMciDevice() = default;
LazyMciDevice::~LazyMciDevice() = default;

void LazyMciDevice::setDeviceType(const QString& type) {
    m_type = type;
    if (m_device)
        m_device->setDeviceType(type);
}

void LazyMciDevice::setFileName(const QString& path) {
    m_file = path;
    if (m_device)
        m_device->setFileName(path);
}

MciMode LazyMciDevice::mode() const {
    return m_device ? m_device->mode() : MciMode::NotOpen;
}

Status LazyMciDevice::command(const QString& command) {
    // Closing what was never opened needs no device.
    if (!m_device && command.compare(QStringLiteral("Close"), Qt::CaseInsensitive) == 0)
        return {};
    if (auto status = make(); !status.ok())
        return status;
    return m_device->command(command);
}

Status LazyMciDevice::waitUntilLoaded(int timeoutMs) {
    if (!m_device)
        return Error{QStringLiteral("Loading the sound"), m_file, QStringLiteral("Not open")};
    return m_device->waitUntilLoaded(timeoutMs);
}

bool LazyMciDevice::hasOutput() const {
    return m_device && m_device->hasOutput();
}

Status LazyMciDevice::make() {
    if (m_device)
        return {};
    const QString step = QStringLiteral("Opening the sound");
    QString reason = QStringLiteral("the audio library is not installed");
    for (const QString& place : audioLibraryPlaces()) {
        if (!QFileInfo::exists(place))
            continue;
        QLibrary library(place);
        // The library stays loaded: the device's code is in it.
        const auto create =
            reinterpret_cast<CreateDevice>(library.resolve("p95_create_audio_device"));
        if (!create) {
            reason = library.errorString();
            continue;
        }
        m_device.reset(create()); // a QtMciDevice, which chooses the media backend first
        m_device->setDeviceType(m_type);
        m_device->setFileName(m_file);
        return {};
    }
    return Error{step, m_file, QStringLiteral("No sound device: %1").arg(reason)};
}

Services RealServices::services() {
    return Services{fileDialog, messages, input, choice, audio, pictures, clipboard, clock};
}

} // namespace p95
