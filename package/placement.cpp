#include "package/placement.h"

#include "package/path_tree.h"

#include "platform/picture_probe.h"
#include "theme/theme_document.h"
#include "theme/theme_name.h"
#include "theme/theme_reader.h"

#include <QSet>

namespace p95 {

namespace {

// The reader takes a picture's path only when the picture loads; here every
// path counts, since the files are still in the archive.
class AcceptingProbe : public PictureProbe {
public:
    Status probe(const QString&) const override { return {}; }
};

QString fold(const QString& text) {
    return text.toCaseFolded();
}

bool sameName(const QString& a, const QString& b) {
    return fold(a) == fold(b);
}

bool startsWith(const QStringList& list, const QStringList& prefix) {
    if (prefix.size() > list.size())
        return false;
    for (qsizetype i = 0; i < prefix.size(); ++i) {
        if (!sameName(list[i], prefix[i]))
            return false;
    }
    return true;
}

qsizetype commonPrefix(const QStringList& a, const QStringList& b) {
    qsizetype n = 0;
    while (n < a.size() && n < b.size() && sameName(a[n], b[n]))
        ++n;
    return n;
}

qsizetype commonSuffix(const QStringList& a, const QStringList& b) {
    qsizetype n = 0;
    while (n < a.size() && n < b.size() && sameName(a[a.size() - 1 - n], b[b.size() - 1 - n]))
        ++n;
    return n;
}

bool windowsPathFits(const QStringList& target) {
    return toQString(kThemesRoot).size() + joinedPath(target).size() <= kMaxWindowsPath;
}

// Bounds on the folder pairs tried for one theme and on the files of one
// name looked at, so that a package made to hold thousands of equal file
// names still places quickly.
constexpr int kMaxAnchors = 512;
constexpr int kMaxSameNames = 1024;

struct File {
    int entry = -1;
    QStringList components;
    QStringList folder;
};

struct Theme {
    int file = -1; // index into m_files
    QString name;
    QList<ThemeDirName> wanted;
    QStringList archiveFolder; // A: this folder of the archive...
    QStringList targetFolder;  // B: ...goes here below the themes root
    QStringList target;        // the .theme file's own place
    QStringList unfound;
};

class Placer {
public:
    Placer(const QList<PackageEntry>& entries, const QHash<int, QByteArray>& themeFiles,
           const PackageLimits& limits)
        : m_entries(entries), m_themeFiles(themeFiles), m_limits(limits) {}

    Placement run() {
        for (int i = 0; i < m_entries.size(); ++i) {
            const PackageEntry& entry = m_entries[i];
            if (entry.directory)
                continue;
            File file{i, entry.components, entry.components.mid(0, entry.components.size() - 1)};
            m_byKey.insert(pathKey(file.components), int(m_files.size()));
            m_byName[fold(file.components.last())].append(int(m_files.size()));
            m_files.append(file);
            const QString& last = file.components.last();
            if (isThemeFileName(last) && last.size() > 6)
                m_themes.append(
                    Theme{int(m_files.size()) - 1, last.chopped(6), {}, {}, {}, {}, {}});
        }
        if (m_themes.isEmpty())
            return refuse(QStringLiteral("the package holds no .theme file"));
        if (m_themes.size() > m_limits.themes)
            return refuse(
                QStringLiteral("the package holds more than %1 .theme files").arg(m_limits.themes));

        for (Theme& theme : m_themes) {
            theme.wanted = themeDirNames(m_themeFiles.value(m_files[theme.file].entry));
            chooseAnchor(theme);
        }
        QSet<int> placed;
        for (int t = 0; t < m_themes.size(); ++t) {
            const Theme& theme = m_themes[t];
            placed.insert(theme.file);
            const File& file = m_files[theme.file];
            switch (claim(file.entry, theme.target, t)) {
            case Claim::Placed:
            case Claim::AlreadyThere:
                break;
            case Claim::TooLong:
                return refuse(tooLong(file, theme.target));
            case Claim::Taken:
            case Claim::Clash:
                return refuse(QStringLiteral("the theme file \"%1\" would be installed where "
                                             "another file of the package goes (%2)")
                                  .arg(m_entries[file.entry].name, joinedPath(theme.target)));
            }
        }
        for (int t = 0; t < m_themes.size(); ++t)
            placeNames(t, placed);
        for (int f = 0; f < m_files.size(); ++f) {
            if (placed.contains(f))
                continue;
            if (auto problem = placeBeside(m_files[f]))
                return refuse(*problem);
        }

        for (const Theme& theme : m_themes)
            m_out.themes.append(
                PlacedTheme{m_files[theme.file].entry, theme.name, theme.target, theme.unfound});
        return std::move(m_out);
    }

private:
    enum class Claim { Placed, AlreadyThere, Taken, Clash, TooLong };

    Placement refuse(const QString& message) {
        Placement out;
        out.problem = PackageProblem{PackageOutcome::Refused, message};
        return out;
    }

