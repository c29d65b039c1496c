// The program's audio device is made, and the media library loaded, only
// when a sound is first opened: starting needs neither.

#include "platform/gui/real_services.h"
#include "sound_files.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace p95 {
namespace {

bool loaded(const char* library) {
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(library);
}

TEST(LazyAudio, NoMediaLibraryIsLoadedUntilASoundIsOpened) {
    QTemporaryDir dir;
    const QString tone = dir.filePath(QStringLiteral("tone.wav"));
    ASSERT_TRUE(test::writeFile(tone, test::sineWave(440.0, 0.2)));

    RealServices real;
    MciDevice& audio = real.services().audio;
    // What the editor does before any sound: asks the mode, closes nothing.
    EXPECT_EQ(audio.mode(), MciMode::NotOpen);
    EXPECT_TRUE(audio.command(QStringLiteral("Close")).ok());
    audio.setDeviceType(QStringLiteral("WaveAudio"));
    audio.setFileName(tone);
    EXPECT_FALSE(audio.waitUntilLoaded(10).ok());
    EXPECT_FALSE(real.audio.made());
    EXPECT_FALSE(loaded("libQt6Multimedia"));

    // The first Open makes the device, with the type and file set before.
    EXPECT_TRUE(audio.command(QStringLiteral("Open")).ok());
    EXPECT_TRUE(real.audio.made());
    EXPECT_TRUE(loaded("libQt6Multimedia"));
    EXPECT_EQ(audio.mode(), MciMode::Stopped);
    EXPECT_EQ(audio.fileName(), tone);
    EXPECT_TRUE(audio.command(QStringLiteral("Close")).ok());
    EXPECT_EQ(audio.mode(), MciMode::NotOpen);
}

} // namespace
} // namespace p95
