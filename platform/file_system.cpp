#include "platform/file_system.h"

#include "platform/drive.h"
#include "platform/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <cerrno>
#include <vector>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace p95 {

namespace {

constexpr qint64 kChunk = qint64(1) << 20;

bool isSeparatorOf(const QString& path, QChar c) {
    // Host paths on this system separate with "/" only; a backslash may be
    // part of a host file name.
    return c == QLatin1Char('/') || (isWindowsPath(path) && c == QLatin1Char('\\'));
}

// Splits a pattern into its folder (with its final separator) and its last component.
std::pair<QString, QString> splitPattern(const QString& pattern) {
    qsizetype cut = pattern.size();
    while (cut > 0 && !isSeparatorOf(pattern, pattern.at(cut - 1)))
        --cut;
    return {pattern.left(cut), pattern.mid(cut)};
}

bool matchFrom(const QString& name, qsizetype n, const QString& pattern, qsizetype p) {
    while (p < pattern.size()) {
        const QChar c = pattern.at(p);
        if (c == QLatin1Char('*')) {
            while (p < pattern.size() && pattern.at(p) == QLatin1Char('*'))
                ++p;
            if (p == pattern.size())
                return true;
            for (qsizetype k = n; k <= name.size(); ++k) {
                if (matchFrom(name, k, pattern, p))
                    return true;
            }
            return false;
        }
        if (n >= name.size())
            return false;
        if (c != QLatin1Char('?') && QString(c).compare(QString(name.at(n)), Qt::CaseInsensitive))
            return false;
        ++n;
        ++p;
    }
    return n == name.size();
}

Error fileError(const QString& step, const QString& file, const QString& reason) {
    return Error{step, file, reason};
}

Error notFound(const QString& step, const QString& file) {
    return Error{step, file, fileNotFoundReason()};
}

} // namespace

QString fileNotFoundReason() {
    return QStringLiteral("file not found");
}

bool isFileNotFound(const Error& error) {
    return error.reason == fileNotFoundReason();
}

bool matchesPattern(const QString& name, const QString& pattern) {
    if (pattern == QStringLiteral("*.*"))
        return true;
    return matchFrom(name, 0, pattern, 0);
}

// Where the bytes of a write come from: a buffer or an open file, read in chunks.
class FileSystem::Source {
public:
    explicit Source(const QByteArray& bytes) : m_bytes(&bytes) {}
    explicit Source(QFile& file) : m_file(&file) {}

    // The next chunk; empty at the end. False on a read error.
    bool next(QByteArray& chunk) {
        if (m_bytes) {
            chunk = m_bytes->mid(m_pos, kChunk);
            m_pos += chunk.size();
            return true;
        }
        chunk = m_file->read(kChunk);
        return m_file->error() == QFileDevice::NoError;
    }
    QString errorString() const { return m_file ? m_file->errorString() : QString(); }

    // Lets the kernel copy a whole file into the open target where it can
    // (cp does the same), which spares two trips through user space. False
    // when it cannot, before anything was written, so plain reads can follow.
    bool copyInKernel(int out, bool& failed) {
        failed = false;
#ifdef Q_OS_LINUX
        if (!m_file)
            return false;
        const int in = m_file->handle();
        bool any = false;
        for (;;) {
            const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, size_t(kChunk), 0);
            if (n == 0)
                return true;
            if (n < 0) {
                if (any ||
                    (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)) {
                    failed = true;
                    return true;
                }
                return false;
            }
            any = true;
        }
#else
        Q_UNUSED(out);
        return false;
#endif
    }

private:
    const QByteArray* m_bytes = nullptr;
    QFile* m_file = nullptr;
    qsizetype m_pos = 0;
};

Status FileSystem::writeAtomically(const QString& target, const QString& targetHost,
                                   Source& source) {
    QSaveFile file(targetHost);
    if (!file.open(QIODevice::WriteOnly))
        return fileError(QStringLiteral("Writing the file"), target, file.errorString());
    // Written to its descriptor, past QSaveFile's buffer, so a failure (a full
    // disk above all) is seen as the bytes go out and not lost in commit().
    if (auto status = writeInto(file.handle(), target, source); !status.ok()) {
        file.cancelWriting();
        return status;
    }
    if (!file.commit())
        return fileError(QStringLiteral("Replacing the file"), target, file.errorString());
    return {};
}

