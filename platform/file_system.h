#pragma once

// The file operations the program's logic uses, on Windows-form paths (mapped
// through the drive, see drive.h) or host paths (used as they are). Every
// operation returns what failed; nothing throws and nothing is shown.
//
// The operations are virtual so that a test can put a failing one in place;
// the writes go through DiskCalls (durable_write.h), which a test may hand in
// to fail them as a full or failing disk would.

#include "platform/durable_write.h"
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

// True while a process holds an exclusive lock (flock) on the host file, as
// a live QLockFile holder does; false for a file no one holds or that is gone.
bool isHeldLocked(const QString& hostPath);

class FileSystem {
public:
    FileSystem();
    // Writes through the given system calls, which outlive the FileSystem.
    explicit FileSystem(DiskCalls& calls);
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

    // Removes the temporary files (isTemporaryFileName) that a write cut
    // short by a kill or a power loss left in the folder.
    Status removeTemporaryFiles(const QString& folder);

    // Files made durable together, with one flush instead of one per file
    // (see DurableWrites): while a batch is open, a file copyFile() or
    // writeFile() writes into the batch's folder waits for commit(), and
    // until then its target is as it was. A batch that ends without commit()
    // leaves every target of its folder as it was. One batch at a time.
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
    Status write(const QString& target, const QString& targetHost, WriteSource& source);

    std::unique_ptr<DurableWrites> m_writes;
};

} // namespace p95
