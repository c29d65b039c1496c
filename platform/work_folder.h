#pragma once

// A private working folder (a disk image's working copy, a raw copy of an
// image) that goes away with its owner: removed when destroyed, and when its
// process was killed, by the next process that makes one of the same kind.
// The owner holds a lock on the folder for as long as it lives; a folder of
// the kind that nobody locks is a leftover.

#include <QString>
#include <QTemporaryDir>

namespace p95 {

class WorkFolder {
public:
    // A new folder parent/prefix-XXXXXX; leftovers parent/prefix-* are removed first.
    WorkFolder(const QString& parent, const QString& prefix);
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    bool isValid() const { return m_lockFd >= 0; }
    QString errorString() const { return m_dir.errorString(); }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    int m_lockFd = -1;
};

// Removes the folders parent/prefix-* that no process holds and that are
// older than a moment (one being made is not yet locked). How many went.
int removeLeftoverWorkFolders(const QString& parent, const QString& prefix);

} // namespace p95
