#include "platform/image_journal.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace p95 {

namespace {

constexpr char kMagic[] = "P95JRNL1";
constexpr qint64 kBlock = 512;
// In a record's length: the bytes are zeros and are not stored.
constexpr quint64 kZeroRun = quint64(1) << 63;

quint64 fnv1a(const QByteArray& bytes, quint64 hash = 0xcbf29ce484222325ull) {
    const char* data = bytes.constData();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        hash ^= uchar(data[i]);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

void put64(QByteArray& out, quint64 v) {
    for (int i = 0; i < 8; ++i)
        out.append(char(v >> (8 * i)));
}
quint64 get64(const char* p) {
    quint64 v = 0;
    for (int i = 7; i >= 0; --i)
        v = v << 8 | uchar(p[i]);
    return v;
}

QString systemReason() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

Error journalError(const QString& step, const QString& file) {
    return Error{step, file, systemReason()};
}

bool preadAll(int fd, char* into, qint64 length, qint64 offset) {
    while (length > 0) {
        const ssize_t n = ::pread(fd, into, size_t(length), off_t(offset));
        if (n <= 0)
            return false;
        into += n;
        length -= n;
        offset += n;
    }
    return true;
}
bool pwriteAll(int fd, const char* from, qint64 length, qint64 offset) {
    while (length > 0) {
        const ssize_t n = ::pwrite(fd, from, size_t(length), off_t(offset));
        if (n <= 0)
            return false;
        from += n;
        length -= n;
        offset += n;
    }
    return true;
}

Status syncFolderOf(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return journalError(QStringLiteral("Flushing the folder of the disk image"), folder);
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    if (!ok)
        return journalError(QStringLiteral("Flushing the folder of the disk image"), folder);
    return {};
}

} // namespace

QString journalPath(const QString& imagePath) {
    return imagePath + QStringLiteral(".p95-journal");
}

Status writeJournal(const QString& imagePath, int imageFd, QList<ImageRegion> regions) {
    std::sort(regions.begin(), regions.end(),
              [](const ImageRegion& a, const ImageRegion& b) { return a.offset < b.offset; });
    QList<ImageRegion> merged;
    for (const ImageRegion& r : regions) {
        if (!merged.isEmpty() && r.offset <= merged.last().offset + merged.last().length)
            merged.last().length =
                qMax(merged.last().length, r.offset + r.length - merged.last().offset);
        else
            merged.append(r);
    }
    struct stat info {};
    if (::fstat(imageFd, &info) != 0)
        return journalError(QStringLiteral("Reading the disk image"), imagePath);

    QByteArray out;
    out.append(kMagic, 8);
    put64(out, quint64(info.st_size));
    out.append(4, '\0'); // the record count, set below
    // Runs of zero blocks (the free part of a FAT) are kept as their length
    // alone, so the journal of a roomy volume stays small.
    quint32 records = 0;
    QByteArray bytes;
    for (const ImageRegion& r : merged) {
        bytes.resize(r.length);
        if (!preadAll(imageFd, bytes.data(), r.length, r.offset))
            return journalError(QStringLiteral("Reading the disk image"), imagePath);
        qint64 at = 0;
        while (at < r.length) {
            const char* data = bytes.constData();
            const auto isZeroBlock = [&](qint64 from) {
                static const char kZeros[kBlock] = {};
                return std::memcmp(data + from, kZeros, size_t(qMin(kBlock, r.length - from))) == 0;
            };
            const bool zeros = isZeroBlock(at);
            qint64 end = at;
            while (end < r.length && isZeroBlock(end) == zeros)
                end = qMin(end + kBlock, r.length);
            put64(out, quint64(r.offset + at));
            put64(out, quint64(end - at) | (zeros ? kZeroRun : 0));
            if (!zeros)
                out.append(bytes.constData() + at, end - at);
            ++records;
            at = end;
        }
    }
    for (int i = 0; i < 4; ++i)
        out[16 + i] = char(records >> (8 * i));
    put64(out, fnv1a(out));

    // Written under another name and renamed, so that a journal under its
    // own name is always whole.
    const QString path = journalPath(imagePath);
    const QString partial = path + QStringLiteral(".part");
    const int fd = ::open(QFile::encodeName(partial).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return journalError(QStringLiteral("Writing the undo journal beside the disk image"),
                            partial);
    const bool written = pwriteAll(fd, out.constData(), out.size(), 0) && ::fsync(fd) == 0;
    ::close(fd);
    if (!written || ::rename(QFile::encodeName(partial).constData(),
                             QFile::encodeName(path).constData()) != 0) {
        const Error error =
            journalError(QStringLiteral("Writing the undo journal beside the disk image"), path);
        ::unlink(QFile::encodeName(partial).constData());
        return error;
    }
    return syncFolderOf(path);
}

Status rollBackJournal(const QString& imagePath, bool* rolledBack) {
    if (rolledBack)
        *rolledBack = false;
    const QString path = journalPath(imagePath);
    ::unlink(QFile::encodeName(path + QStringLiteral(".part")).constData());
    QFile journal(path);
    if (!journal.exists())
        return {};
    if (!journal.open(QIODevice::ReadOnly))
        return Error{QStringLiteral("Reading the undo journal of the disk image"), path,
                     journal.errorString()};
    const QByteArray bytes = journal.readAll();
    journal.close();
    const auto damaged = [&] {
        return Error{QStringLiteral("Reading the undo journal of the disk image"), path,
                     QStringLiteral("the journal is damaged; the image was left as it is")};
    };
    if (bytes.size() < 28 || !bytes.startsWith(QByteArray(kMagic, 8)) ||
        get64(bytes.constData() + bytes.size() - 8) != fnv1a(bytes.left(bytes.size() - 8)))
        return damaged();
    const qint64 imageSize = qint64(get64(bytes.constData() + 8));
    const int fd = ::open(QFile::encodeName(imagePath).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return journalError(QStringLiteral("Rolling back a cut-off write to the disk image"),
                            imagePath);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || info.st_size != imageSize) {
        ::close(fd);
        return Error{QStringLiteral("Rolling back a cut-off write to the disk image"), imagePath,
                     QStringLiteral("the image's size changed since the journal was written")};
    }
    const quint32 count = quint32(uchar(bytes[16])) | quint32(uchar(bytes[17])) << 8 |
                          quint32(uchar(bytes[18])) << 16 | quint32(uchar(bytes[19])) << 24;
    qsizetype at = 20;
    const qsizetype end = bytes.size() - 8;
    for (quint32 i = 0; i < count; ++i) {
        if (at + 16 > end) {
            ::close(fd);
            return damaged();
        }
        const qint64 offset = qint64(get64(bytes.constData() + at));
        const quint64 lengthField = get64(bytes.constData() + at + 8);
        const bool zeros = lengthField & kZeroRun;
        const qint64 length = qint64(lengthField & ~kZeroRun);
        at += 16;
        const qint64 stored = zeros ? 0 : length;
        if (at + stored > end || offset < 0 || offset + length > imageSize) {
            ::close(fd);
            return damaged();
        }
        const QByteArray zeroBytes = zeros ? QByteArray(length, '\0') : QByteArray();
        if (!pwriteAll(fd, zeros ? zeroBytes.constData() : bytes.constData() + at, length,
                       offset)) {
            const Error error = journalError(
                QStringLiteral("Rolling back a cut-off write to the disk image"), imagePath);
            ::close(fd);
            return error;
        }
        at += stored;
    }
    const bool flushed = ::fsync(fd) == 0;
    ::close(fd);
    if (!flushed)
        return journalError(QStringLiteral("Rolling back a cut-off write to the disk image"),
                            imagePath);
    if (rolledBack)
        *rolledBack = true;
    return removeJournal(imagePath);
}

Status removeJournal(const QString& imagePath) {
    const QString path = journalPath(imagePath);
    if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
        return journalError(QStringLiteral("Removing the undo journal of the disk image"), path);
    return syncFolderOf(path);
}

} // namespace p95
