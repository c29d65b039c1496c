#include "package/install.h"

#include "package/path_tree.h"
#include "platform/drive.h"
#include "platform/folder_index.h"
#include "platform/move_journal.h"
#include "platform/text_file.h"
#include "theme/save_lock.h"
#include "theme/theme_document.h"
#include "theme/theme_save.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace p95 {

namespace {

QString themesRoot() {
    return toQString(kThemesRoot);
}

QString windowsPath(const QStringList& target) {
    return themesRoot() + joinedPath(target);
}

// The themes root's host folder, without a final separator.
Result<QString> themesRootHost() {
    Result<QString> host = hostPath(themesRoot());
    if (host && host.value().endsWith(QLatin1Char('/')))
        host.value().chop(1);
    return host;
}

// The system's reason of a failure, without the host paths a rename names
// (messages name Windows paths, never the staging folder).
QString why(const Error& error) {
    if (error.reason.startsWith(QLatin1String("cannot rename to ")))
        return error.reason.mid(error.reason.lastIndexOf(QLatin1String(": ")) + 2);
    return error.why();
}

// The package file, opened without ever waiting on a pipe or device; its
// size is checked by the scan.
std::optional<PackageProblem> openPackage(QFile& file, const QString& archive) {
    const Result<QString> host = hostPath(archive);
    if (!host)
        return failed(QStringLiteral("the package cannot be read: ") + host.error().text());
    if (const Status status = openRegularFile(file, host.value()); !status.ok())
        return failed(QStringLiteral("the package cannot be read (%1)").arg(why(status.error())));
    return std::nullopt;
}

QString changedMessage() {
    return QStringLiteral("the package changed while it was being installed");
}

bool sameEntry(const PackageEntry& a, const PackageEntry& b) {
    return a.name == b.name && a.components == b.components && a.directory == b.directory;
}

// The installed themes that name each file below the themes root: every
// .theme file there, with its %ThemeDir% names. One walk of the root.
class Owners {
public:
    Owners(const QString& rootHost, const PackageLimits& limits) {
        QDirIterator it(rootHost, {QStringLiteral("*.theme")}, QDir::Files | QDir::Hidden,
                        QDirIterator::Subdirectories);
        const qsizetype skip = rootHost.size() + 1;
        while (it.hasNext()) {
            const QString host = it.next();
            const QStringList own = host.mid(skip).split(QLatin1Char('/'));
            const QString name = own.last().chopped(6);
            add(own, name);
            QFile file(host);
            if (file.size() > limits.themeFileBytes || !file.open(QIODevice::ReadOnly))
                continue;
            for (const ThemeDirName& wanted : themeDirNames(file.readAll())) {
                if (!wanted.components.isEmpty())
                    add(wanted.components, name);
            }
        }
    }

    QStringList of(const QStringList& target) const { return m_owners.value(m_tree.find(target)); }

private:
    void add(const QStringList& path, const QString& theme) {
        QStringList& owners = m_owners[m_tree.path(path)];
        if (!owners.contains(theme, Qt::CaseInsensitive))
            owners << theme;
    }

    PathTree m_tree;
    QHash<int, QStringList> m_owners;
};

QString replaceMessage(const InstallPlan& plan) {
    const qsizetype owned = plan.existing.size() - plan.unowned.size();
    if (owned == 0) {
        if (plan.unowned.size() == 1)
            return QStringLiteral("the package would replace %1, a file already in the themes "
                                  "folder")
                .arg(plan.unowned.first());
        return QStringLiteral("the package would replace %1 files already in the themes folder "
                              "(%2)")
            .arg(QString::number(plan.unowned.size()), plan.unowned.first());
    }
    QString first;
    for (const QString& path : plan.existing) {
        if (!plan.unowned.contains(path)) {
            first = path;
            break;
        }
    }
    const bool one = plan.ownedThemes.size() == 1;
    QString message =
        (one ? QStringLiteral("the theme %1 is already installed: the package would replace "
                              "%2 of its files (%3)")
             : QStringLiteral("the themes %1 are already installed: the package would "
                              "replace %2 of their files (%3)"))
            .arg(plan.ownedThemes.join(QStringLiteral(", ")), QString::number(owned), first);
    if (!plan.unowned.isEmpty())
        message += QStringLiteral(", and %1 files already in the themes folder (%2)")
                       .arg(QString::number(plan.unowned.size()), plan.unowned.first());
    return message;
}

// The themes a plan installs, as installPackage() reports them.
QList<InstalledTheme> plannedThemes(const InstallPlan& plan) {
    QList<InstalledTheme> themes;
    for (const PlacedTheme& theme : plan.placement.themes)
        themes.append({theme.name, windowsPath(theme.target), theme.unfound});
    return themes;
}

} // namespace