Status FileSystem::writeInto(int fd, const QString& target, Source& source) {
    const QString step = QStringLiteral("Writing the file");
    bool failed = false;
    if (m_writeLimit < 0 && source.copyInKernel(fd, failed)) {
        if (failed)
            return Error{step, target, qt_error_string(errno)};
        return {};
    }
    QByteArray chunk;
    for (;;) {
        if (!source.next(chunk))
            return Error{QStringLiteral("Reading the file"), target, source.errorString()};
        if (chunk.isEmpty())
            return {};
        bool full = false;
        if (m_writeLimit >= 0 && chunk.size() > m_writeLimit) {
            chunk.truncate(m_writeLimit);
            full = true;
        }
        for (qsizetype done = 0; done < chunk.size();) {
            const auto n = ::write(fd, chunk.constData() + done, std::size_t(chunk.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return Error{step, target, qt_error_string(n < 0 ? errno : ENOSPC)};
            done += n;
        }
        if (m_writeLimit >= 0)
            m_writeLimit -= chunk.size();
        if (full)
            return Error{step, target, QStringLiteral("No space left on device")};
    }
}

// ---------------------------------------------------------------- batches

#ifdef Q_OS_LINUX

namespace {

QByteArray encoded(const QString& hostPath) {
    return QFile::encodeName(hostPath);
}

// A file written beside its target and not named yet: an unnamed file of the
// target's folder (O_TMPFILE), or where the file system has none a hidden
// one. Either way a failure, or a kill, before it is named leaves the target
// as it was.
struct Unnamed {
    int fd = -1;
    QString hidden; // the hidden file's path; empty for an unnamed one
    QString target; // as the caller named it, for messages
    QString targetHost;
};

void discard(Unnamed& file) {
    if (file.fd >= 0)
        ::close(file.fd);
    if (!file.hidden.isEmpty())
        ::unlink(encoded(file.hidden).constData());
    file.fd = -1;
    file.hidden.clear();
}

// Takes a hidden name beside the target, ".<name>.p95-<random>": place()
// is given candidates until it takes one (true) or fails other than for a
// name in use. The name taken; empty on failure, with errno telling why.
template <typename Place> QString takeHiddenName(const QString& targetHost, Place place) {
    const QFileInfo info(targetHost);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate =
            info.absolutePath() + QStringLiteral("/.") + info.fileName() +
            QStringLiteral(".p95-%1").arg(QRandomGenerator::global()->generate(), 8, 16,
                                          QLatin1Char('0'));
        if (place(encoded(candidate)))
            return candidate;
        if (errno != EEXIST)
            break;
    }
    return {};
}

Result<Unnamed> createBeside(const QString& target, const QString& targetHost) {
    const QString step = QStringLiteral("Writing the file");
    const QFileInfo info(targetHost);
    Unnamed file{-1, {}, target, targetHost};
    // A new file gets what the user's file mask allows, as open() gives it.
    file.fd =
        ::open(encoded(info.absolutePath()).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (file.fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        file.hidden = takeHiddenName(targetHost, [&](const QByteArray& path) {
            file.fd = ::open(path.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
            return file.fd >= 0;
        });
    }
    if (file.fd < 0)
        return Error{step, target, qt_error_string(errno)};
    // A replaced file keeps its permissions.
    struct stat existing {};
    if (::stat(encoded(targetHost).constData(), &existing) == 0)
        ::fchmod(file.fd, existing.st_mode & 07777);
    return file;
}

// Names the file: a hidden name beside the target first (an unnamed file can
// only be linked to a new name), then a rename over the target.
Status name(Unnamed& file) {
    const QString step = QStringLiteral("Replacing the file");
    QString hidden = file.hidden;
    if (hidden.isEmpty()) {
        const QByteArray proc = "/proc/self/fd/" + QByteArray::number(file.fd);
        hidden = takeHiddenName(file.targetHost, [&](const QByteArray& to) {
            int linked =
                ::linkat(AT_FDCWD, proc.constData(), AT_FDCWD, to.constData(), AT_SYMLINK_FOLLOW);
            if (linked != 0 && errno == ENOENT) // no /proc: the direct way, where allowed
                linked = ::linkat(file.fd, "", AT_FDCWD, to.constData(), AT_EMPTY_PATH);
            return linked == 0;
        });
        if (hidden.isEmpty()) {
            const QString reason = qt_error_string(errno);
            discard(file);
            return Error{step, file.target, reason};
        }
    }
    file.hidden = hidden;
    if (::rename(encoded(hidden).constData(), encoded(file.targetHost).constData()) != 0) {
        const QString reason = qt_error_string(errno);
        discard(file);
        return Error{step, file.target, reason};
    }
    file.hidden.clear();
    discard(file);
    return {};
}

Status syncFolder(const QString& hostFolder, const QString& folder) {
    const int fd = ::open(encoded(hostFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        const QString reason = qt_error_string(errno);
        if (fd >= 0)
            ::close(fd);
        return Error{QStringLiteral("Making the folder durable"), folder, reason};
    }
    ::close(fd);
    return {};
}

} // namespace

struct FileSystem::PendingBatch {
    // The folder is looked up once, here, not on every write.
    explicit PendingBatch(const QString& batchFolder)
        : folder(batchFolder), host(hostPath(batchFolder)),
          cleanHost(host ? QDir::cleanPath(QFileInfo(host.value()).absoluteFilePath())
                         : QString()) {}
    ~PendingBatch() {
        for (Unnamed& file : waiting)
            discard(file);
    }

    bool holds(const QString& targetHost) const {
        return host && QDir::cleanPath(QFileInfo(targetHost).absolutePath()) == cleanHost;
    }

    QString folder;
    Result<QString> host;         // the folder's host path
    QString cleanHost;            // the same, absolute and clean
    std::vector<Unnamed> waiting; // in the order written
};

FileSystem::Batch::Batch(FileSystem& files, const QString& folder) : m_files(files) {
    m_files.m_batch = std::make_unique<PendingBatch>(folder);
}

Status FileSystem::Batch::commit() {
    // The batch ends here, whatever happens; what is not named is discarded.
    const std::unique_ptr<PendingBatch> batch = std::move(m_files.m_batch);
    if (!batch || batch->waiting.empty())
        return {};
    const QString step = QStringLiteral("Making the files durable");
    const Result<QString>& folder = batch->host;
    if (!folder)
        return Error{step, batch->folder, folder.error().reason};
    const int fd = ::open(encoded(folder.value()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // One flush for them all: the file system's, which the folder's files
    // are on. Nothing is renamed unless it succeeded.
    if (fd < 0 || ::syncfs(fd) != 0) {
        const QString reason = qt_error_string(errno);
        if (fd >= 0)
            ::close(fd);
        return Error{step, batch->folder, reason};
    }
    ::close(fd);
    for (Unnamed& file : batch->waiting) {
        if (auto status = name(file); !status.ok())
            return status;
    }
    // The new names, and a folder the save has just made.
    if (auto status = syncFolder(folder.value(), batch->folder); !status.ok())
        return status;
    return syncFolder(QFileInfo(folder.value()).absolutePath(), batch->folder);
}

Status FileSystem::writeUnflushed(const QString& target, const QString& targetHost,
                                  Source& source) {
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
    auto created = createBeside(target, host);
    if (!created)
        return created.error();
    Unnamed file = created.value();
    if (auto status = writeInto(file.fd, target, source); !status.ok()) {
        discard(file);
        return status;
    }
    if (!m_batch->holds(host))
        return name(file); // a scratch copy: named at once, never flushed
    // Start writing it out now, so the one flush at the end waits less.
    ::sync_file_range(file.fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    m_batch->waiting.push_back(file);
    return {};
}

#else // no batches: every write is flushed on its own

struct FileSystem::PendingBatch {};

FileSystem::Batch::Batch(FileSystem& files, const QString&) : m_files(files) {}

Status FileSystem::Batch::commit() {
    return std::nullopt;
}

Status FileSystem::writeUnflushed(const QString& target, const QString& targetHost,
                                  Source& source) {
    return writeAtomically(target, targetHost, source);
}

#endif

FileSystem::Batch::~Batch() {
    m_files.m_batch.reset();
}

FileSystem::FileSystem() = default;
FileSystem::~FileSystem() = default;

Result<QStringList> FileSystem::list(const QString& pattern, bool includeDirectories) const {
    auto [folder, name] = splitPattern(pattern);
    auto host = hostPath(folder.isEmpty() ? QStringLiteral("./") : folder);
    if (!host)
        return host.error();
    const QDir dir(host.value());
    QStringList result;
    if (!dir.exists())
        return result;
    if (name.isEmpty())
        name = QStringLiteral("*");
    QDir::Filters filters = QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    if (includeDirectories) {
        filters |= QDir::Dirs;
        if (name == QStringLiteral("*") || name == QStringLiteral("*.*"))
            result << QStringLiteral(".") << QStringLiteral("..");
    }
    const QStringList entries = dir.entryList(filters, QDir::Name | QDir::IgnoreCase);
    for (const QString& entry : entries) {
        if (matchesPattern(entry, name))
            result << entry;
    }
    return result;
}

QString FileSystem::firstMatch(const QString& pattern, bool includeDirectories) const {
    auto names = list(pattern, includeDirectories);
    return names && !names->isEmpty() ? names->first() : QString();
}

bool FileSystem::directoryExists(const QString& path) const {
    QString folder = path;
    if (folder.isEmpty() || !isSeparatorOf(folder, folder.back()))
        folder += isWindowsPath(folder) ? QLatin1Char('\\') : QLatin1Char('/');
    return firstMatch(folder, true) == QStringLiteral(".");
}

bool FileSystem::fileExists(const QString& path) const {
    auto host = hostPath(path);
    return host && QFileInfo(host.value()).isFile();
}

Status FileSystem::makeDirectory(const QString& path) {
    const QString step = QStringLiteral("Creating the folder");
    auto host = hostPath(path);
    if (!host)
        return host.error();
    const QFileInfo info(host.value());
    if (info.exists() || info.isSymLink())
        return fileError(step, path, QStringLiteral("it already exists"));
    if (!QFileInfo(info.absolutePath()).isDir())
        return fileError(step, path, QStringLiteral("path not found"));
    if (!QDir().mkdir(host.value()))
        return fileError(step, path, qt_error_string(errno));
    return {};
}

Status FileSystem::removeDirectory(const QString& path) {
    const QString step = QStringLiteral("Removing the folder");
    auto host = hostPath(path);
    if (!host)
        return host.error();
    const QFileInfo info(host.value());
    if (!info.isDir())
        return notFound(step, path);
    if (!QDir(host.value())
             .isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        return fileError(step, path, QStringLiteral("the folder is not empty"));
    if (!QDir().rmdir(host.value()))
        return fileError(step, path, qt_error_string(errno));
    return {};
}

Status FileSystem::copyFile(const QString& source, const QString& target) {
    const QString step = QStringLiteral("Copying the file");
    auto sourceHost = hostPath(source);
    if (!sourceHost)
        return sourceHost.error();
    auto targetHost = hostPath(target);
    if (!targetHost)
        return targetHost.error();
    const QFileInfo info(sourceHost.value());
    if (!info.exists())
        return notFound(step, source);
    if (!info.isFile())
        return fileError(step, source, QStringLiteral("not a regular file"));
    QFile in;
    if (auto status = openRegularFile(in, sourceHost.value()); !status.ok()) {
        // Gone since the check above: a missing file like any other.
        if (status.error().reason == fileNotFoundReason())
            return notFound(step, source);
        return fileError(step, source, status.error().reason);
    }
    Source bytes(in);
    if (m_batch)
        return writeUnflushed(target, targetHost.value(), bytes);
    return writeAtomically(target, targetHost.value(), bytes);
}

Status FileSystem::deleteFiles(const QString& pattern) {
    const QString step = QStringLiteral("Deleting files");
    auto names = list(pattern, false);
    if (!names)
        return names.error();
    if (names->isEmpty())
        return notFound(step, pattern);
    const QString folder = splitPattern(pattern).first;
    auto folderHost = hostPath(folder.isEmpty() ? QStringLiteral("./") : folder);
    if (!folderHost)
        return folderHost.error();
    for (const QString& name : names.value()) {
        QFile file(QDir(folderHost.value()).filePath(name));
        if (!file.remove())
            return fileError(step, folder + name, file.errorString());
    }
    return {};
}

Status FileSystem::rename(const QString& from, const QString& to) {
    const QString step = QStringLiteral("Renaming the file");
    auto fromHost = hostPath(from);
    if (!fromHost)
        return fromHost.error();
    auto toHost = hostPath(to);
    if (!toHost)
        return toHost.error();
    const QFileInfo source(fromHost.value());
    if (!source.exists() && !source.isSymLink())
        return notFound(step, from);
    QString target = toHost.value();
    if (QFileInfo(target) == source) {
        // The target names the same entry: at most a change of letter case.
        const auto [folder, name] = splitPattern(to);
        Q_UNUSED(folder);
        target = source.absolutePath() + QLatin1Char('/') + name;
        if (target == source.absoluteFilePath())
            return {};
    } else if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) {
        return fileError(step, to, QStringLiteral("the file already exists"));
    }
    if (!QDir().rename(fromHost.value(), target))
        return fileError(step, from,
                         QStringLiteral("cannot rename to %1: %2").arg(to, qt_error_string(errno)));
    return {};
}

Status FileSystem::writeFile(const QString& path, const QByteArray& bytes) {
    auto host = hostPath(path);
    if (!host)
        return host.error();
    Source source(bytes);
    if (m_batch)
        return writeUnflushed(path, host.value(), source);
    return writeAtomically(path, host.value(), source);
}

Result<QByteArray> FileSystem::readFile(const QString& path, qint64 maxBytes) const {
    auto host = hostPath(path);
    if (!host)
        return host.error();
    auto bytes = readWholeFile(host.value(), maxBytes);
    if (!bytes) {
        Error error = bytes.error();
        error.file = path;
        if (!QFileInfo::exists(host.value()))
            error.reason = fileNotFoundReason();
        return error;
    }
    return bytes;
}

} // namespace p95
