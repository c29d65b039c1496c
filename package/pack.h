#pragma once

// Packing a saved theme into a zip archive to give away: the theme
// directory NAME/ with every file in it, so that unpacking it into the
// Themes folder of a Windows 95 machine gives the directory the .theme file
// names.
//
// Entry names are in code page 437, as the zip tools of that era read them,
// where every character of the name fits; other names are UTF-8 with the
// zip's UTF-8 flag. Each entry carries its file's date (a DOS date stamp,
// local time). The archive is written beside its target and renamed over it.
// A theme that does not exist, one whose .theme file names files its
// directory lacks, one holding anything but files and folders, and one
// whose zip the install would refuse (scanArchive() with the same limits)
// is refused, nothing written.

#include "package/archive_reader.h"
#include "platform/file_system.h"

namespace p95 {

struct PackResult {
    std::optional<PackageProblem> problem;
    QStringList missing; // %ThemeDir% names (as written) with no file in the directory
    int files = 0;       // files packed
};

// archive: a host path, or a Windows path on drive C.
PackResult packTheme(const QString& themeName, const QString& archive, FileSystem& files,
                     const PackageLimits& limits = PackageLimits());

} // namespace p95
