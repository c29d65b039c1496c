#pragma once

// Where the files of a theme package go under the themes root, so that
// every %ThemeDir% name of every .theme file in it finds its file. Pure: it
// looks at the archive's names and the .theme files' bytes only.
//
// A package may lay a theme out as the Plus! themes are (Name.theme beside
// "Name wallpaper.bmp", named as %ThemeDir%Name wallpaper.bmp), with those
// flat names inside a folder, or as this program saves one (Name/Name.theme,
// %ThemeDir%Name\...), under any number of further folders. For each theme
// the placement maps one folder of the archive onto one folder under the
// themes root, the one whose names find the most files (letter case
// ignored); a name it leaves unfound is matched on its own by file name.
// Files that no name reaches go beside the theme they came with (the one
// nearest in the archive); where another file already takes that place they
// go into a folder named after the theme.

#include "package/archive_reader.h"

#include <QHash>

namespace p95 {

// A %ThemeDir% name of a .theme file, as the theme reader takes it.
struct ThemeDirName {
    QString written;        // after the macro, as the file has it ("Ocean\Ocean Busy.ani")
    QStringList components; // below the themes root; empty when it leads outside or is no name
};

// The %ThemeDir% names the theme reader takes from the file's slots (the
// same fields, lines and extension rules), each once, letter case ignored.
QList<ThemeDirName> themeDirNames(const QByteArray& themeFileBytes);

struct PlacedTheme {
    int entry = -1;      // the .theme file's entry
    QString name;        // its file name without ".theme"
    QStringList target;  // where the .theme file goes, below the themes root
    QStringList unfound; // names (as written) that no file of the package matched
};

struct PlacedFile {
    int entry = -1;
    QStringList target; // below the themes root
    int theme = -1;     // the theme it is placed for (index into themes)
};

struct Placement {
    std::optional<PackageProblem> problem; // the package cannot be placed
    QList<PlacedTheme> themes;             // in archive order
    // Every file of the package at least once (a file two themes need in two
    // places twice); no two targets share a name, letter case ignored.
    QList<PlacedFile> files;
};

// entries: what scanArchive() read; themeFiles: the bytes of the .theme
// files by entry index.
Placement placePackage(const QList<PackageEntry>& entries, const QHash<int, QByteArray>& themeFiles,
                       const PackageLimits& limits);

} // namespace p95