    QString tooLong(const File& file, const QStringList& target) const {
        return QStringLiteral("the entry \"%1\" would be installed as a path longer than Windows "
                              "can open (%2%3)")
            .arg(m_entries[file.entry].name, toQString(kThemesRoot), joinedPath(target));
    }

    // One name below the themes root for one entry: no two entries share a
    // name, and no name is both a file and a folder.
    Claim claim(int entry, const QStringList& target, int theme) {
        if (!windowsPathFits(target))
            return Claim::TooLong;
        int node = PathTree::kRoot;
        QList<int> folders; // the folders the target lies in
        for (qsizetype i = 0; i + 1 < target.size(); ++i) {
            node = m_tree.child(node, target[i]);
            if (m_claims.contains(node))
                return Claim::Clash;
            folders << node;
        }
        node = m_tree.child(node, target.last());
        const auto it = m_claims.constFind(node);
        if (it != m_claims.constEnd())
            return *it == entry ? Claim::AlreadyThere : Claim::Taken;
        if (m_folders.contains(node))
            return Claim::Clash;
        for (const int folder : std::as_const(folders))
            m_folders.insert(folder);
        m_claims.insert(node, entry);
        m_out.files.append(PlacedFile{entry, target, theme});
        return Claim::Placed;
    }

    // The file below archive folder a for name w, when target folder b
    // starts w; -1 when there is none.
    int fileFor(const ThemeDirName& w, const QStringList& a, const QStringList& b) const {
        if (w.components.isEmpty() || !startsWith(w.components, b))
            return -1;
        return m_byKey.value(pathKey(a + w.components.mid(b.size())), -1);
    }

    // The folder pair that finds the most names; among equals one that holds
    // the .theme file, then the deepest archive folder (so that what no name
    // reaches stays near the theme), then the shallowest target.
    void chooseAnchor(Theme& theme) {
        const File& themeFile = m_files[theme.file];
        struct Anchor {
            QStringList a;
            QStringList b;
        };
        QList<Anchor> anchors;
        QSet<QString> seen;
        for (const ThemeDirName& w : std::as_const(theme.wanted)) {
            if (w.components.isEmpty())
                continue;
            const QList<int> same = m_byName.value(fold(w.components.last()));
            for (const int f : same.mid(0, kMaxSameNames)) {
                const QStringList& have = m_files[f].components;
                const qsizetype common = commonSuffix(have, w.components);
                for (qsizetype j = 1; j <= common && anchors.size() < kMaxAnchors; ++j) {
                    Anchor anchor{have.mid(0, have.size() - j),
                                  w.components.mid(0, w.components.size() - j)};
                    const QString key = pathKey(anchor.a) + QLatin1Char('|') + pathKey(anchor.b);
                    if (!seen.contains(key)) {
                        seen.insert(key);
                        anchors.append(anchor);
                    }
                }
            }
        }

        int bestScore = -1;
        auto better = [&](const Anchor& x, int score, const Anchor& y) {
            if (score != bestScore)
                return score > bestScore;
            const bool xHolds = startsWith(themeFile.folder, x.a);
            const bool yHolds = startsWith(themeFile.folder, y.a);
            if (xHolds != yHolds)
                return xHolds;
            if (x.a.size() != y.a.size())
                return x.a.size() > y.a.size();
            return x.b.size() < y.b.size();
        };
        Anchor best;
        for (const Anchor& anchor : std::as_const(anchors)) {
            int score = 0;
            for (const ThemeDirName& w : std::as_const(theme.wanted))
                score += fileFor(w, anchor.a, anchor.b) >= 0 ? 1 : 0;
            if (bestScore < 0 || better(anchor, score, best)) {
                best = anchor;
                bestScore = score;
            }
        }
        if (bestScore < 0) {
            // Nothing to go by: the theme's own folder, as this program lays it out.
            best.a = themeFile.folder;
            best.b = fileNameProblem(theme.name) ? QStringList() : QStringList{theme.name};
        }
        theme.archiveFolder = best.a;
        theme.targetFolder = best.b;
        theme.target = best.b;
        if (startsWith(themeFile.folder, best.a))
            theme.target += themeFile.folder.mid(best.a.size());
        theme.target << themeFile.components.last();
    }

    // Every name of the theme to the file that answers it: the one the
    // folder pair gives, else the file of that name nearest to it.
    void placeNames(int t, QSet<int>& placed) {
        Theme& theme = m_themes[t];
        const File& themeFile = m_files[theme.file];
        for (const ThemeDirName& w : std::as_const(theme.wanted)) {
            bool found = false;
            const int f = fileFor(w, theme.archiveFolder, theme.targetFolder);
            if (f >= 0) {
                const QStringList target =
                    theme.targetFolder + m_files[f].components.mid(theme.archiveFolder.size());
                found = isPlaced(claim(m_files[f].entry, target, t));
                if (found)
                    placed.insert(f);
            }
            if (!found && !w.components.isEmpty()) {
                int bestFile = -1;
                qsizetype bestSuffix = -1;
                qsizetype bestPrefix = -1;
                const QList<int> same = m_byName.value(fold(w.components.last()));
                for (const int g : same.mid(0, kMaxSameNames)) {
                    const qsizetype suffix = commonSuffix(m_files[g].components, w.components);
                    const qsizetype prefix = commonPrefix(m_files[g].folder, themeFile.folder);
                    if (suffix > bestSuffix || (suffix == bestSuffix && prefix > bestPrefix)) {
                        bestFile = g;
                        bestSuffix = suffix;
                        bestPrefix = prefix;
                    }
                }
                if (bestFile >= 0) {
                    found = isPlaced(claim(m_files[bestFile].entry, w.components, t));
                    if (found)
                        placed.insert(bestFile);
                }
            }
            if (!found)
                theme.unfound << w.written;
        }
    }

