#pragma once

// Durable writes on the host: every file is written beside its target and
// renamed over it, so a failure or a kill leaves the target as it was. Alone,
// a file is flushed and then named; in a batch, many files share one flush.
//
// Each system call that can fail goes through DiskCalls, so that a test can
// hand in one that fails (a full disk, a failed flush or rename) or that
// stands for another file system.

#include "platform/error.h"

#include <QByteArray>
#include <QString>

#include <sys/types.h>

#include <memory>

class QFile;

namespace p95 {

// The name a file has while it waits beside its target where the file system
// has no unnamed files (vfat, ntfs-3g), or just before it is renamed:
// "~P95" and four hex digits, ".TMP". Short whatever the target's name, and a
// valid FAT short name. A kill can leave such a file behind.
bool isTemporaryFileName(const QString& name);

// The system calls of a durable write; each behaves as the call it is named
// after (-1 with errno set on failure). The default calls the system.
class DiskCalls {
public:
    virtual ~DiskCalls() = default;

    // An unnamed file in the folder (O_TMPFILE); fails with EOPNOTSUPP or
    // EISDIR where the file system has none.
    virtual int openUnnamed(const char* folder);
    virtual int openFolder(const char* folder);
    virtual ssize_t write(int fd, const char* data, size_t size);
    virtual ssize_t copyFileRange(int in, int out, size_t size);
    // fsync of a file, fsync of a folder, syncfs of the file system a
    // folder is on.
    virtual int flushFile(int fd);
    virtual int flushFolder(int fd);
    virtual int flushFileSystem(int folderFd);
    // fstatfs's f_type.
    virtual int fileSystemType(int fd, long& type);
    virtual int rename(const char* from, const char* to);

    // The system's own calls.
    static DiskCalls& host();
};

// Where the bytes of a write come from: a buffer or an open file, read in chunks.
class WriteSource {
public:
    explicit WriteSource(const QByteArray& bytes) : m_bytes(&bytes) {}
    explicit WriteSource(QFile& file) : m_file(&file) {}

    // The next chunk; empty at the end. False on a read error.
    bool next(QByteArray& chunk);
    QString errorString() const;
    // The open file, or -1 for a buffer.
    int handle() const;

private:
    const QByteArray* m_bytes = nullptr;
    QFile* m_file = nullptr;
    qsizetype m_pos = 0;
};

class DurableWrites {
public:
    explicit DurableWrites(DiskCalls& calls);
    ~DurableWrites();
    DurableWrites(const DurableWrites&) = delete;
    DurableWrites& operator=(const DurableWrites&) = delete;

    // Writes the source beside the target's host file and renames it over
    // it; target names the file in messages. A link is followed and its
    // target replaced; a folder, or a file that may not be written, is
    // refused before anything is written. Outside a batch the file is
    // flushed before it is named. In a batch, a file whose target is in the
    // batch's folder (a link there too) waits, unnamed, for commit(); any
    // other (a scratch copy) takes its name at once and is never flushed.
    Status write(const QString& target, const QString& targetHost, WriteSource& source);

    // A batch of the folder, whose host path is given (or why there is
    // none). The folder is opened here, so that a write-back error of the
    // batch's files is reported by the flush at commit().
    void beginBatch(const QString& folder, const Result<QString>& folderHost);
    // Makes the waiting files durable with one flush of the folder's file
    // system (where that flush does not reach the disk, FUSE, and for a
    // link to elsewhere: one flush per file), renames them over their
    // targets in the order written, then flushes the folder and its parent.
    // Nothing is renamed when a flush failed; when a rename failed (the
    // error names its target) the files before it are in place and the
    // later ones are left as they were. The batch ends here.
    Status commitBatch();
    // Ends a batch without commit: the waiting files are dropped.
    void endBatch();
    bool inBatch() const { return m_batch != nullptr; }

private:
    struct Waiting;
    struct Batch;
    Status writeInto(int fd, const QString& target, WriteSource& source);
    Status name(Waiting& file);
    void discard(Waiting& file);

    DiskCalls& m_calls;
    std::unique_ptr<Batch> m_batch;
};

} // namespace p95
