#pragma once

// One lock for everything that writes into the themes root: a save and an
// install of a theme package. It is a QLockFile in the program directory;
// the second operation waits briefly, then says that another save or
// install is running. Whoever takes the lock first settles an install that
// was cut off (move_journal.h), so the themes root it works on is whole.

#include "platform/error.h"

#include <QString>

#include <memory>

class QLockFile;

namespace p95 {

class FileSystem;

// Where an install stages its files: a hidden folder beside the themes root,
// on its drive, so that a move into place is a rename.
QString installStagingFolder(); // "C:\Program Files\Plus!\.paletteer95-install"

// Settles what an interrupted install left (the lock must be held).
Status settleInterruptedInstall(FileSystem& files);

class SaveLock {
public:
    SaveLock();
    ~SaveLock();
    SaveLock(const SaveLock&) = delete;
    SaveLock& operator=(const SaveLock&) = delete;

    // Takes the lock, waiting up to waitMs, then settles an interrupted
    // install. step names the operation in the error ("Starting the save").
    Status acquire(FileSystem& files, const QString& programDirectory, int waitMs,
                   const QString& step);

private:
    bool takeOrphanedLock(const QString& folder);

    std::unique_ptr<QLockFile> m_lock;
};

} // namespace p95
