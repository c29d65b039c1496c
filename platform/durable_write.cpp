#include "platform/durable_write.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <sys/statfs.h>
#endif

namespace p95 {

namespace {

constexpr qint64 kChunk = qint64(1) << 20;
// statfs's f_type of a FUSE mount (ntfs-3g, sshfs): its syncfs does not
// reach the disk.
constexpr long kFuseSuperMagic = 0x65735546;

QByteArray encoded(const QString& hostPath) {
    return QFile::encodeName(hostPath);
}

QString cleanFolderOf(const QString& hostPath) {
    return QDir::cleanPath(QFileInfo(hostPath).absolutePath());
}

bool isHexDigit(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c.toUpper() >= QLatin1Char('A') && c.toUpper() <= QLatin1Char('F'));
}

// Takes a temporary name in the folder: place() is given candidates until it
// takes one (true) or fails other than for a name in use. The path taken;
// empty on failure, with errno telling why.
template <typename Place> QString takeTemporaryName(const QString& folder, Place place) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate =
            folder + QStringLiteral("/~P95%1.TMP")
                         .arg(QRandomGenerator::global()->bounded(0x10000), 4, 16, QLatin1Char('0'))
                         .toUpper();
        if (place(encoded(candidate)))
            return candidate;
        if (errno != EEXIST)
            break;
    }
    return {};
}

} // namespace

bool isTemporaryFileName(const QString& name) {
    if (name.size() != 12 || !name.startsWith(QStringLiteral("~p95"), Qt::CaseInsensitive) ||
        !name.endsWith(QStringLiteral(".tmp"), Qt::CaseInsensitive))
        return false;
    for (qsizetype i = 4; i < 8; ++i) {
        if (!isHexDigit(name.at(i)))
            return false;
    }
    return true;
}

// ---------------------------------------------------------------- system calls

