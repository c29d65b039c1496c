#pragma once

// A disk that fails where a test says: full after a number of bytes (on the
// plain writes and the kernel's copies alike), a flush or a rename that fails,
// no unnamed files (as vfat), another file system type. It keeps every call
// in order, so a test can see what came before what.

#include "platform/durable_write.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cerrno>

namespace p95::test {

class DiskFaults : public DiskCalls {
public:
    qint64 room = -1;         // bytes that may still be written; negative: no limit
    bool kernelCopy = true;   // false: copy_file_range is not there, copies go plain
    bool unnamedFiles = true; // false: no O_TMPFILE, as on vfat
    long fileSystem = 0;      // the type fstatfs reports; 0: the real one
    // Calls that fail with EIO: "flush file", "flush folder", "flush file
    // system", "rename <target's file name>".
    QStringList failing;
    QStringList log;   // every call: its name, a folder's or target's file name after it
    int copiesCut = 0; // copy_file_range calls failed for want of room

    int openUnnamed(const char* folder) override {
        if (!unnamedFiles) {
            errno = EOPNOTSUPP;
            return -1;
        }
        return DiskCalls::openUnnamed(folder);
    }
    int openFolder(const char* folder) override {
        log << QStringLiteral("open folder ") + QFileInfo(QFile::decodeName(folder)).fileName();
        return DiskCalls::openFolder(folder);
    }
    ssize_t write(int fd, const char* data, size_t size) override {
        log << QStringLiteral("write");
        if (!take(size))
            return -1;
        return spent(DiskCalls::write(fd, data, size));
    }
    ssize_t copyFileRange(int in, int out, size_t size) override {
        log << QStringLiteral("copy");
        if (!kernelCopy) {
            errno = EOPNOTSUPP;
            return -1;
        }
        if (!take(size)) {
            ++copiesCut;
            return -1;
        }
        return spent(DiskCalls::copyFileRange(in, out, size));
    }
    int flushFile(int fd) override {
        return fails(QStringLiteral("flush file")) ? -1 : DiskCalls::flushFile(fd);
    }
    int flushFolder(int fd) override {
        return fails(QStringLiteral("flush folder")) ? -1 : DiskCalls::flushFolder(fd);
    }
    int flushFileSystem(int fd) override {
        return fails(QStringLiteral("flush file system")) ? -1 : DiskCalls::flushFileSystem(fd);
    }
    int fileSystemType(int fd, long& type) override {
        const int result = DiskCalls::fileSystemType(fd, type);
        if (fileSystem)
            type = fileSystem;
        return result;
    }
    int rename(const char* from, const char* to) override {
        if (fails(QStringLiteral("rename ") + QFileInfo(QFile::decodeName(to)).fileName()))
            return -1;
        return DiskCalls::rename(from, to);
    }

    qsizetype count(const QString& call) const { return log.count(call); }

private:
    // Room for at least one byte of the write; the size cut to the room left.
    bool take(size_t& size) {
        if (room < 0)
            return true;
        if (room == 0) {
            errno = ENOSPC;
            return false;
        }
        size = std::min(size, size_t(room));
        return true;
    }
    ssize_t spent(ssize_t written) {
        if (room >= 0 && written > 0)
            room -= written;
        return written;
    }
    bool fails(const QString& call) {
        log << call;
        if (!failing.contains(call))
            return false;
        errno = EIO;
        return true;
    }
};

} // namespace p95::test
