#include "theme/save_lock.h"

#include "platform/drive.h"
#include "platform/file_system.h"
#include "platform/move_journal.h"
#include "theme/theme_document.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QThread>

namespace p95 {

namespace {

QString writeProblem(const QString& host) {
    return QStringLiteral("the folder cannot be written; on this computer it is %1")
        .arg(QDir::toNativeSeparators(host));
}

} // namespace

QString installStagingFolder() {
    QString parent = toQString(kThemesRoot);
    parent.chop(1);
    return parent.left(parent.lastIndexOf(QLatin1Char('\\'))) +
           QStringLiteral("\\.paletteer95-install");
}

Status settleInterruptedInstall(FileSystem& files) {
    const Result<QString> staging = hostPath(installStagingFolder());
    if (!staging)
        return {}; // no drive: nothing was installed on it
    return settleStaging(files, staging.value());
}

SaveLock::SaveLock() = default;
SaveLock::~SaveLock() = default;

Status SaveLock::acquire(FileSystem& files, const QString& programDirectory, int waitMs,
                         const QString& step) {
    auto folder = hostPath(programDirectory);
    if (!folder) {
        Error error = folder.error();
        error.step = step;
        return error;
    }
    // An install may come before the first save has laid the folder out.
    if (!QFileInfo(folder.value()).isDir() && !QDir().mkpath(folder.value()))
        return Error{step, programDirectory, writeProblem(folder.value())};
    m_lock = std::make_unique<QLockFile>(folder.value() + QStringLiteral("/save.lock"));
    // Only a holder that has died frees the lock early; a long save by a
    // live process must not be broken into.
    m_lock->setStaleLockTime(0);
    bool locked = m_lock->tryLock(waitMs);
    if (!locked && m_lock->error() == QLockFile::LockFailedError)
        locked = takeOrphanedLock(folder.value());
    if (!locked) {
        if (m_lock->error() == QLockFile::LockFailedError)
            return Error{step,
                         {},
                         QStringLiteral("another save or install is running; please try again "
                                        "when it has finished")};
        // A folder that cannot be written is what the user can mend.
        return Error{step, programDirectory, writeProblem(folder.value())};
    }
    if (const Status status = settleInterruptedInstall(files); !status.ok()) {
        Error error = status.error();
        error.step = step + QStringLiteral(": ") + error.step;
        return error;
    }
    return {};
}

// A holder killed between creating the lock and writing its owner leaves a
// lock that names no one, which QLockFile never takes as stale: every later
// save would fail. A live holder keeps the file locked from just after
// creating it, so a lock no process holds is an orphan and is taken over at
// once; a second look bridges the moment between creating and locking.
bool SaveLock::takeOrphanedLock(const QString& folder) {
    qint64 pid = 0;
    QString host;
    QString app;
    if (m_lock->getLockInfo(&pid, &host, &app))
        return false;
    const QString path = folder + QStringLiteral("/save.lock");
    if (isHeldLocked(path))
        return false;
    QThread::msleep(50);
    if (isHeldLocked(path) || m_lock->getLockInfo(&pid, &host, &app))
        return false;
    return m_lock->removeStaleLockFile() && m_lock->tryLock(0);
}

} // namespace p95
