#include "package/install.h"

#include "platform/drive.h"
#include "platform/text_file.h"
#include "theme/theme_document.h"
#include "theme/theme_save.h"

#include <QFile>
#include <QTemporaryDir>

namespace p95 {

namespace {

QString themesRoot() {
    return toQString(kThemesRoot);
}

QString windowsPath(const QStringList& target) {
    return themesRoot() + joinedPath(target);
}

// The package file, opened without ever waiting on a pipe or device; its
// size is checked by the scan.
std::optional<PackageProblem> openPackage(QFile& file, const QString& archive) {
    const Result<QString> host = hostPath(archive);
    if (!host)
        return failed(QStringLiteral("the package cannot be read: ") + host.error().text());
    if (const Status status = openRegularFile(file, host.value()); !status.ok())
        return failed(QStringLiteral("the package cannot be read (%1)").arg(status.error().reason));
    return std::nullopt;
}

QString changedMessage() {
    return QStringLiteral("the package changed while it was being installed");
}

bool sameEntry(const PackageEntry& a, const PackageEntry& b) {
    return a.name == b.name && a.components == b.components && a.directory == b.directory;
}

// Moves the staged files into place, remembering every step so that a
// failure can undo them all.
class Mover {
public:
    Mover(FileSystem& files, const QString& staging) : m_files(files), m_staging(staging) {}

    QString staged(int k) const { return m_staging + QStringLiteral("/%1").arg(k); }

    std::optional<PackageProblem> run(const Placement& placement, bool replace) {
        for (int k = 0; k < placement.files.size(); ++k) {
            const QStringList& target = placement.files[k].target;
            for (qsizetype i = 1; i < target.size(); ++i) {
                const QString folder = windowsPath(target.mid(0, i));
                if (m_files.directoryExists(folder))
                    continue;
                if (const Status status = m_files.makeDirectory(folder); !status.ok())
                    return undo(failed(status.error().text()));
                m_created << folder;
            }
            const QString path = windowsPath(target);
            if (m_files.fileExists(path)) {
                if (!replace)
                    return undo(
                        refused(QStringLiteral("%1 appeared on drive C while the package was being "
                                               "installed")
                                    .arg(path)));
                const QString backup = m_staging + QStringLiteral("/replaced-%1").arg(k);
                if (const Status status = m_files.rename(path, backup); !status.ok())
                    return undo(failed(status.error().text()));
                m_replaced.append({path, backup});
            }
            if (const Status status = m_files.rename(staged(k), path); !status.ok())
                return undo(failed(status.error().text()));
            m_placed.append({path, staged(k)});
        }
        return std::nullopt;
    }

private:
    PackageProblem undo(PackageProblem problem) {
        QStringList left;
        for (auto it = m_placed.crbegin(); it != m_placed.crend(); ++it) {
            if (!m_files.rename(it->first, it->second).ok())
                left << it->first;
        }
        for (auto it = m_replaced.crbegin(); it != m_replaced.crend(); ++it) {
            if (!m_files.rename(it->second, it->first).ok())
                left << it->first;
        }
        for (auto it = m_created.crbegin(); it != m_created.crend(); ++it)
            (void)m_files.removeDirectory(*it); // a folder still in use stays
        if (!left.isEmpty())
            problem.message += QStringLiteral("; these files could not be put back: ") +
                               left.join(QStringLiteral(", "));
        return problem;
    }

