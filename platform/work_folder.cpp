#include "platform/work_folder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace p95 {

namespace {

// Between making a folder and locking it, its owner is not yet seen.
constexpr qint64 kYoungSeconds = 60;

int openFolder(const QString& path) {
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

} // namespace

int removeLeftoverWorkFolders(const QString& parent, const QString& prefix) {
    int removed = 0;
    const QDateTime old = QDateTime::currentDateTimeUtc().addSecs(-kYoungSeconds);
    const QFileInfoList candidates = QDir(parent).entryInfoList(
        {prefix + QStringLiteral("-*")},
        QDir::Dirs | QDir::NoSymLinks | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& folder : candidates) {
        if (folder.lastModified().toUTC() > old || !folder.isWritable())
            continue;
        const int fd = openFolder(folder.filePath());
        if (fd < 0)
            continue;
        // A live owner holds a shared lock; ours, exclusive, also keeps a
        // second sweeper out while this one removes it.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && QDir(folder.filePath()).removeRecursively())
            ++removed;
        ::close(fd);
    }
    return removed;
}

WorkFolder::WorkFolder(const QString& parent, const QString& prefix)
    : m_dir((removeLeftoverWorkFolders(parent, prefix),
             parent + QLatin1Char('/') + prefix + QStringLiteral("-XXXXXX"))) {
    if (!m_dir.isValid())
        return;
    m_lockFd = openFolder(m_dir.path());
    if (m_lockFd >= 0 && ::flock(m_lockFd, LOCK_SH | LOCK_NB) != 0) {
        ::close(m_lockFd);
        m_lockFd = -1;
    }
}

WorkFolder::~WorkFolder() {
    // Removed while still held, so that no sweeper races this.
    m_dir.remove();
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

} // namespace p95
