#pragma once

// The file operations the program's logic uses, on Windows-form paths (mapped
// through the drive, see drive.h) or host paths (used as they are). Every
// operation returns what failed; nothing throws and nothing is shown.
//
// The operations are virtual so that a test can put a failing one in place;
// setWriteLimit() makes a full disk real for the writing operations.

#include "platform/error.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

namespace p95 {

// The reason of every failure for a file or folder that is not there.
QString fileNotFoundReason();
bool isFileNotFound(const Error& error);

// True when name matches a file pattern: "*" any run of characters, "?" one
// character, letter case ignored; "*.*" matches every name, with or without a dot.
bool matchesPattern(const QString& name, const QString& pattern);

class FileSystem {
public:
    FileSystem();
    virtual ~FileSystem();
    FileSystem(const FileSystem&) = delete;
    FileSystem& operator=(const FileSystem&) = delete;

    // The names in the pattern's folder that match its last component, sorted
    // without regard to case. A pattern that ends in a separator lists every
    // entry. With directories included, an existing folder yields "." and ".."
    // first for "", "*" and "*.*". A folder that does not exist gives an empty
    // list; a missing drive is an error.
    virtual Result<QStringList> list(const QString& pattern, bool includeDirectories) const;

    // The first name list() gives, or the empty string.
    QString firstMatch(const QString& pattern, bool includeDirectories) const;

    // The folder exists: listing it with directories included yields ".".
    bool directoryExists(const QString& path) const;
    bool fileExists(const QString& path) const;

    // Fails when the path exists, or when its parent folder does not.
    virtual Status makeDirectory(const QString& path);
    // Fails unless the folder exists and is empty.
    virtual Status removeDirectory(const QString& path);
    // Copies beside the target and renames over it, so a failed copy leaves an
    // existing target whole. A target that exists under another letter case is
    // replaced under its existing name.
    virtual Status copyFile(const QString& source, const QString& target);
    // Deletes every file (not folder) matching the pattern; a file-not-found
    // error when nothing matches.
    virtual Status deleteFiles(const QString& pattern);
    // Renames a file or folder; fails when the target exists (a change of
    // letter case alone is allowed).
    virtual Status rename(const QString& from, const QString& to);
    // Writes the bytes beside the file and renames them over it.
    virtual Status writeFile(const QString& path, const QByteArray& bytes);
    // At most maxBytes: a larger file is refused before it is read.
    Result<QByteArray> readFile(const QString& path) const { return readFile(path, kMaxReadBytes); }
    virtual Result<QByteArray> readFile(const QString& path, qint64 maxBytes) const;
    static constexpr qint64 kMaxReadBytes = qint64(64) << 20;

    // Test seam: once this many more bytes have been written by copyFile() and
    // writeFile(), every write fails as on a full disk, in the middle of the
    // file that crosses the limit. A negative limit (the default) is none.
    void setWriteLimit(qint64 bytes) { m_writeLimit = bytes; }

    // Files made durable together, with one flush instead of one per file.
    // While a batch is open, copyFile() and writeFile() still write every
    // file beside its target, but flush none: a file whose target is in the
    // batch's folder waits, unnamed, for commit(), and until then the target
    // is as it was; any other file (a scratch copy) takes its name at once
    // and is never flushed. commit() makes the waiting files durable with one
    // flush of the folder's file system, renames them over their targets in
    // the order they were written, and then flushes the folder. A batch that
    // ends without commit() leaves every target of its folder as it was.
    // The folder's host path is found when the batch begins.
    // One batch at a time; where the host has no such flush, every write is
    // flushed on its own as outside a batch.
    class Batch {
    public:
        Batch(FileSystem& files, const QString& folder);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

        // On failure nothing is renamed when the flush failed; when a rename
        // failed (the error names its target), the files before it are in
        // place and it and the later ones are left as they were.
        Status commit();

    private:
        FileSystem& m_files;
    };

private:
    class Source;
    struct PendingBatch;
    Status writeAtomically(const QString& target, const QString& targetHost, Source& source);
    // Writes for a batch: beside the target, unflushed.
    Status writeUnflushed(const QString& target, const QString& targetHost, Source& source);
    // Writes the source into the open file fd; the step's error on failure.
    Status writeInto(int fd, const QString& target, Source& source);

    qint64 m_writeLimit = -1;
    std::unique_ptr<PendingBatch> m_batch;
};

} // namespace p95
