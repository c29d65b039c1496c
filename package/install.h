#pragma once

// Installing a theme package: every file of the archive placed under the
// themes root so that the names of its .theme files find them
// (placement.h), whole or not at all.
//
// planInstall() reads the whole archive once and writes nothing: every
// entry is checked (archive_reader.h), the placement made, and the files on
// drive C that the install would replace are listed. installPackage() then
// reads the archive again into a staging folder on the same drive (checking
// that it is still the archive that was planned), and only when every file
// was read and flushed moves them into place, each .theme file after every
// other file, under a journal (move_journal.h): an install cut off at any
// point, killed or by a power loss, is finished or undone by the next
// install, save or start, so the themes root is as before or as after.
// It holds the save's lock (save_lock.h) all along.
//
// Existing files are replaced only when asked to, and only files of the
// theme being replaced (the installed theme of the same .theme name) or
// files no installed theme names: a file another installed theme names is
// refused, naming that theme. Folder lookups go through one listing per
// folder (folder_index.h), so the time grows with the number of files, not
// its square.

#include "package/placement.h"
#include "platform/file_system.h"

namespace p95 {

struct InstallPlan {
    std::optional<PackageProblem> problem; // refused or unreadable: nothing to install
    QString archive;                       // the package, as the caller named it
    QList<PackageEntry> entries;
    Placement placement;
    // Files on drive C the install would replace (Windows paths), and the
    // installed themes whose .theme files name them (the package's own
    // theme for a file none names).
    QStringList existing;
    QStringList existingThemes;
    QStringList ownedThemes; // the installed themes that own some of existing
    QStringList unowned;     // the files of existing that no installed theme names
};

// archive: a host path (or a Windows path on drive C).
InstallPlan planInstall(const QString& archive, const FileSystem& files,
                        const PackageLimits& limits = PackageLimits());

struct InstalledTheme {
    QString name;
    QString themeFile;   // Windows path of its .theme file
    QStringList unfound; // %ThemeDir% names the package had no file for
};

struct InstallResult {
    std::optional<PackageProblem> problem;
    QList<InstalledTheme> themes;
};

// Carries out a plan that has no problem. Without replaceExisting a plan
// with existing files is refused, and so is a file that appeared since.
// lockWaitMs: how long to wait for a save or install that is running.
InstallResult installPackage(const InstallPlan& plan, FileSystem& files, bool replaceExisting,
                             const PackageLimits& limits = PackageLimits(), int lockWaitMs = 2000);

// The name endings of the archive types a package may come as, and whether
// a file name has one of them (letter case ignored).
const QStringList& packageFileEndings();
bool isPackageFileName(const QString& fileName);

} // namespace p95