    static bool isPlaced(Claim claim) {
        return claim == Claim::Placed || claim == Claim::AlreadyThere;
    }

    // A file no name reaches: beside the theme nearest to it in the archive.
    std::optional<QString> placeBeside(const File& file) {
        const Theme* nearest = nullptr;
        qsizetype nearestPrefix = -1;
        bool nearestNamed = false;
        for (const Theme& theme : std::as_const(m_themes)) {
            const qsizetype prefix = commonPrefix(file.folder, m_files[theme.file].folder);
            const bool named = fold(file.components.last()).startsWith(fold(theme.name));
            if (prefix > nearestPrefix || (prefix == nearestPrefix && named && !nearestNamed)) {
                nearest = &theme;
                nearestPrefix = prefix;
                nearestNamed = named;
            }
        }
        const Theme& theme = *nearest;
        const int t = int(nearest - m_themes.constData());
        const QStringList& themeFolder = m_files[theme.file].folder;
        QStringList rest;
        QStringList target;
        if (startsWith(file.components, theme.archiveFolder)) {
            rest = file.components.mid(theme.archiveFolder.size());
            target = theme.targetFolder + rest;
        } else {
            rest = file.components.mid(commonPrefix(file.folder, themeFolder));
            target = theme.target.mid(0, theme.target.size() - 1) + rest;
        }
        Claim result = claim(file.entry, target, t);
        if (result == Claim::Taken || result == Claim::Clash) {
            if (!fileNameProblem(theme.name))
                result = claim(file.entry, QStringList{theme.name} + rest, t);
        }
        switch (result) {
        case Claim::Placed:
        case Claim::AlreadyThere:
            return std::nullopt;
        case Claim::TooLong:
            return tooLong(file, target);
        case Claim::Taken:
        case Claim::Clash:
            break;
        }
        return QStringLiteral("the entry \"%1\" would be installed where another file of the "
                              "package goes (%2)")
            .arg(m_entries[file.entry].name, joinedPath(target));
    }

    const QList<PackageEntry>& m_entries;
    const QHash<int, QByteArray>& m_themeFiles;
    const PackageLimits& m_limits;
    QList<File> m_files;
    QHash<QString, int> m_byKey;         // case-folded path -> file
    QHash<QString, QList<int>> m_byName; // case-folded file name -> files
    QList<Theme> m_themes;
    PathTree m_tree;          // the targets below the themes root, letter case ignored
    QHash<int, int> m_claims; // target node -> entry
    QSet<int> m_folders;      // nodes of the folders the targets need
    Placement m_out;
};

} // namespace

QList<ThemeDirName> themeDirNames(const QByteArray& themeFileBytes) {
    const AcceptingProbe probe;
    const ThemeReading reading = readTheme(ThemeDocument(), themeFileBytes, probe);
    // The reader puts the themes root itself in front of a %ThemeDir% name.
    const QString root = toQString(kThemesRoot);
    QList<ThemeDirName> names;
    QSet<QString> seen;
    for (const SlotRef slot : copyOrder()) {
        const QString& path = reading.document.path(slot);
        if (!path.startsWith(root))
            continue;
        ThemeDirName name;
        name.written = path.mid(root.size());
        QStringList components;
        bool usable = true;
        for (const QString& part : name.written.split(QLatin1Char('\\'))) {
            for (const QString& piece : part.split(QLatin1Char('/'))) {
                if (piece.isEmpty() || piece == QStringLiteral("."))
                    continue;
                if (piece == QStringLiteral("..")) {
                    usable = usable && !components.isEmpty();
                    if (!components.isEmpty())
                        components.removeLast();
                    continue;
                }
                usable = usable && !fileNameProblem(piece);
                components << piece;
            }
        }
        if (usable)
            name.components = components;
        const QString key =
            name.components.isEmpty() ? QLatin1Char('?') + fold(name.written) : pathKey(components);
        if (seen.contains(key))
            continue;
        seen.insert(key);
        names.append(name);
    }
    return names;
}

Placement placePackage(const QList<PackageEntry>& entries, const QHash<int, QByteArray>& themeFiles,
                       const PackageLimits& limits) {
    return Placer(entries, themeFiles, limits).run();
}

} // namespace p95
