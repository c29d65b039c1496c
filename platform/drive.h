#pragma once

// The Windows 95 world on a modern host. The program's logic works with
// Windows-form paths ("C:\Program Files\Plus!\Themes\Ocean\Ocean.theme");
// this module maps them onto the folder that stands for drive C. Each
// component is looked up without regard to letter case, as Windows does
// (an exact match wins where two names differ only in case); both "\" and
// "/" separate components; ".." never climbs above the drive's root.
// A path that is not in Windows form (a host path from the file dialog) is
// used as it is.

#include "platform/error.h"

#include <QString>

namespace p95 {

// True for "X:\..." or "X:/..." (a drive letter, a colon, a separator).
bool isWindowsPath(const QString& path);

// The host folder that stands for drive C: $PALETTEER95_DRIVE_C when set,
// else $XDG_DATA_HOME/paletteer95/drive_c. Created on first use, with
// "Program Files\Plus!\Themes\" and "Windows\" laid out inside it.
QString driveCFolder();

// The host path of a Windows-form or host path. Existing components are found
// regardless of case; components that do not exist yet keep the case given.
// Fails for a drive other than C (like a missing drive).
Result<QString> hostPath(const QString& path);

// The program directory "C:\Program Files\Paletteer 95" (no final backslash),
// on the mapped drive. ensureProgramDirectory() creates it and copies in the
// installed data files: the program's own files are refreshed when they
// differ; the user's default ReadMe and *.scheme files are only copied when
// missing.
QString programDirectory();
// A file of the program directory as a Windows-form path ("theme.icp").
QString programFile(const QString& name);
Status ensureProgramDirectory();
// What the last ensureProgramDirectory() could not do, handed out once (the
// start-up windows tell the user, who may never see standard error).
Status takeProgramDirectoryProblem();
// Whether the program directory stands, whatever became of its data files:
// a data file that could not be put in place stops nothing.
bool programDirectoryExists();

// The work of ensureProgramDirectory() from a given data folder (tests use
// their own). A missing data folder copies nothing and is not an error: a
// missing data file never stops the program. A file that cannot be read,
// copied or refreshed does not stop the others: the error names every such
// file once (one file: its own error).
Status fillProgramDirectory(const QString& dataFolder);

// True for the files of the program directory that belong to the user (the
// default ReadMe and scheme files), which an installation never overwrites.
bool isUserDataFile(const QString& fileName);

// Where the installed data files are (build tree or installation prefix).
QString installedDataFolder();

} // namespace p95
