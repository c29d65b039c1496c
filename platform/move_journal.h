#pragma once

// Moves of many files into place that survive being cut off at any point
// (a kill, a power loss, a full disk). The files wait in a private staging
// folder; a journal there, made durable before the first move, lists every
// folder the moves create and every move with the identity of the file it
// places and where a file it replaces is put aside. Once every move is done
// and flushed, a mark says so. Whoever finds the staging folder next (under
// the same lock) settles it: with the mark, the files put aside go; without
// it, every move is undone, and the folder goes in both cases.
//
// Undoing touches only what the moves placed: a target is moved back only
// while it is still the very file placed (device and inode), and a file put
// aside comes back only where nothing has taken its place since.

#include "platform/error.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace p95 {

class FileSystem;

// Device and inode, with the size and modification time that a rename keeps:
// a file written since under a reused inode number is not taken for it.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The identity of the entry at a host path (not followed if a link), or
// nothing when there is none.
std::optional<FileIdentity> fileIdentity(const QString& host);

// Makes the entries of a host folder durable.
Status syncFolder(const QString& host);

struct MoveJournal {
    struct Move {
        QString staged; // host paths
        QString target;
        FileIdentity identity; // of the staged file, which the move keeps
        QString aside;         // where a file at the target goes first; empty: none is there
    };
    QStringList folders; // host folders the moves create, parents first
    QList<Move> moves;   // in the order they are made
};

// Writes the journal into the staging folder, durably.
Status writeMoveJournal(FileSystem& files, const QString& staging, const MoveJournal& journal);
// Marks the moves done, durably.
Status markMovesDone(FileSystem& files, const QString& staging);

// Settles a staging folder as described above and removes it; nothing when
// there is none. A move that cannot be undone keeps the folder (and what
// was put aside) for the next attempt and is reported.
Status settleStaging(FileSystem& files, const QString& staging);

} // namespace p95
