#pragma once

// What the install's handling of any archive bytes must give, shared by the
// fuzz target and the regression test: a refusal with a reason, or entries
// that keep every rule of a package (names Windows can hold below one
// folder, sizes within the limits and equal to the bytes handed over, the
// same entries on a second reading) and a placement in which every name of
// every .theme file that is not reported unfound has its file, no two files
// share a target and every file has one. Returns the first broken rule, or
// an empty string. Nothing touches the disk.

#include "package/archive_reader.h"
#include "package/placement.h"
#include "theme/theme_document.h"
#include "theme/theme_name.h"

#include <QHash>
#include <QSet>

namespace p95::fuzz {

// Small limits keep a run quick; the rules are the same at any size.
inline PackageLimits fuzzPackageLimits() {
    PackageLimits limits;
    limits.entryBytes = qint64(1) << 20;
    limits.themeFileBytes = qint64(64) << 10;
    limits.totalBytes = qint64(4) << 20;
    limits.entries = 2000;
    limits.themes = 64;
    limits.archiveBytes = qint64(1) << 20;
    return limits;
}

inline QString caseFoldedKey(const QStringList& components) {
    return components.join(QLatin1Char('\\')).toCaseFolded();
}

inline QString checkPackage(const QByteArray& bytes) {
    const PackageLimits limits = fuzzPackageLimits();
    QHash<int, QByteArray> themeFiles;
    QHash<int, qint64> handedOver;
    QSet<int> ended;
    int next = 0; // the first index still to come
    QString broken;
    auto collect = [&](int index, const PackageEntry& entry, QByteArrayView data,
                       bool end) -> std::optional<PackageProblem> {
        if (index < next)
            broken = QStringLiteral("bytes of an entry after its end");
        if (end) {
            next = index + 1;
            ended.insert(index);
            if (handedOver.value(index) != entry.size)
                broken = QStringLiteral("an entry's size is not the bytes handed over");
            if (isThemeFileName(entry.components.last()))
                themeFiles[index];
            return std::nullopt;
        }
        handedOver[index] += data.size();
        if (isThemeFileName(entry.components.last()))
            themeFiles[index].append(data);
        return std::nullopt;
    };
    const ArchiveScan scan = scanArchive(ArchiveInput{&bytes, -1}, limits, collect);
    if (!broken.isEmpty())
        return broken;
    if (scan.problem) {
        if (scan.problem->message.isEmpty() || scan.problem->outcome == PackageOutcome::Done)
            return QStringLiteral("a problem without a reason");
        return {};
    }

    // The entries.
    if (scan.entries.size() > limits.entries)
        return QStringLiteral("more entries than the limit");
    qint64 total = 0;
    QHash<QString, bool> kinds; // key -> folder
    for (int i = 0; i < scan.entries.size(); ++i) {
        const PackageEntry& entry = scan.entries[i];
        if (entry.components.isEmpty())
            return QStringLiteral("an entry without a path");
        for (const QString& part : entry.components) {
            if (fileNameProblem(part) || part.contains(QLatin1Char('/')))
                return QStringLiteral("a name Windows cannot hold was let through: ") + entry.name;
        }
        if (entry.directory == ended.contains(i))
            return QStringLiteral("a folder with bytes, or a file without its end");
        if (entry.size > limits.entryBytes)
            return QStringLiteral("an entry over the limit");
        total += entry.size;
        for (qsizetype n = 1; n <= entry.components.size(); ++n) {
            const QString key = caseFoldedKey(entry.components.mid(0, n));
            const bool folder = n < entry.components.size() || entry.directory;
            const auto it = kinds.constFind(key);
            if (it != kinds.constEnd() && (!*it || !folder))
                return QStringLiteral("two entries under one name: ") + entry.name;
            kinds.insert(key, folder);
        }
    }
    if (total > limits.totalBytes)
        return QStringLiteral("more bytes than the limit");

    // A second reading (the install's) sees the same entries.
    const ArchiveScan again = scanArchive(ArchiveInput{&bytes, -1}, limits, {});
    if (again.problem || again.entries.size() != scan.entries.size())
        return QStringLiteral("a second reading differs");
    for (int i = 0; i < scan.entries.size(); ++i) {
        const PackageEntry& a = scan.entries[i];
        const PackageEntry& b = again.entries[i];
        if (a.name != b.name || a.components != b.components || a.size != b.size ||
            a.directory != b.directory)
            return QStringLiteral("a second reading differs at ") + a.name;
    }

    // The placement.
    const Placement placement = placePackage(scan.entries, themeFiles, limits);
    if (placement.problem) {
        if (placement.problem->message.isEmpty() ||
            placement.problem->outcome != PackageOutcome::Refused)
            return QStringLiteral("a placement refused without a reason");
        return {};
    }
    if (placement.themes.isEmpty() || placement.themes.size() > limits.themes)
        return QStringLiteral("a placement without themes, or with too many");
    QHash<QString, int> targets; // key -> entry
    QSet<QString> folders;
    QSet<int> placedEntries;
    for (const PlacedFile& file : placement.files) {
        if (file.target.isEmpty() || file.theme < 0 || file.theme >= placement.themes.size())
            return QStringLiteral("a placed file without a target or theme");
        for (const QString& part : file.target) {
            if (fileNameProblem(part))
                return QStringLiteral("a target Windows cannot hold: ") + joinedPath(file.target);
        }
        if (toQString(kThemesRoot).size() + joinedPath(file.target).size() > kMaxWindowsPath)
            return QStringLiteral("a target longer than Windows opens");
        const QString key = caseFoldedKey(file.target);
        if (targets.contains(key) || folders.contains(key))
            return QStringLiteral("two files for one target: ") + joinedPath(file.target);
        targets.insert(key, file.entry);
        for (qsizetype n = 1; n < file.target.size(); ++n)
            folders.insert(caseFoldedKey(file.target.mid(0, n)));
        placedEntries.insert(file.entry);
    }
    for (const QString& key : std::as_const(folders)) {
        if (targets.contains(key))
            return QStringLiteral("a target that is also a folder: ") + key;
    }
    for (int i = 0; i < scan.entries.size(); ++i) {
        if (!scan.entries[i].directory && !placedEntries.contains(i))
            return QStringLiteral("a file left out: ") + scan.entries[i].name;
    }
    for (const PlacedTheme& theme : placement.themes) {
        if (targets.value(caseFoldedKey(theme.target), -1) != theme.entry ||
            theme.target.last() != scan.entries[theme.entry].components.last())
            return QStringLiteral("a theme file not at its own target");
        QSet<QString> unfound(theme.unfound.begin(), theme.unfound.end());
        for (const ThemeDirName& name : themeDirNames(themeFiles.value(theme.entry))) {
            const bool reported = unfound.remove(name.written);
            if (!reported && !targets.contains(caseFoldedKey(name.components)))
                return QStringLiteral("a name neither found nor reported: ") + name.written;
        }
        if (!unfound.isEmpty())
            return QStringLiteral("an unfound name the theme does not have");
    }
    return {};
}

} // namespace p95::fuzz
