#include "platform/move_journal.h"

#include "platform/file_system.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace p95 {

namespace {

const QString kJournal = QStringLiteral("/journal");
const QString kDone = QStringLiteral("/done");
const QByteArray kFirstLine = "paletteer95 moves 2";

// Paths in the journal are relative to the staging folder's parent, so that
// a drive C folder that moved still finds its files.
QString relative(const QString& staging, const QString& host) {
    return QFileInfo(staging).dir().relativeFilePath(host);
}

QString absolute(const QString& staging, const QString& path) {
    return QDir::cleanPath(QFileInfo(staging).dir().absoluteFilePath(path));
}

std::optional<MoveJournal> readJournal(const QString& staging, bool& damaged) {
    QFile file(staging + kJournal);
    damaged = false;
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> lines = file.readAll().split('\n');
    MoveJournal journal;
    bool ended = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines[i].split('\t');
        if (i == 0) {
            damaged = lines[i] != kFirstLine;
        } else if (fields[0] == "folder" && fields.size() == 2) {
            journal.folders << absolute(staging, QString::fromUtf8(fields[1]));
        } else if (fields[0] == "move" && fields.size() == 8) {
            journal.moves.append({absolute(staging, QString::fromUtf8(fields[5])),
                                  absolute(staging, QString::fromUtf8(fields[6])),
                                  {fields[1].toULongLong(), fields[2].toULongLong(),
                                   fields[3].toLongLong(), fields[4].toLongLong()},
                                  fields[7].isEmpty()
                                      ? QString()
                                      : absolute(staging, QString::fromUtf8(fields[7]))});
        } else if (fields[0] == "end") {
            ended = true;
        }
    }
    damaged = damaged || !ended;
    return journal;
}

bool exists(const QString& host) {
    return fileIdentity(host).has_value();
}

// Undoes the moves, last first. Returns the targets it could not put right.
QStringList undo(FileSystem& files, const MoveJournal& journal) {
    QStringList left;
    QSet<QString> folders;
    for (auto it = journal.moves.crbegin(); it != journal.moves.crend(); ++it) {
        const MoveJournal::Move& move = *it;
        folders.insert(QFileInfo(move.target).path());
        if (fileIdentity(move.target) == move.identity && !exists(move.staged)) {
            if (!files.rename(move.target, move.staged).ok())
                left << move.target;
        }
        if (!move.aside.isEmpty() && exists(move.aside)) {
            if (exists(move.target))
                continue; // someone has written the target since: theirs stays
            if (!files.rename(move.aside, move.target).ok())
                left << move.target;
        }
    }
    for (auto it = journal.folders.crbegin(); it != journal.folders.crend(); ++it) {
        if (QFileInfo(*it).isDir() && QDir(*it).isEmpty(QDir::AllEntries | QDir::Hidden |
                                                        QDir::System | QDir::NoDotAndDotDot)) {
            // Only an empty folder goes: anything in it is someone's.
            (void)files.removeDirectory(*it);
            folders.insert(QFileInfo(*it).path());
        }
    }
    for (const QString& folder : std::as_const(folders))
        (void)syncFolder(folder);
    return left;
}

} // namespace

std::optional<FileIdentity> fileIdentity(const QString& host) {
    struct stat info = {};
    if (::lstat(QFile::encodeName(host).constData(), &info) != 0)
        return std::nullopt;
    return FileIdentity{quint64(info.st_dev), quint64(info.st_ino), qint64(info.st_size),
                        qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

Status syncFolder(const QString& host) {
    const int fd = ::open(QFile::encodeName(host).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return Error{QStringLiteral("Flushing the folder"), host, qt_error_string(errno)};
    const int synced = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (synced != 0)
        return Error{QStringLiteral("Flushing the folder"), host, qt_error_string(error)};
    return {};
}

Status writeMoveJournal(FileSystem& files, const QString& staging, const MoveJournal& journal) {
    QByteArray text = kFirstLine + '\n';
    for (const QString& folder : journal.folders)
        text += "folder\t" + relative(staging, folder).toUtf8() + '\n';
    for (const MoveJournal::Move& move : journal.moves) {
        text += "move\t" + QByteArray::number(move.identity.device) + '\t' +
                QByteArray::number(move.identity.inode) + '\t' +
                QByteArray::number(move.identity.size) + '\t' +
                QByteArray::number(move.identity.modifiedNs) + '\t' +
                relative(staging, move.staged).toUtf8() + '\t' +
                relative(staging, move.target).toUtf8() + '\t' +
                (move.aside.isEmpty() ? QByteArray() : relative(staging, move.aside).toUtf8()) +
                '\n';
    }
    text += "end\n";
    return files.writeFile(staging + kJournal, text);
}

Status markMovesDone(FileSystem& files, const QString& staging) {
    return files.writeFile(staging + kDone, "done\n");
}

Status settleStaging(FileSystem& files, const QString& staging) {
    if (!QFileInfo(staging).isDir())
        return {};
    bool damaged = false;
    const std::optional<MoveJournal> journal = readJournal(staging, damaged);
    if (journal && damaged)
        return Error{QStringLiteral("Finishing an interrupted install"), staging + kJournal,
                     QStringLiteral("the journal cannot be read")};
    if (journal && !QFileInfo::exists(staging + kDone)) {
        const QStringList left = undo(files, *journal);
        if (!left.isEmpty())
            return Error{QStringLiteral("Undoing an interrupted install"), left.first(),
                         QStringLiteral("the file cannot be put back")};
    }
    // The journal goes first, and for good: a removal cut off half-way must
    // never leave a journal without its mark (that would undo a finished
    // install whose replaced files are already gone).
    if (journal && (!QFile::remove(staging + kJournal) || !syncFolder(staging).ok()))
        return Error{QStringLiteral("Removing the staging folder"), staging + kJournal,
                     QStringLiteral("it cannot be removed")};
    // Without a journal nothing was moved yet: only staged files are here.
    if (!QDir(staging).removeRecursively())
        return Error{QStringLiteral("Removing the staging folder"), staging,
                     QStringLiteral("it cannot be removed")};
    (void)syncFolder(QFileInfo(staging).path());
    return {};
}

} // namespace p95
