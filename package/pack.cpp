#include "package/pack.h"

#include "package/archive_locale.h"
#include "package/placement.h"
#include "platform/drive.h"
#include "theme/theme_document.h"
#include "theme/theme_name.h"
#include "theme/theme_reader.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>
#include <QStringEncoder>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <memory>

namespace p95 {

using archive_support::libarchiveError;
using archive_support::ThreadLocale;

namespace {

struct WriteFree {
    void operator()(archive* a) const { archive_write_free(a); }
};
struct EntryFree {
    void operator()(archive_entry* e) const { archive_entry_free(e); }
};

la_ssize_t appendBytes(archive*, void* client, const void* buffer, size_t length) {
    static_cast<QByteArray*>(client)->append(static_cast<const char*>(buffer), qsizetype(length));
    return la_ssize_t(length);
}

QByteArray codePage437(const QString& name) {
    QStringEncoder encoder("IBM437");
    QByteArray bytes = encoder.encode(name);
    return encoder.hasError() ? QByteArray() : bytes;
}

struct Item {
    QString path; // "Ocean/Sounds/x.wav", "/" between components
    QString host;
    bool directory = false;
    qint64 mtime = 0;
};

} // namespace

PackResult packTheme(const QString& themeName, const QString& archivePath, FileSystem& files,
                     const PackageLimits& limits) {
    PackResult result;
    if (const auto problem = fileNameProblem(themeName)) {
        result.problem =
            refused(QStringLiteral("\"%1\" cannot be a theme name: %2").arg(themeName, *problem));
        return result;
    }
    const QString directory = themeDirectory(themeName);
    const QString themeFile = themeFilePath(themeName);
    if (!files.directoryExists(directory) || !files.fileExists(themeFile)) {
        result.problem = refused(QStringLiteral("the theme %1 does not exist (there is no %2)")
                                     .arg(themeName, themeFile));
        return result;
    }
    const Result<QByteArray> themeBytes = readThemeFile(files, themeFile);
    if (!themeBytes) {
        result.problem = failed(unreadableThemeMessage(themeFile, themeBytes.error()));
        return result;
    }
    const Result<QString> hostDirectory = hostPath(directory);
    const Result<QString> hostThemeFile = hostPath(themeFile);
    if (!hostDirectory || !hostThemeFile) {
        result.problem =
            failed((hostDirectory ? hostThemeFile.error() : hostDirectory.error()).text());
        return result;
    }
    // The folder's name as it is on the disk, whatever case the user typed.
    const QString folder = QFileInfo(hostDirectory.value()).fileName();

    QList<Item> items{{folder, hostDirectory.value(), true,
                       QFileInfo(hostDirectory.value()).lastModified().toSecsSinceEpoch()}};
    QStringList refusedNames;
    QSet<QString> have; // case-folded paths below the folder
    qint64 total = 0;
    const QDir top(hostDirectory.value());
    QDirIterator it(hostDirectory.value(),
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString relative = top.relativeFilePath(info.filePath());
        const QString shown = directory + QLatin1Char('\\') +
                              QString(relative).replace(QLatin1Char('/'), QLatin1Char('\\'));
        if (info.isSymLink() || !(info.isFile() || info.isDir())) {
            refusedNames << shown + QStringLiteral(" (not a file or a folder)");
            continue;
        }
        for (const QString& part : relative.split(QLatin1Char('/'))) {
            if (const auto problem = fileNameProblem(part)) {
                refusedNames << shown + QStringLiteral(" (%1)").arg(*problem);
                break;
            }
        }
        if (info.isFile()) {
            if (info.size() > limits.entryBytes)
                refusedNames << shown +
                                    QStringLiteral(" (larger than %1)").arg(mib(limits.entryBytes));
            total += info.size();
            have.insert(pathKey(relative.split(QLatin1Char('/'))));
        }
        items.append({folder + QLatin1Char('/') + relative, info.filePath(), info.isDir(),
                      info.lastModified().toSecsSinceEpoch()});
    }
    if (!refusedNames.isEmpty()) {
        result.problem = refused(QStringLiteral("the theme %1 holds what a package cannot: %2")
                                     .arg(themeName, refusedNames.join(QStringLiteral(", "))));
        return result;
    }
    // Everything is read into memory before the install's rules are checked
    // on the zip: what is too large is refused before it is read.
    if (total > limits.totalBytes) {
        result.problem = refused(QStringLiteral("the theme %1 is larger than a package may be (%2)")
                                     .arg(themeName, mib(limits.totalBytes)));
        return result;
    }

    // Every %ThemeDir% name must find its file in this directory.
    for (const ThemeDirName& name : themeDirNames(themeBytes.value())) {
        const QStringList& parts = name.components;
        const bool inFolder =
            parts.size() >= 2 && parts.first().toCaseFolded() == folder.toCaseFolded();
        if (!inFolder || !have.contains(pathKey(parts.mid(1))))
            result.missing << name.written;
    }
    if (!result.missing.isEmpty()) {
        result.problem =
            refused(QStringLiteral("the theme %1 names files that are not in %2: %3")
                        .arg(themeName, directory, result.missing.join(QStringLiteral(", "))));
        return result;
    }

    std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
        const int byName = a.path.compare(b.path, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a.path < b.path;
    });

