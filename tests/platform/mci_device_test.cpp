// The real MCI device without a sound server (the test sets PULSE_SERVER to a
// socket that does not exist): every command completes, nothing hangs, and
// the one-file-at-a-time rules hold.

#include "platform/audio/qt_mci_device.h"
#include "sound_files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace p95 {
namespace {

class MciDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(test::writeFile(path("tone.wav"), test::sineWave(440.0, 0.3)));
        ASSERT_TRUE(test::writeFile(path("other.wav"), test::sineWave(880.0, 0.3)));
        ASSERT_TRUE(test::writeFile(path("tune.mid"), test::midiTune()));
        ASSERT_TRUE(test::writeFile(path("text.wav"), QByteArray("not a sound at all\r\n")));
    }
    QString path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    QTemporaryDir m_dir;
    QtMciDevice m_device;
};

TEST_F(MciDeviceTest, OpenPlayPrevCloseRunThroughTheModes) {
    m_device.setDeviceType(QStringLiteral("WaveAudio"));
    m_device.setFileName(path("tone.wav"));
    EXPECT_EQ(m_device.mode(), MciMode::NotOpen);

    EXPECT_TRUE(m_device.command(QStringLiteral("Open")).ok());
    EXPECT_EQ(m_device.mode(), MciMode::Stopped);
    EXPECT_TRUE(m_device.command(QStringLiteral("Play")).ok());
    EXPECT_EQ(m_device.mode(), MciMode::Playing);
    // Prev right after Play must not cut the sound off.
    EXPECT_TRUE(m_device.command(QStringLiteral("Prev")).ok());
    EXPECT_EQ(m_device.mode(), MciMode::Playing);

    // With no sound device the player either plays into nothing or reports
    // an error; in both cases it comes to rest instead of hanging.
    EXPECT_TRUE(m_device.waitUntilStopped(5000));
    EXPECT_NE(m_device.mode(), MciMode::NotOpen);
    EXPECT_TRUE(m_device.command(QStringLiteral("Close")).ok());
    EXPECT_EQ(m_device.mode(), MciMode::NotOpen);
    EXPECT_TRUE(m_device.command(QStringLiteral("Close")).ok()) << "closing twice is harmless";
}

TEST_F(MciDeviceTest, ASecondOpenClosesTheFirstFile) {
    m_device.setDeviceType(QStringLiteral("WaveAudio"));
    m_device.setFileName(path("tone.wav"));
    ASSERT_TRUE(m_device.command(QStringLiteral("Open")).ok());
    ASSERT_TRUE(m_device.command(QStringLiteral("Play")).ok());

    m_device.setFileName(path("other.wav"));
    EXPECT_TRUE(m_device.command(QStringLiteral("Open")).ok());
    EXPECT_EQ(m_device.mode(), MciMode::Stopped) << "the first sound stopped with its file";
    EXPECT_EQ(m_device.fileName(), path("other.wav"));
    EXPECT_TRUE(m_device.command(QStringLiteral("Close")).ok());
}

TEST_F(MciDeviceTest, RefusesWhatItCannotOpenOrPlay) {
    m_device.setDeviceType(QStringLiteral("WaveAudio"));
    m_device.setFileName(path("missing.wav"));
    const Status missing = m_device.command(QStringLiteral("Open"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().file, path("missing.wav"));
    EXPECT_EQ(m_device.mode(), MciMode::NotOpen);

    m_device.setFileName(QString());
    EXPECT_FALSE(m_device.command(QStringLiteral("Open")).ok());
    EXPECT_FALSE(m_device.command(QStringLiteral("Play")).ok()) << "playing with nothing open";
    EXPECT_FALSE(m_device.command(QStringLiteral("Prev")).ok());
    EXPECT_FALSE(m_device.waitUntilLoaded(100).ok());
    EXPECT_FALSE(m_device.command(QStringLiteral("Eject")).ok());

    // No device type and an extension no device claims.
    m_device.setDeviceType(QString());
    m_device.setFileName(path("text.wav").replace(QStringLiteral(".wav"), QStringLiteral(".txt")));
    ASSERT_TRUE(test::writeFile(m_device.fileName(), QByteArray("text")));
    EXPECT_FALSE(m_device.command(QStringLiteral("Open")).ok());
    EXPECT_EQ(m_device.mode(), MciMode::NotOpen);
}

TEST_F(MciDeviceTest, AFileThatIsNoSoundIsAnErrorNotACrash) {
    m_device.setDeviceType(QStringLiteral("WaveAudio"));
    m_device.setFileName(path("text.wav"));
    // Opening only names the file; the player finds out while loading.
    if (const Status opened = m_device.command(QStringLiteral("Open")); !opened.ok())
        SUCCEED() << "refused at once: " << opened.error().text().toStdString();
    const Status loaded = m_device.waitUntilLoaded();
    ASSERT_FALSE(loaded.ok());
    EXPECT_FALSE(loaded.error().reason.isEmpty());
    EXPECT_FALSE(m_device.command(QStringLiteral("Play")).ok());
    EXPECT_NE(m_device.mode(), MciMode::Playing);
    EXPECT_TRUE(m_device.command(QStringLiteral("Close")).ok());
}

TEST_F(MciDeviceTest, TheTuneIsChosenByItsExtensionAndLoadsInTime) {
    m_device.setDeviceType(QString());
    m_device.setFileName(path("tune.mid"));
    ASSERT_TRUE(m_device.command(QStringLiteral("Open")).ok());
    EXPECT_TRUE(m_device.command(QStringLiteral("Play")).ok());
    EXPECT_TRUE(m_device.command(QStringLiteral("Prev")).ok());
    const Status loaded = m_device.waitUntilLoaded();
    EXPECT_TRUE(loaded.ok()) << loaded.error().text().toStdString();
    EXPECT_TRUE(m_device.command(QStringLiteral("Close")).ok());
}

} // namespace
} // namespace p95