    FileSystem& m_files;
    QString m_staging;
    QStringList m_created;
    QList<std::pair<QString, QString>> m_replaced; // target, its backup
    QList<std::pair<QString, QString>> m_placed;   // target, where it was staged
};

// Where an install stages its files: beside the themes root, on its drive
// ("C:\Program Files\Plus!").
QString installStagingParent() {
    QString parent = themesRoot();
    parent.chop(1);
    return parent.left(parent.lastIndexOf(QLatin1Char('\\')));
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

    if (!themesRootExists(files)) {
        plan.problem = failed(QStringLiteral("the themes folder %1 does not exist (on this "
                                             "computer: %2)")
                                  .arg(themesRoot(), themesRootHostPath()));
        return plan;
    }
    for (const PlacedFile& placed : std::as_const(plan.placement.files)) {
        for (qsizetype i = 1; i < placed.target.size(); ++i) {
            const QString folder = windowsPath(placed.target.mid(0, i));
            if (files.fileExists(folder)) {
                plan.problem = refused(
                    QStringLiteral("%1 is a file on drive C where the package needs a folder")
                        .arg(folder));
                return plan;
            }
        }
        const QString path = windowsPath(placed.target);
        if (files.fileExists(path)) {
            plan.existing << path;
            const QString& theme = plan.placement.themes.at(placed.theme).name;
            if (!plan.existingThemes.contains(theme))
                plan.existingThemes << theme;
        } else if (files.directoryExists(path)) {
            plan.problem = refused(
                QStringLiteral("%1 is a folder on drive C where the package has a file").arg(path));
            return plan;
        }
    }
    return plan;
}

InstallResult installPackage(const InstallPlan& plan, FileSystem& files, bool replaceExisting,
                             const PackageLimits& limits) {
    InstallResult result;
    if ((result.problem = plan.problem))
        return result;
    if (!plan.existing.isEmpty() && !replaceExisting) {
        const bool one = plan.existingThemes.size() == 1;
        result.problem = refused(
            (one ? QStringLiteral("the theme %1 is already installed: the package would replace "
                                  "%2 of its files (%3)")
                 : QStringLiteral("the themes %1 are already installed: the package would "
                                  "replace %2 of their files (%3)"))
                .arg(plan.existingThemes.join(QStringLiteral(", ")),
                     QString::number(plan.existing.size()), plan.existing.first()));
        return result;
    }

    // The staging folder sits beside the themes root, on its drive, so that
    // moving a file into place is a rename.
    const Result<QString> parent = hostPath(installStagingParent());
    if (!parent) {
        result.problem = failed(parent.error().text());
        return result;
    }
    QTemporaryDir staging(parent.value() + QStringLiteral("/.paletteer95-install-XXXXXX"));
    if (!staging.isValid()) {
        result.problem = failed(QStringLiteral("no staging folder can be made in %1 (%2)")
                                    .arg(installStagingParent(), staging.errorString()));
        return result;
    }
    Mover mover(files, staging.path());

    QFile file;
    if ((result.problem = openPackage(file, plan.archive)))
        return result;
    QHash<int, QList<int>> placesOf; // entry -> indexes into placement.files
    for (int k = 0; k < plan.placement.files.size(); ++k)
        placesOf[plan.placement.files[k].entry].append(k);
    // The staged files wait unflushed and are made durable together, with
    // one flush, once every one was read.
    FileSystem::Batch batch(files, staging.path());
    QByteArray bytes;
    auto stage = [&](int index, const PackageEntry& entry, QByteArrayView data,
                     bool end) -> std::optional<PackageProblem> {
        if (index >= plan.entries.size() || !sameEntry(plan.entries[index], entry) ||
            entry.size > plan.entries[index].size)
            return failed(changedMessage());
        if (!end) {
            bytes.append(data);
            return std::nullopt;
        }
        if (entry.size != plan.entries[index].size)
            return failed(changedMessage());
        for (const int k : placesOf.value(index)) {
            if (const Status status = files.writeFile(mover.staged(k), bytes); !status.ok())
                return failed(status.error().text());
        }
        bytes.clear();
        return std::nullopt;
    };
    const ArchiveScan scan = scanArchive(ArchiveInput{nullptr, file.handle()}, limits, stage);
    if (scan.problem) {
        result.problem = scan.problem;
        return result;
    }
    bool same = scan.entries.size() == plan.entries.size();
    for (qsizetype i = 0; same && i < scan.entries.size(); ++i)
        same = sameEntry(scan.entries[i], plan.entries[i]);
    if (!same) {
        result.problem = failed(changedMessage());
        return result;
    }
    if (const Status status = batch.commit(); !status.ok()) {
        result.problem = failed(status.error().text());
        return result;
    }

    if ((result.problem = mover.run(plan.placement, replaceExisting)))
        return result;
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