    ThreadLocale locale(ThreadLocale::Utf8);
    if (!locale.ok()) {
        result.problem = failed(QStringLiteral("the C library has no C.UTF-8 locale for names"));
        return result;
    }
    QByteArray zip;
    std::unique_ptr<archive, WriteFree> a(archive_write_new());
    // A zip ends with its directory: no padding after it.
    if (!a || archive_write_set_format_zip(a.get()) != ARCHIVE_OK ||
        archive_write_set_bytes_in_last_block(a.get(), 1) != ARCHIVE_OK ||
        archive_write_open(a.get(), &zip, nullptr, appendBytes, nullptr) != ARCHIVE_OK) {
        result.problem = failed(QStringLiteral("the zip archive cannot be started: ") +
                                (a ? libarchiveError(a.get()) : QStringLiteral("out of memory")));
        return result;
    }
    for (const Item& item : std::as_const(items)) {
        const QString name = item.directory ? item.path + QLatin1Char('/') : item.path;
        QByteArray data;
        if (item.host == hostThemeFile.value()) {
            data = themeBytes.value(); // read already
        } else if (!item.directory) {
            Result<QByteArray> bytes = files.readFile(item.host, limits.entryBytes);
            if (!bytes) {
                result.problem = failed(bytes.error().text());
                return result;
            }
            data = bytes.value();
        }
        // libarchive marks a name UTF-8 exactly when the thread's locale is:
        // code page 437 bytes are written under the plain C locale.
        const QByteArray cp437 = codePage437(name);
        locale.use(cp437.isEmpty() ? ThreadLocale::Utf8 : ThreadLocale::Bytes);
        std::unique_ptr<archive_entry, EntryFree> entry(archive_entry_new());
        archive_entry_set_pathname(entry.get(),
                                   (cp437.isEmpty() ? name.toUtf8() : cp437).constData());
        archive_entry_set_filetype(entry.get(), item.directory ? AE_IFDIR : AE_IFREG);
        archive_entry_set_perm(entry.get(), item.directory ? 0755 : 0644);
        archive_entry_set_size(entry.get(), data.size());
        archive_entry_set_mtime(entry.get(), time_t(item.mtime), 0);
        const int written = archive_write_header(a.get(), entry.get());
        locale.use(ThreadLocale::Utf8);
        if (written != ARCHIVE_OK ||
            (!data.isEmpty() &&
             archive_write_data(a.get(), data.constData(), size_t(data.size())) !=
                 la_ssize_t(data.size()))) {
            result.problem = failed(
                QStringLiteral("%1 cannot be packed: %2").arg(item.host, libarchiveError(a.get())));
            return result;
        }
        if (!item.directory)
            ++result.files;
    }
    if (archive_write_close(a.get()) != ARCHIVE_OK) {
        result.problem = failed(QStringLiteral("the zip archive cannot be finished: ") +
                                libarchiveError(a.get()));
        return result;
    }
    // The install's own rules, on the zip as it will be written: what pack
    // cannot see in the folder (two names one letter case apart, a .theme
    // file larger than an install takes) is refused here, not by the
    // receiver.
    const ArchiveScan scan = scanArchive(ArchiveInput{&zip, -1}, limits, {});
    if (scan.problem) {
        result.problem = PackageProblem{
            scan.problem->outcome,
            QStringLiteral("the theme %1 would make a package the install refuses: %2")
                .arg(themeName, scan.problem->message)};
        return result;
    }
    if (const Status status = files.writeFile(archivePath, zip); !status.ok())
        result.problem = failed(status.error().text());
    return result;
}

} // namespace p95