InstallPlan planInstall(const QString& archive, const FileSystem& files,
                        const PackageLimits& limits) {
    InstallPlan plan;
    plan.archive = archive;
    // An install cut off earlier is settled first, so that the plan sees the
    // themes root as it will be; should the lock be busy, the install
    // itself waits for it and settles.
    {
        FileSystem settling;
        SaveLock lock;
        (void)lock.acquire(settling, programDirectory(), 0, QStringLiteral("Planning the install"));
    }
    QFile file;
    if ((plan.problem = openPackage(file, archive)))
        return plan;

    QHash<int, QByteArray> themeFiles;
    auto keepThemeFiles = [&](int index, const PackageEntry& entry, QByteArrayView data,
                              bool end) -> std::optional<PackageProblem> {
        if (isThemeFileName(entry.components.last())) {
            QByteArray& bytes = themeFiles[index];
            if (!end)
                bytes.append(data);
        }
        return std::nullopt;
    };
    ArchiveScan scan = scanArchive(ArchiveInput{nullptr, file.handle()}, limits, keepThemeFiles);
    if ((plan.problem = scan.problem))
        return plan;
    plan.entries = std::move(scan.entries);
    plan.placement = placePackage(plan.entries, themeFiles, limits);
    if ((plan.problem = plan.placement.problem))
        return plan;

    const Result<QString> root = themesRootHost();
    if (!themesRootExists(files) || !root) {
        plan.problem = failed(QStringLiteral("the themes folder %1 does not exist (on this "
                                             "computer: %2)")
                                  .arg(themesRoot(), themesRootHostPath()));
        return plan;
    }
    FolderIndex index(root.value());
    QList<int> existing; // indexes into placement.files
    for (int k = 0; k < plan.placement.files.size(); ++k) {
        const QStringList& target = plan.placement.files[k].target;
        const FolderIndex::Found found = index.find(target);
        if (found.fileAt >= 0) {
            plan.problem =
                refused(QStringLiteral("%1 is a file on drive C where the package needs a folder")
                            .arg(windowsPath(target.mid(0, found.fileAt + 1))));
            return plan;
        }
        if (found.kind == FolderIndex::Kind::Folder) {
            plan.problem = refused(QStringLiteral("%1 is a folder on drive C where the package "
                                                  "has a file")
                                       .arg(windowsPath(target)));
            return plan;
        }
        if (found.kind != FolderIndex::Kind::Missing)
            existing << k;
    }
    if (existing.isEmpty())
        return plan;

    // Whose files they are: the package may replace its own theme's files,
    // never a file another installed theme names.
    const Owners owners(root.value(), limits);
    QSet<QString> own;
    for (const PlacedTheme& theme : std::as_const(plan.placement.themes))
        own.insert(theme.name.toCaseFolded());
    for (const int k : std::as_const(existing)) {
        const PlacedFile& placed = plan.placement.files[k];
        const QString path = windowsPath(placed.target);
        const QStringList owning = owners.of(placed.target);
        for (const QString& owner : owning) {
            if (!own.contains(owner.toCaseFolded())) {
                plan.problem = refused(
                    QStringLiteral("the package would replace %1, a file of the installed theme %2")
                        .arg(path, owner));
                return plan;
            }
        }
        plan.existing << path;
        QStringList themes = owning;
        if (owning.isEmpty()) {
            plan.unowned << path;
            themes << plan.placement.themes.at(placed.theme).name;
        }
        for (const QString& theme : std::as_const(themes)) {
            if (!plan.existingThemes.contains(theme))
                plan.existingThemes << theme;
            if (!owning.isEmpty() && !plan.ownedThemes.contains(theme))
                plan.ownedThemes << theme;
        }
    }
    return plan;
}

