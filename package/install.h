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
// was read moves them into place; existing files are replaced only when
// asked to, and a failure at any point leaves the themes root as it was.

#include "package/placement.h"
#include "platform/file_system.h"

namespace p95 {

struct InstallPlan {
    std::optional<PackageProblem> problem; // refused or unreadable: nothing to install
    QString archive;                       // the package, as the caller named it
    QList<PackageEntry> entries;
    Placement placement;
    // Files on drive C the install would replace (Windows paths), and the
    // package's themes that bring them.
    QStringList existing;
    QStringList existingThemes;
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
InstallResult installPackage(const InstallPlan& plan, FileSystem& files, bool replaceExisting,
                             const PackageLimits& limits = PackageLimits());

// The name endings of the archive types a package may come as, and whether
// a file name has one of them (letter case ignored).
const QStringList& packageFileEndings();
bool isPackageFileName(const QString& fileName);

} // namespace p95
