#pragma once

// How much a theme package may hold. A theme is a few megabytes (the Plus!
// themes are 1 to 5 MB, with their sounds); the limits leave room for large
// collections and refuse what only a bomb would need. An archive over any of
// them is refused whole before anything is written.
//
// A .theme file may be 1 MiB, far below the 16 MiB the theme reader takes
// (kMaxThemeFileBytes): the placement holds every .theme file of a package in
// memory at once, up to 256 of them.

#include <QString>
#include <QtGlobal>

namespace p95 {

struct PackageLimits {
    qint64 entryBytes = qint64(64) << 20;    // one file, unpacked
    qint64 themeFileBytes = qint64(1) << 20; // one .theme file (they are a few kilobytes)
    qint64 totalBytes = qint64(512) << 20;   // every file together, unpacked
    int entries = 10000;                     // entries of any kind, folders included
    int themes = 256;                        // .theme files
    qint64 archiveBytes = qint64(576) << 20; // the package file itself
};

// A limit for a message: "64 MiB", or "200 bytes" when it is no whole MiB.
inline QString mib(qint64 bytes) {
    if (bytes >= (qint64(1) << 20) && bytes % (qint64(1) << 20) == 0)
        return QStringLiteral("%1 MiB").arg(bytes >> 20);
    return QStringLiteral("%1 bytes").arg(bytes);
}

} // namespace p95
