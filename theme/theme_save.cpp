#include "theme/theme_save.h"

#include "theme/get_colors.h"
#include "theme/readme.h"
#include "theme/save_lock.h"
#include "theme/theme_name.h"
#include "theme/theme_writer.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <memory>
#include <optional>

namespace p95 {

namespace {

Error atStep(const QString& step, Error error) {
    error.step = step;
    return error;
}

// Empties and removes both scratch folders. Deleting the files of an empty
// scratch folder finds nothing, which is no failure here.
Status removeScratch(FileSystem& files, const QString& programDirectory) {
    const QString step = QStringLiteral("Removing the scratch folder");
    const QString scratch = scratchFolder(programDirectory);
    if (auto status = files.deleteFiles(scratch + QStringLiteral("\\*.*"));
        !status.ok() && !isFileNotFound(status.error()))
        return atStep(step, status.error());
    if (auto status = files.removeDirectory(scratch); !status.ok())
        return atStep(step, status.error());
    if (auto status = files.removeDirectory(scratchParentFolder(programDirectory)); !status.ok())
        return atStep(step, status.error());
    return {};
}

// A scratch folder left by an earlier failed save is emptied and reused:
// refusing it would end every later save.
Status makeScratch(FileSystem& files, const QString& programDirectory) {
    const QString step = QStringLiteral("Creating the scratch folder");
    const QString parent = scratchParentFolder(programDirectory);
    const QString scratch = scratchFolder(programDirectory);
    if (!files.directoryExists(parent)) {
        if (auto status = files.makeDirectory(parent); !status.ok())
            return atStep(step, status.error());
    }
    if (!files.directoryExists(scratch)) {
        if (auto status = files.makeDirectory(scratch); !status.ok())
            return atStep(step, status.error());
        return {};
    }
    if (auto status = files.deleteFiles(scratch + QStringLiteral("\\*.*"));
        !status.ok() && !isFileNotFound(status.error()))
        return atStep(step, status.error());
    return {};
}

struct CopyFailure {
    Error error;
    bool missingFile = false;
};

QString scratchCopyPath(const ThemeDocument& doc, SlotRef slot, const QString& programDirectory) {
    return scratchFolder(programDirectory) + QLatin1Char('\\') + doc.name + QLatin1Char(' ') +
           slotCaption(slot) + scratchExtension(doc, slot);
}

// Every chosen file goes into the scratch folder before any goes on into the
// theme directory: a slot may name a file of the theme directory that an
// earlier slot's copy would replace (two pointers exchanged, one file in
// several slots, a slot naming its own standard file).
std::optional<CopyFailure> copyChosenFiles(FileSystem& files, const ThemeDocument& doc,
                                           const QString& programDirectory) {
    const QString themeDir = themeDirectory(doc.name) + QLatin1Char('\\');
    for (SlotRef slot : copyOrder()) {
        if (doc.isEmpty(slot))
            continue;
        const QString& chosen = doc.path(slot);
        if (auto status = files.copyFile(chosen, scratchCopyPath(doc, slot, programDirectory));
            !status.ok()) {
            // A path on a drive that does not exist names a file that does not either.
            const bool missing = isFileNotFound(status.error()) || !hostPath(chosen).ok();
            return CopyFailure{atStep(QStringLiteral("Copying a chosen file"), status.error()),
                               missing};
        }
    }
    for (SlotRef slot : copyOrder()) {
        if (doc.isEmpty(slot))
            continue;
        if (auto status = files.copyFile(scratchCopyPath(doc, slot, programDirectory),
                                         themeDir + standardFileName(doc, slot));
            !status.ok())
            return CopyFailure{
                atStep(QStringLiteral("Copying into the theme directory"), status.error())};
    }
    return std::nullopt;
}

} // namespace

QList<SlotRef> missingFiles(const ThemeDocument& doc, const FileSystem& files) {
    QList<SlotRef> missing;
    for (SlotRef slot : copyOrder()) {
        if (!doc.isEmpty(slot) && !files.fileExists(doc.path(slot)))
            missing.append(slot);
    }
    return missing;
}

QString missingFilesText(const ThemeDocument& doc, const QList<SlotRef>& missing,
                         const QString& separator) {
    QStringList lines;
    for (SlotRef slot : missing)
        lines << slotCaption(slot) + QStringLiteral(": ") + doc.path(slot);
    return lines.join(separator);
}

bool themesRootExists(const FileSystem& files) {
    return files.directoryExists(toQString(kThemesRoot));
}

QString themesRootHostPath() {
    auto host = hostPath(toQString(kThemesRoot));
    return host ? QDir::toNativeSeparators(host.value()) : QString();
}

Status createThemesRoot(FileSystem& files) {
    // "C:\Program Files", "C:\Program Files\Plus!", "C:\Program Files\Plus!\Themes"
    const QString root = toQString(kThemesRoot);
    for (qsizetype at = root.indexOf(QLatin1Char('\\'), 3); at >= 0;
         at = root.indexOf(QLatin1Char('\\'), at + 1)) {
        const QString folder = root.left(at);
        if (files.directoryExists(folder + QLatin1Char('\\')))
            continue;
        if (auto status = files.makeDirectory(folder); !status.ok())
            return atStep(QStringLiteral("Creating the themes folder"), status.error());
    }
    return {};
}

QString scratchParentFolder(const QString& programDirectory) {
    return programDirectory + QStringLiteral("\\AAAAAA");
}

QString scratchFolder(const QString& programDirectory) {
    return scratchParentFolder(programDirectory) + QStringLiteral("\\zzzzzz");
}

SaveResult saveTheme(const ThemeDocument& original, FileSystem& files,
                     const SaveSettings& settings) {
    SaveResult result{original, SaveOutcome::Saved, {}, {}};
    ThemeDocument& doc = result.document;
    const QString& programDir = settings.programDirectory;
    auto refuse = [&](Error error) {
        result.outcome = SaveOutcome::Refused;
        result.status = std::move(error);
        return result;
    };
    auto fail = [&](Error error) {
        result.outcome = SaveOutcome::Failed;
        if (result.status.ok())
            result.status = std::move(error);
    };

    // Nothing touches the disk for a name the theme could not be saved or read under.
    if (const Status named = checkThemeName(doc.name); !named.ok())
        return refuse(named.error());

    // A theme whose files are gone would fail at its first missing file after
    // copying the earlier ones: find them all before anything is written.
    if (!themesRootExists(files)) {
        result.outcome = SaveOutcome::NoThemesRoot;
        result.status = Error{QStringLiteral("Checking the themes folder"), toQString(kThemesRoot),
                              QStringLiteral("the folder does not exist; on this computer it is "
                                             "%1")
                                  .arg(themesRootHostPath())};
        return result;
    }
    result.missing = missingFiles(doc, files);
    if (!result.missing.isEmpty()) {
        if (!settings.skipMissing) {
            result.outcome = SaveOutcome::MissingFiles;
            result.status =
                Error{QStringLiteral("Checking the chosen files"),
                      {},
                      QStringLiteral("%1 of them are missing").arg(result.missing.size())};
            return result;
        }
        for (SlotRef slot : std::as_const(result.missing))
            doc.path(slot).clear();
    }

    SaveLock lock;
    if (auto status = lock.acquire(files, programDir, settings.lockWaitMs,
                                   QStringLiteral("Starting the save"));
        !status.ok()) {
        fail(status.error());
        return result;
    }

    // Prepare. A missing default ReadMe keeps the text the document has.
    GetColors(doc);
    if (auto readMe = loadDefaultReadMe(files, programDir))
        doc.readMe = readMe.value();

    // Texts that cannot be written are found before anything is written.
    auto themeBytes = themeFileBytes(doc);
    if (!themeBytes) {
        return refuse(Error{QStringLiteral("Writing the theme file"), themeFilePath(doc.name),
                            themeBytes.error().reason});
    }
    if (doc.includeReadMe) {
        if (auto bytes = plainTextBytes(doc.readMe); !bytes) {
            return refuse(Error{QStringLiteral("Writing the ReadMe file"),
                                themeReadMePath(doc.name), bytes.error().reason});
        }
    }

    const QString themeDir = themeDirectory(doc.name);
    // Every file written into the theme directory waits, unflushed, beside
    // its target; one flush at the end makes them all durable, then they
    // take their names in the order they were written.
    std::optional<FileSystem::Batch> batch;
    auto steps = [&]() -> Status {
        if (!files.directoryExists(themeDir + QLatin1Char('\\'))) {
            if (auto status = files.makeDirectory(themeDir); !status.ok())
                return atStep(QStringLiteral("Creating the theme directory"), status.error());
        }
        // What an earlier save, killed, left; one that stays does no harm.
        static_cast<void>(files.removeTemporaryFiles(themeDir));
        if (auto status = makeScratch(files, programDir); !status.ok())
            return status;
        batch.emplace(files, themeDir);
        if (auto failure = copyChosenFiles(files, doc, programDir)) {
            // The missing file is what the user hears of; a scratch folder
            // left over is removed by the next save.
            if (failure->missingFile)
                (void)removeScratch(files, programDir);
            return failure->error;
        }
        if (auto status = files.writeFile(themeFilePath(doc.name), themeBytes.value());
            !status.ok())
            return atStep(QStringLiteral("Writing the theme file"), status.error());
        return {};
    };
    if (auto status = steps(); !status.ok()) {
        fail(status.error());
    } else if (auto cleanUp = removeScratch(files, programDir); !cleanUp.ok()) {
        // The theme is whole; only the clean-up did not complete.
        result.outcome = SaveOutcome::SavedIncomplete;
        result.status = cleanUp.error();
    }

    // ReadMe, after a failure too, wherever there is a theme directory to hold it.
    if (result.outcome != SaveOutcome::Failed ||
        files.directoryExists(themeDir + QLatin1Char('\\'))) {
        if (auto status = GenerateReadMe(files, doc); !status.ok()) {
            if (result.outcome == SaveOutcome::Saved)
                result.outcome = SaveOutcome::SavedIncomplete;
            if (result.status.ok())
                result.status = status.error();
        }
    }

    // What was written takes its place: the copies and the .theme file that
    // were completed, and ReadMe.txt.
    if (batch) {
        if (auto status = batch->commit(); !status.ok()) {
            if (status.error().file == themeReadMePath(doc.name) &&
                result.outcome != SaveOutcome::Failed) {
                // Everything before it is in place: the theme is whole.
                result.outcome = SaveOutcome::SavedIncomplete;
                if (result.status.ok())
                    result.status =
                        atStep(QStringLiteral("Writing the ReadMe file"), status.error());
            } else {
                if (result.outcome != SaveOutcome::Failed)
                    result.status = status.error();
                result.outcome = SaveOutcome::Failed;
            }
        }
    }
    return result;
}

} // namespace p95
