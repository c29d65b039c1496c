#include "platform/drive_choice.h"

#include "platform/drive.h"
#include "platform/image_drive.h"

#include <QFileInfo>
#include <QSettings>

#include <memory>

namespace p95 {

namespace {

struct Current {
    std::unique_ptr<ImageDrive> image;
    DriveChoice choice;
    QString readOnlyReason; // why an image drive C was opened for reading only
};

Current& current() {
    static Current state;
    return state;
}

const QString kPathKey = QStringLiteral("driveC/path");
const QString kPartitionKey = QStringLiteral("driveC/partition");

} // namespace

DriveChoice rememberedDriveChoice() {
    DriveChoice choice;
    const QString named = qEnvironmentVariable("PALETTEER95_DRIVE_C");
    if (!named.isEmpty()) {
        choice.path = named;
        return choice;
    }
    QSettings settings(QStringLiteral("paletteer95"), QStringLiteral("paletteer95"));
    choice.path = settings.value(kPathKey).toString();
    choice.partition = settings.value(kPartitionKey, 0).toInt();
    return choice;
}

void rememberDriveChoice(const DriveChoice& choice) {
    QSettings settings(QStringLiteral("paletteer95"), QStringLiteral("paletteer95"));
    settings.setValue(kPathKey, choice.path);
    settings.setValue(kPartitionKey, choice.partition);
}

Status useDriveC(const DriveChoice& choice) {
    Current& state = current();
    if (!isImageFile(choice.path)) {
        if (!choice.path.isEmpty() && !QFileInfo(choice.path).isDir()) {
            return Error{QStringLiteral("Choosing drive C"), choice.path,
                         QStringLiteral("no such folder or image file")};
        }
        setActiveImageDrive(nullptr);
        state.image.reset();
        if (choice.path.isEmpty())
            qunsetenv("PALETTEER95_DRIVE_C");
        else
            qputenv("PALETTEER95_DRIVE_C",
                    QFile::encodeName(QFileInfo(choice.path).absoluteFilePath()));
        state.choice = choice;
        return {};
    }
    QString readOnlyReason;
    auto image = ImageDrive::open(choice.path, choice.partition, ImageDrive::Mode::WriteLater);
    if (!image) {
        readOnlyReason = image.error().reason;
        image = ImageDrive::open(choice.path, choice.partition, ImageDrive::Mode::Read);
        if (!image)
            return image.error();
    }
    setActiveImageDrive(nullptr);
    state.image = std::move(image.value());
    state.choice = choice;
    state.readOnlyReason = readOnlyReason;
    // The program directory stays in the local folder: the variable no
    // longer names a folder.
    qputenv("PALETTEER95_DRIVE_C", QFile::encodeName(QFileInfo(choice.path).absoluteFilePath()));
    setActiveImageDrive(state.image.get());
    return {};
}

Status commitDriveC() {
    Current& state = current();
    if (!state.image)
        return {};
    Status written;
    if (!state.readOnlyReason.isEmpty() && state.image->hasChanges())
        written = Error{QStringLiteral("Writing to the disk image"), state.choice.path,
                        state.readOnlyReason};
    else
        written = state.image->commit();
    if (!written.ok())
        state.image->discard();
    return written;
}

void refreshDriveC() {
    Current& state = current();
    if (state.image)
        state.image->refreshIfChanged();
}

QString driveCDescription() {
    const Current& state = current();
    if (state.image) {
        QString text = QStringLiteral("Drive C: %1 (%2)")
                           .arg(state.image->description(), state.image->image().source);
        if (!state.readOnlyReason.isEmpty())
            text += QStringLiteral(", read only: ") + state.readOnlyReason;
        return text;
    }
    return QStringLiteral("Drive C: the folder %1").arg(localDriveCFolder());
}

} // namespace p95
