#include "editor/birthday.h"

#include "platform/file_system.h"
#include "platform/mci_device.h"
#include "theme/product.h"
#include "theme/theme_document.h"

namespace p95 {

bool isBirthday(QDate date) {
    return date.month() == 1 && date.day() == 12;
}

QString birthdayGreeting() {
    return QStringLiteral("Happy Birthday ") + toQString(kAuthorName) + QStringLiteral("!!!!!");
}

Status playBirthdayTune(MciDevice& device, FileSystem& files, const QString& programDirectory) {
    if (device.mode() != MciMode::NotOpen)
        (void)device.command(QStringLiteral("Close")); // closing cannot be refused

    const QString tune = programDirectory + QStringLiteral("\\theme.cat");
    const QString midi = programDirectory + QStringLiteral("\\theme.mid");
    if (Status renamed = files.rename(tune, midi); !renamed.ok())
        return renamed;

    // No device type: the device chooses its player by the file's ending.
    device.setDeviceType(QString());
    device.setFileName(midi);
    Status result = device.command(QStringLiteral("Open"));
    if (result.ok()) {
        result = device.command(QStringLiteral("Play"));
        if (result.ok())
            result = device.command(QStringLiteral("Prev"));
        // Only bounds the wait before the rename below; a tune that is slow to
        // load is no failure of the greeting.
        (void)device.waitUntilLoaded(kTuneLoadWaitMs);
    }

    // The tune's file goes back under its own name even when playing failed.
    if (Status back = files.rename(midi, tune); !back.ok() && result.ok())
        result = back;
    return result;
}

} // namespace p95
