// Real playback: the device plays into a PulseAudio null sink while parec
// records the sink's monitor, and the recording must hold the sound. Run by
// playback_test.sh, which starts the private server; without it every test
// here is skipped, saying why.

#include "platform/audio/qt_mci_device.h"
#include "sound_files.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace p95 {
namespace {

constexpr int kRate = 22050;

void spin(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Recording {
    int peak = 0;
    double rms = 0;
    double loudSeconds = 0; // time spent above a quarter of the peak
    double hz = 0;          // from the zero crossings of the loud part
};

Recording analyse(const QByteArray& raw) {
    Recording r;
    const auto* samples = reinterpret_cast<const qint16*>(raw.constData());
    const qsizetype n = raw.size() / 2;
    double sum = 0;
    for (qsizetype i = 0; i < n; ++i) {
        r.peak = std::max(r.peak, std::abs(int(samples[i])));
        sum += double(samples[i]) * samples[i];
    }
    if (n == 0)
        return r;
    r.rms = std::sqrt(sum / double(n));
    // Loudness per 10 ms window, so that the zero crossings of a sine count
    // as sound.
    const qsizetype window = kRate / 100;
    qsizetype loudWindows = 0;
    qsizetype crossings = 0;
    for (qsizetype w = 0; w + window <= n; w += window) {
        int windowPeak = 0;
        for (qsizetype i = w; i < w + window; ++i)
            windowPeak = std::max(windowPeak, std::abs(int(samples[i])));
        if (windowPeak * 4 < r.peak)
            continue;
        ++loudWindows;
        for (qsizetype i = w + 1; i < w + window; ++i) {
            if ((samples[i - 1] < 0) != (samples[i] < 0))
                ++crossings;
        }
    }
    r.loudSeconds = double(loudWindows) / 100.0;
    if (loudWindows > 0)
        r.hz = double(crossings) / 2.0 / r.loudSeconds;
    return r;
}

class PlaybackTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_monitor = qEnvironmentVariable("P95_PLAYBACK_MONITOR");
        if (m_monitor.isEmpty())
            GTEST_SKIP() << "needs a PulseAudio server with a null sink; run through "
                            "tests/platform/playback_test.sh";
        ASSERT_TRUE(m_dir.isValid());
    }

    // Plays a file the way the editor does (Close if open; Open, Play, Prev)
    // and returns what the sink's monitor heard meanwhile.
    QByteArray playAndRecord(const QString& file, const QString& deviceType) {
        QProcess parec;
        parec.start(QStringLiteral("parec"),
                    {QStringLiteral("--device=") + m_monitor, QStringLiteral("--format=s16le"),
                     QStringLiteral("--channels=1"), QStringLiteral("--rate=%1").arg(kRate),
                     QStringLiteral("--raw"), QStringLiteral("--latency-msec=20")});
        if (!parec.waitForStarted(5000)) {
            ADD_FAILURE() << "parec did not start: " << parec.errorString().toStdString();
            return {};
        }
        spin(300);

        QtMciDevice device;
        device.setDeviceType(deviceType);
        device.setFileName(file);
        const Status opened = device.command(QStringLiteral("Open"));
        EXPECT_TRUE(opened.ok()) << opened.error().text().toStdString();
        // The editor plays only where there is an output; a server's sink is one.
        EXPECT_TRUE(device.hasOutput());
        const Status played = device.command(QStringLiteral("Play"));
        EXPECT_TRUE(played.ok()) << played.error().text().toStdString();
        EXPECT_TRUE(device.command(QStringLiteral("Prev")).ok());
        EXPECT_TRUE(device.waitUntilStopped(15000)) << "the sound never ended";
        EXPECT_EQ(device.playerError(), QString());
        spin(300);

        parec.terminate();
        parec.waitForFinished(5000);
        QByteArray raw = parec.readAllStandardOutput();
        if (raw.isEmpty())
            ADD_FAILURE() << "parec recorded nothing: "
                          << parec.readAllStandardError().toStdString();
        return raw;
    }

    QString m_monitor;
    QTemporaryDir m_dir;
};

TEST_F(PlaybackTest, AWaveFileIsHeardToItsEndDespitePrev) {
    const QString file = m_dir.filePath(QStringLiteral("tone.wav"));
    ASSERT_TRUE(test::writeFile(file, test::sineWave(440.0, 1.0)));

    const Recording r = analyse(playAndRecord(file, QStringLiteral("WaveAudio")));
    std::cout << "wave: peak " << r.peak << ", rms " << r.rms << ", loud for " << r.loudSeconds
              << " s, " << r.hz << " Hz\n";
    EXPECT_GT(r.peak, 4000) << "the recording is silent";
    // Prev right after Play must not have cut the one-second tone off. (The
    // sink's monitor misses part of a stream that joins or leaves a running
    // sink: of this tone it records about 0.6 s, of which a cut-off sound
    // would leave next to nothing.)
    EXPECT_GT(r.loudSeconds, 0.4);
    EXPECT_NEAR(r.hz, 440.0, 30.0);
}

TEST_F(PlaybackTest, TheMidiTuneIsHeard) {
    // The program's own tune when it is there, else a tune made here; either
    // way named ".mid", which chooses the MIDI device.
    const QString tune = m_dir.filePath(QStringLiteral("theme.mid"));
    const QString shipped = QStringLiteral(P95_SOURCE_DATA_DIR "/theme.cat");
    if (QFile::exists(shipped))
        ASSERT_TRUE(QFile::copy(shipped, tune));
    else
        ASSERT_TRUE(test::writeFile(tune, test::midiTune()));

    const Recording r = analyse(playAndRecord(tune, QString()));
    std::cout << "tune (" << (QFile::exists(shipped) ? "theme.cat" : "generated") << "): peak "
              << r.peak << ", rms " << r.rms << ", loud for " << r.loudSeconds << " s\n";
    EXPECT_GT(r.peak, 300) << "the recording is silent";
    EXPECT_GT(r.rms, 20.0);
    EXPECT_GT(r.loudSeconds, 0.2);
}

} // namespace
} // namespace p95