int DiskCalls::openUnnamed(const char* folder) {
#ifdef O_TMPFILE
    // A new file gets what the user's file mask allows, as open() gives it.
    return ::open(folder, O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#else
    Q_UNUSED(folder);
    errno = EOPNOTSUPP;
    return -1;
#endif
}

int DiskCalls::openFolder(const char* folder) {
    return ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

ssize_t DiskCalls::write(int fd, const char* data, size_t size) {
    return ::write(fd, data, size);
}

ssize_t DiskCalls::copyFileRange(int in, int out, size_t size) {
#ifdef Q_OS_LINUX
    return ::copy_file_range(in, nullptr, out, nullptr, size, 0);
#else
    Q_UNUSED(in);
    Q_UNUSED(out);
    Q_UNUSED(size);
    errno = ENOSYS;
    return -1;
#endif
}

int DiskCalls::flushFile(int fd) {
    return ::fsync(fd);
}

int DiskCalls::flushFolder(int fd) {
    return ::fsync(fd);
}

int DiskCalls::flushFileSystem(int folderFd) {
#ifdef Q_OS_LINUX
    return ::syncfs(folderFd);
#else
    return ::fsync(folderFd);
#endif
}

int DiskCalls::fileSystemType(int fd, long& type) {
#ifdef Q_OS_LINUX
    struct statfs info {};
    if (::fstatfs(fd, &info) != 0)
        return -1;
    type = long(info.f_type);
    return 0;
#else
    Q_UNUSED(fd);
    type = 0;
    return 0;
#endif
}

int DiskCalls::rename(const char* from, const char* to) {
    return ::rename(from, to);
}

DiskCalls& DiskCalls::host() {
    static DiskCalls calls;
    return calls;
}

// ---------------------------------------------------------------- sources

bool WriteSource::next(QByteArray& chunk) {
    if (m_bytes) {
        chunk = m_bytes->mid(m_pos, kChunk);
        m_pos += chunk.size();
        return true;
    }
    chunk = m_file->read(kChunk);
    return m_file->error() == QFileDevice::NoError;
}

QString WriteSource::errorString() const {
    return m_file ? m_file->errorString() : QString();
}

int WriteSource::handle() const {
    return m_file ? m_file->handle() : -1;
}

// ---------------------------------------------------------------- writes

// A file written beside its target and not named yet: an unnamed file of the
// target's folder (O_TMPFILE), or where the file system has none a file with
// a temporary name. Either way a failure, or a kill, before it is named
// leaves the target as it was.
struct DurableWrites::Waiting {
    int fd = -1;
    QString temporary; // the temporary file's path; empty for an unnamed one
    QString target;    // as the caller named it, for messages
    QString targetHost;
    bool alone = false; // flushed on its own at commit
};

struct DurableWrites::Batch {
    ~Batch() {
        for (Waiting& file : waiting) {
            if (file.fd >= 0)
                ::close(file.fd);
            if (!file.temporary.isEmpty())
                ::unlink(encoded(file.temporary).constData());
        }
        if (fd >= 0)
            ::close(fd);
    }

    QString folder;
    Result<QString> host = QString(); // the folder's host path
    QString cleanHost;                // the same, absolute and clean
    int fd = -1;                      // the folder, open from the start
    int openError = 0;                // why it could not be opened
    bool fuse = false;
    std::vector<Waiting> waiting; // in the order written
};

DurableWrites::DurableWrites(DiskCalls& calls) : m_calls(calls) {}
DurableWrites::~DurableWrites() = default;

void DurableWrites::discard(Waiting& file) {
    if (file.fd >= 0)
        ::close(file.fd);
    if (!file.temporary.isEmpty())
        ::unlink(encoded(file.temporary).constData());
    file.fd = -1;
    file.temporary.clear();
}

Status DurableWrites::writeInto(int fd, const QString& target, WriteSource& source) {
    const QString step = QStringLiteral("Writing the file");
    // The kernel copies a whole file where it can (cp does the same), which
    // spares two trips through user space; where it cannot, before anything
    // was written, plain reads follow.
    if (const int in = source.handle(); in >= 0) {
        for (bool any = false;; any = true) {
            const ssize_t n = m_calls.copyFileRange(in, fd, size_t(kChunk));
            if (n == 0)
                return {};
            if (n > 0)
                continue;
            if (any ||
                (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP))
                return Error{step, target, qt_error_string(errno)};
            break;
        }
    }
    QByteArray chunk;
    for (;;) {
        if (!source.next(chunk))
            return Error{QStringLiteral("Reading the file"), target, source.errorString()};
        if (chunk.isEmpty())
            return {};
        for (qsizetype done = 0; done < chunk.size();) {
            const auto n =
                m_calls.write(fd, chunk.constData() + done, std::size_t(chunk.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return Error{step, target, qt_error_string(n < 0 ? errno : ENOSPC)};
            done += n;
        }
    }
}

// Names the file: a temporary name beside the target first (an unnamed file
// can only be linked to a new name), then a rename over the target.
Status DurableWrites::name(Waiting& file) {
    const QString step = QStringLiteral("Replacing the file");
    if (file.temporary.isEmpty()) {
        const QByteArray proc = "/proc/self/fd/" + QByteArray::number(file.fd);
        file.temporary =
            takeTemporaryName(QFileInfo(file.targetHost).absolutePath(), [&](const QByteArray& to) {
                int linked = ::linkat(AT_FDCWD, proc.constData(), AT_FDCWD, to.constData(),
                                      AT_SYMLINK_FOLLOW);
                if (linked != 0 && errno == ENOENT) // no /proc: the direct way, where allowed
                    linked = ::linkat(file.fd, "", AT_FDCWD, to.constData(), AT_EMPTY_PATH);
                return linked == 0;
            });
        if (file.temporary.isEmpty()) {
            const QString reason = qt_error_string(errno);
            discard(file);
            return Error{step, file.target, reason};
        }
    }
    if (m_calls.rename(encoded(file.temporary).constData(), encoded(file.targetHost).constData()) !=
        0) {
        const QString reason = qt_error_string(errno);
        discard(file);
        return Error{step, file.target, reason};
    }
    file.temporary.clear();
    discard(file);
    return {};
}

Status DurableWrites::write(const QString& target, const QString& targetHost, WriteSource& source) {
    const QString step = QStringLiteral("Writing the file");
    // Like QSaveFile: a link is followed and its target replaced; a folder or
    // a file that may not be written is refused before anything is written.
    QString host = targetHost;
    for (int depth = 0; depth < 40 && QFileInfo(host).isSymLink(); ++depth)
        host = QFileInfo(host).symLinkTarget();
    const QFileInfo info(host);
    if (info.isDir())
        return Error{step, target, QStringLiteral("a folder has that name")};
    if (info.exists() && !info.isWritable())
        return Error{step, target, QStringLiteral("the file is not writable")};

    Waiting file{-1, {}, target, host, false};
    const QString folder = info.absolutePath();
    file.fd = m_calls.openUnnamed(encoded(folder).constData());
    if (file.fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        file.temporary = takeTemporaryName(folder, [&](const QByteArray& path) {
            file.fd = ::open(path.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
            return file.fd >= 0;
        });
    }
    if (file.fd < 0)
        return Error{step, target, qt_error_string(errno)};
    // A replaced file keeps its permissions.
    struct stat existing {};
    if (::stat(encoded(host).constData(), &existing) == 0)
        ::fchmod(file.fd, existing.st_mode & 07777);

    if (auto status = writeInto(file.fd, target, source); !status.ok()) {
        discard(file);
        return status;
    }
    if (!m_batch) {
        if (m_calls.flushFile(file.fd) != 0) {
            const QString reason = qt_error_string(errno);
            discard(file);
            return Error{QStringLiteral("Making the file durable"), target, reason};
        }
        return name(file);
    }
    // The link's own folder decides whether the file belongs to the batch.
    if (!m_batch->host || cleanFolderOf(targetHost) != m_batch->cleanHost)
        return name(file); // a scratch copy: named at once, never flushed
    // A file the folder's flush may not reach is flushed on its own.
    file.alone = m_batch->fuse || QDir::cleanPath(folder) != m_batch->cleanHost;
#ifdef Q_OS_LINUX
    // Start writing it out now, so the flush at the end waits less.
    ::sync_file_range(file.fd, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
    m_batch->waiting.push_back(file);
    return {};
}

void DurableWrites::beginBatch(const QString& folder, const Result<QString>& folderHost) {
    m_batch = std::make_unique<Batch>();
    m_batch->folder = folder;
    m_batch->host = folderHost;
    if (!folderHost)
        return;
    m_batch->cleanHost = QDir::cleanPath(QFileInfo(folderHost.value()).absoluteFilePath());
    m_batch->fd = m_calls.openFolder(encoded(folderHost.value()).constData());
    if (m_batch->fd < 0) {
        m_batch->openError = errno;
        return;
    }
    long type = 0;
    m_batch->fuse = m_calls.fileSystemType(m_batch->fd, type) == 0 && type == kFuseSuperMagic;
}

void DurableWrites::endBatch() {
    m_batch.reset();
}

Status DurableWrites::commitBatch() {
    // The batch ends here, whatever happens; what is not named is discarded.
    const std::unique_ptr<Batch> batch = std::move(m_batch);
    if (!batch || batch->waiting.empty())
        return {};
    const QString step = QStringLiteral("Making the files durable");
    if (!batch->host)
        return Error{step, batch->folder, batch->host.error().reason};
    if (batch->fd < 0)
        return Error{step, batch->folder, qt_error_string(batch->openError)};
    // One flush for them all: the file system's, which the folder's files are
    // on. Nothing is renamed unless every flush succeeded.
    if (!batch->fuse && m_calls.flushFileSystem(batch->fd) != 0)
        return Error{step, batch->folder, qt_error_string(errno)};
    QStringList otherFolders;
    for (const Waiting& file : batch->waiting) {
        if (!file.alone)
            continue;
        if (m_calls.flushFile(file.fd) != 0)
            return Error{step, file.target, qt_error_string(errno)};
        const QString folder = cleanFolderOf(file.targetHost);
        if (folder != batch->cleanHost && !otherFolders.contains(folder))
            otherFolders << folder;
    }
    for (Waiting& file : batch->waiting) {
        if (auto status = name(file); !status.ok())
            return status;
    }
    // The new names, and a folder the save has just made.
    const QString folderStep = QStringLiteral("Making the folder durable");
    if (m_calls.flushFolder(batch->fd) != 0)
        return Error{folderStep, batch->folder, qt_error_string(errno)};
    otherFolders.prepend(QFileInfo(batch->cleanHost).absolutePath());
    for (const QString& folder : std::as_const(otherFolders)) {
        const int fd = m_calls.openFolder(encoded(folder).constData());
        if (fd < 0 || m_calls.flushFolder(fd) != 0) {
            const QString reason = qt_error_string(errno);
            if (fd >= 0)
                ::close(fd);
            return Error{folderStep, batch->folder, reason};
        }
        ::close(fd);
    }
    return {};
}

} // namespace p95
