#pragma once

// Drive C on a disk image from the command line: the "image" command (info,
// list, check) and the --drive-c / --partition options the theme commands take.

#include "platform/image_drive.h"

#include <QStringList>

#include <memory>
#include <optional>

namespace p95::cli {

// paletteer95-cli image info|list|check IMAGE [--partition N]
int imageCommand(const QStringList& args);

// Drive C for one theme command: takes --drive-c PATH and --partition N out
// of the arguments (or reads $PALETTEER95_DRIVE_C). A folder becomes drive C
// as it is; an image is opened, for writing when the command writes, and its
// changes are written when the command has run.
class DriveSession {
public:
    DriveSession() = default;
    ~DriveSession();
    DriveSession(const DriveSession&) = delete;
    DriveSession& operator=(const DriveSession&) = delete;

    // A problem is said, and its exit status returned.
    std::optional<int> open(QStringList& args, bool writes);
    // The command's exit status, or the failure of writing the image.
    int finish(int status);

private:
    std::unique_ptr<ImageDrive> m_image;
};

} // namespace p95::cli
