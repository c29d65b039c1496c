#include "cli/save_command.h"

#include "cli/cli_io.h"
#include "cli/document_json.h"
#include "platform/drive.h"
#include "theme/readme.h"
#include "theme/theme_save.h"

namespace p95::cli {

int saveCommand(const QStringList& args) {
    CommandArgs given;
    if (auto status = parseCommandArgs(
            QStringLiteral("save"), args, {{{QStringLiteral("--skip-missing")}, {}}},
            QStringLiteral("document"), QStringLiteral(" (DOC.json)"), true, given))
        return *status;
    const QString& input = given.operand;
    SaveSettings settings;
    settings.skipMissing = given.flags.contains(QStringLiteral("--skip-missing"));

    const Result<QByteArray> json = readInput(input);
    if (!json)
        return fail(Failed, json.error().text());

    // A data file that cannot be put in place only leaves it out, as in the
    // window; without the directory there is no default ReadMe to save.
    if (auto status = ensureProgramDirectory(); !status.ok()) {
        if (!programDirectoryExists())
            return fail(Failed, status.error().text());
        note(status.error().text());
    }
    FileSystem files;
    // The start-up document holds the default ReadMe, as the window's does.
    ThemeDocument base;
    if (auto readMe = loadDefaultReadMe(files, programDirectory()))
        base.readMe = readMe.value();
    auto doc = documentFromJson(json.value(), base);
    if (!doc)
        return fail(BadInput, QStringLiteral("%1: %2").arg(input, doc.error().reason));

    const SaveResult result = saveTheme(doc.value(), files, settings);
    const auto missingList = [&] {
        return missingFilesText(doc.value(), result.missing, QStringLiteral("; "));
    };
    switch (result.outcome) {
    case SaveOutcome::Saved:
    case SaveOutcome::SavedIncomplete:
        if (!result.missing.isEmpty()) {
            note(QStringLiteral("saved without the missing files: %1").arg(missingList()));
        }
        if (result.outcome == SaveOutcome::SavedIncomplete)
            return fail(Failed,
                        QStringLiteral("the theme was saved, but a step did not complete: %1")
                            .arg(result.status.error().text()));
        break;
    case SaveOutcome::Refused:
        return fail(
            BadInput,
            QStringLiteral("the theme cannot be saved: %1").arg(result.status.error().text()));
    case SaveOutcome::MissingFiles:
        return fail(Failed, QStringLiteral("the theme was not saved: %1 chosen files are missing "
                                           "(save with --skip-missing to leave them out): %2")
                                .arg(result.missing.size())
                                .arg(missingList()));
    case SaveOutcome::NoThemesRoot:
        return fail(Failed, QStringLiteral("the theme was not saved: the themes folder %1 does not "
                                           "exist; create the folder %2 (or set "
                                           "PALETTEER95_DRIVE_C to a drive C that has it)")
                                .arg(toQString(kThemesRoot), themesRootHostPath()));
    case SaveOutcome::Failed:
        return fail(
            Failed,
            QStringLiteral("the theme was not saved: %1").arg(result.status.error().text()));
    }
    return Done;
}

} // namespace p95::cli