InstallResult installPackage(const InstallPlan& plan, FileSystem& files, bool replaceExisting,
                             const PackageLimits& limits, int lockWaitMs) {
    InstallResult result;
    if ((result.problem = plan.problem))
        return result;
    if (!plan.existing.isEmpty() && !replaceExisting) {
        result.problem = refused(replaceMessage(plan));
        return result;
    }

    SaveLock lock; // held until the install is done or undone
    if (const Status status = lock.acquire(files, programDirectory(), lockWaitMs,
                                           QStringLiteral("Starting the install"));
        !status.ok()) {
        result.problem = failed(status.error().text());
        return result;
    }
    const Result<QString> root = themesRootHost();
    const Result<QString> stagingHost = hostPath(installStagingFolder());
    if (!root || !stagingHost) {
        result.problem = failed((root ? stagingHost.error() : root.error()).text());
        return result;
    }
    const QString& staging = stagingHost.value();

    // What is on the drive now, under the lock: a file that appeared since
    // the plan is not replaced unasked.
    const QSet<QString> planned(plan.existing.cbegin(), plan.existing.cend());
    FolderIndex index(root.value());
    const QList<PlacedFile>& placed = plan.placement.files;
    MoveJournal journal;
    QStringList shown; // the Windows path of each move's target, for messages
    QList<int> order;  // .theme files last
    for (int k = 0; k < placed.size(); ++k) {
        if (!isThemeFileName(placed[k].target.last()))
            order << k;
    }
    for (int k = 0; k < placed.size(); ++k) {
        if (isThemeFileName(placed[k].target.last()))
            order << k;
    }
    for (const int k : std::as_const(order)) {
        const QStringList& target = placed[k].target;
        const QString path = windowsPath(target);
        FolderIndex::Found found = index.find(target);
        if (found.fileAt >= 0 || found.kind == FolderIndex::Kind::Folder ||
            (found.kind != FolderIndex::Kind::Missing && !planned.contains(path))) {
            result.problem = refused(QStringLiteral("%1 appeared on drive C while the package was "
                                                    "being installed")
                                         .arg(path));
            return result;
        }
        // Folders to make, parents first; noted in the index, so that a
        // name in another letter case finds the same folder.
        for (qsizetype i = 1; i < target.size(); ++i) {
            const FolderIndex::Found folder = index.find(target.mid(0, i));
            if (folder.kind == FolderIndex::Kind::Missing) {
                journal.folders << folder.host;
                index.put(folder.host, FolderIndex::Kind::Folder);
            }
        }
        found = index.find(target);
        journal.moves.append({staging + QStringLiteral("/%1").arg(k),
                              found.host,
                              {},
                              found.kind == FolderIndex::Kind::Missing
                                  ? QString()
                                  : staging + QStringLiteral("/r%1").arg(k)});
        shown << path;
    }

    auto undo = [&](PackageProblem problem) {
        if (const Status status = settleStaging(files, staging); !status.ok())
            problem.message += QStringLiteral("; what was installed could not all be undone (%1), "
                                              "the next install or save tries again")
                                   .arg(why(status.error()));
        return problem;
    };
    if (const Status status = files.makeDirectory(staging); !status.ok()) {
        result.problem = failed(QStringLiteral("no staging folder can be made beside %1 (%2)")
                                    .arg(themesRoot(), why(status.error())));
        return result;
    }

    // The files are read into the staging folder, unflushed, and made
    // durable together with one flush once every one was read.
    QFile file;
    if (const auto problem = openPackage(file, plan.archive)) {
        result.problem = undo(*problem);
        return result;
    }
    QHash<int, QList<int>> movesOf; // entry -> indexes into journal.moves
    for (int m = 0; m < order.size(); ++m)
        movesOf[placed[order[m]].entry].append(m);
    std::optional<FileSystem::Batch> batch(std::in_place, files, staging);
    QByteArray bytes;
    auto stage = [&](int entryIndex, const PackageEntry& entry, QByteArrayView data,
                     bool end) -> std::optional<PackageProblem> {
        if (entryIndex >= plan.entries.size() || !sameEntry(plan.entries[entryIndex], entry) ||
            entry.size > plan.entries[entryIndex].size)
            return failed(changedMessage());
        if (!end) {
            bytes.append(data);
            return std::nullopt;
        }
        if (entry.size != plan.entries[entryIndex].size)
            return failed(changedMessage());
        for (const int m : movesOf.value(entryIndex)) {
            if (const Status status = files.writeFile(journal.moves[m].staged, bytes); !status.ok())
                return failed(
                    QStringLiteral("%1 cannot be written (%2)").arg(shown[m], why(status.error())));
        }
        bytes.clear();
        return std::nullopt;
    };
    const ArchiveScan scan = scanArchive(ArchiveInput{nullptr, file.handle()}, limits, stage);
    if (scan.problem) {
        batch.reset();
        result.problem = undo(*scan.problem);
        return result;
    }
    bool same = scan.entries.size() == plan.entries.size();
    for (qsizetype i = 0; same && i < scan.entries.size(); ++i)
        same = sameEntry(scan.entries[i], plan.entries[i]);
    if (!same) {
        batch.reset();
        result.problem = undo(failed(changedMessage()));
        return result;
    }
    if (const Status status = batch->commit(); !status.ok()) {
        batch.reset();
        result.problem = undo(failed(
            QStringLiteral("the package's files cannot be written (%1)").arg(why(status.error()))));
        return result;
    }
    batch.reset();

    // The journal, durable before the first move.
    for (int m = 0; m < journal.moves.size(); ++m) {
        const std::optional<FileIdentity> identity = fileIdentity(journal.moves[m].staged);
        if (!identity) {
            result.problem = undo(failed(QStringLiteral("%1 cannot be written").arg(shown[m])));
            return result;
        }
        journal.moves[m].identity = *identity;
    }
    if (const Status status = writeMoveJournal(files, staging, journal); !status.ok()) {
        result.problem = undo(failed(QStringLiteral("the install's journal cannot be written (%1)")
                                         .arg(why(status.error()))));
        return result;
    }

    QSet<QString> touched{root.value()}; // folders whose entries changed
    for (const QString& folder : std::as_const(journal.folders)) {
        if (const Status status = files.makeDirectory(folder); !status.ok()) {
            result.problem = undo(failed(QStringLiteral("a folder of %1 cannot be made (%2)")
                                             .arg(themesRoot(), why(status.error()))));
            return result;
        }
        touched.insert(QFileInfo(folder).path());
    }
    for (int m = 0; m < journal.moves.size(); ++m) {
        const MoveJournal::Move& move = journal.moves[m];
        Status status;
        if (!move.aside.isEmpty())
            status = files.rename(move.target, move.aside);
        if (status.ok())
            status = files.rename(move.staged, move.target);
        if (!status.ok()) {
            result.problem = undo(failed(QStringLiteral("%1 cannot be put in place (%2)")
                                             .arg(shown[m], why(status.error()))));
            return result;
        }
        touched.insert(QFileInfo(move.target).path());
    }
    touched.insert(staging);
    for (const QString& folder : std::as_const(touched)) {
        if (const Status status = syncFolder(folder); !status.ok()) {
            result.problem =
                undo(failed(QStringLiteral("the files cannot be made durable in %1 (%2)")
                                .arg(themesRoot(), why(status.error()))));
            return result;
        }
    }
    if (const Status status = markMovesDone(files, staging); !status.ok()) {
        result.problem = undo(failed(QStringLiteral("the install's journal cannot be written (%1)")
                                         .arg(why(status.error()))));
        return result;
    }
    // Done: what was put aside goes. Should that fail, the next install or
    // save finishes it.
    (void)settleStaging(files, staging);
    result.themes = plannedThemes(plan);
    return result;
}

const QStringList& packageFileEndings() {
    static const QStringList endings{
        QStringLiteral(".zip"),    QStringLiteral(".7z"),     QStringLiteral(".rar"),
        QStringLiteral(".lzh"),    QStringLiteral(".lha"),    QStringLiteral(".cab"),
        QStringLiteral(".tar"),    QStringLiteral(".tgz"),    QStringLiteral(".tar.gz"),
        QStringLiteral(".tbz"),    QStringLiteral(".tbz2"),   QStringLiteral(".tar.bz2"),
        QStringLiteral(".txz"),    QStringLiteral(".tar.xz"), QStringLiteral(".tzst"),
        QStringLiteral(".tar.zst")};
    return endings;
}

bool isPackageFileName(const QString& fileName) {
    for (const QString& ending : packageFileEndings()) {
        if (fileName.endsWith(ending, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace p95
