#pragma once

// The save of a theme from its Prepare step on, the same for Save and Save As:
// apply the preset colours, reload the default ReadMe, make the theme
// directory, copy every set slot's file through the scratch folder under its
// standard name, write the .theme file, clean up, write ReadMe.txt.
//
// It asks nothing and shows nothing: the caller gets the document as the save
// left it and what failed, and tells the user.

#include "platform/drive.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "theme/theme_document.h"

#include <QList>
#include <QString>

namespace p95 {

struct SaveSettings {
    // Holds the default ReadMe, the scratch folder and the save lock.
    QString programDirectory = p95::programDirectory();
    // How long a save waits for another one to finish before it gives up.
    int lockWaitMs = 2000;
    // Save without the slots whose files are missing (they are emptied in the
    // saved document) instead of refusing.
    bool skipMissing = false;
};

enum class SaveOutcome {
    Saved,
    // The copies and the .theme file are complete, but a later step (removing
    // the scratch folder, writing ReadMe.txt) failed; see status.
    SavedIncomplete,
    Refused,      // the name or a text cannot be saved; nothing on disk was touched
    MissingFiles, // chosen files are missing (see missing); nothing was written
    NoThemesRoot, // the themes root does not exist; nothing was written
    Failed,       // a step failed; see status
};

struct SaveResult {
    // The document as the save left it: colours set by GetColors, the
    // reloaded default ReadMe. Show this one.
    ThemeDocument document;
    SaveOutcome outcome = SaveOutcome::Saved;
    // What failed first: the step, the file, the system's reason.
    Status status;
    // The set slots whose files were missing: why the save was refused, or,
    // with skipMissing, what it left out.
    QList<SlotRef> missing;
};

// The set slots of doc whose chosen file does not exist, in copy order.
QList<SlotRef> missingFiles(const ThemeDocument& doc, const FileSystem& files);
// Each slot's caption and missing file, one per line or with the separator given.
QString missingFilesText(const ThemeDocument& doc, const QList<SlotRef>& missing,
                         const QString& separator = QStringLiteral("\n"));

// The themes root, and the host folder it stands for on the mapped drive.
bool themesRootExists(const FileSystem& files);
QString themesRootHostPath();
// Creates the themes root and any missing folder above it on drive C.
Status createThemesRoot(FileSystem& files);

// The scratch folders of a save, inside the program directory.
QString scratchParentFolder(const QString& programDirectory); // ...\AAAAAA
QString scratchFolder(const QString& programDirectory);       // ...\AAAAAA\zzzzzz

// Before anything is written the save checks the name, that the themes root
// exists and that every set slot's file exists. Every file the save writes
// into the theme directory is written beside its target and renamed over it,
// so a failure never leaves an earlier file lost or half-written. A failure at copying a chosen
// file that does not exist removes the scratch folder; other failures leave it, and the next save
// empties and reuses it. After any failure ReadMe.txt is still written when
// the theme directory exists. Two saves never share the scratch folder: a
// lock in the program directory makes the second wait, then give up.
SaveResult saveTheme(const ThemeDocument& doc, FileSystem& files,
                     const SaveSettings& settings = SaveSettings());

} // namespace p95
