#include "platform/file_system.h"

#include "platform/drive.h"
#include "platform/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace p95 {

namespace {

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

bool isHeldLocked(const QString& hostPath) {
    const QByteArray path = QFile::encodeName(hostPath);
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd); // also ends a lock taken here
    return held;
}

bool matchesPattern(const QString& name, const QString& pattern) {
    if (pattern == QStringLiteral("*.*"))
        return true;
    return matchFrom(name, 0, pattern, 0);
}

FileSystem::Batch::Batch(FileSystem& files, const QString& folder) : m_files(files) {
    m_files.m_writes->beginBatch(folder, hostPath(folder));
}

Status FileSystem::Batch::commit() {
    return m_files.m_writes->commitBatch();
}

FileSystem::Batch::~Batch() {
    m_files.m_writes->endBatch();
}

FileSystem::FileSystem() : FileSystem(DiskCalls::host()) {}
FileSystem::FileSystem(DiskCalls& calls) : m_writes(std::make_unique<DurableWrites>(calls)) {}
FileSystem::~FileSystem() = default;

Status FileSystem::write(const QString& target, const QString& targetHost, WriteSource& source) {
    return m_writes->write(target, targetHost, source);
}

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
    WriteSource bytes(in);
    return write(target, targetHost.value(), bytes);
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
    WriteSource source(bytes);
    return write(path, host.value(), source);
}

Status FileSystem::removeTemporaryFiles(const QString& folder) {
    const QChar separator = isWindowsPath(folder) ? QLatin1Char('\\') : QLatin1Char('/');
    const QString prefix =
        folder.isEmpty() || isSeparatorOf(folder, folder.back()) ? folder : folder + separator;
    auto names = list(prefix + QStringLiteral("~p95????.tmp"), false);
    if (!names)
        return names.error();
    auto folderHost = hostPath(prefix.isEmpty() ? QStringLiteral("./") : prefix);
    if (!folderHost)
        return folderHost.error();
    for (const QString& name : names.value()) {
        QFile file(QDir(folderHost.value()).filePath(name));
        if (isTemporaryFileName(name) && !file.remove())
            return fileError(QStringLiteral("Deleting files"), prefix + name, file.errorString());
    }
    return {};
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
