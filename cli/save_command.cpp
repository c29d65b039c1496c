#include "cli/save_command.h"

#include "cli/cli_io.h"
#include "cli/document_json.h"
#include "platform/drive.h"
#include "theme/readme.h"
#include "theme/theme_save.h"

namespace p95::cli {

int saveCommand(const QStringList& args) {
    QString input;
    for (const QString& arg : args) {
        if (arg.startsWith(QLatin1Char('-')) && arg != QStringLiteral("-"))
            return fail(BadInput,
                        QStringLiteral("unknown option %1 (see paletteer95-cli --help)").arg(arg));
        if (!input.isEmpty())
            return fail(BadInput,
                        QStringLiteral("save takes one document (see paletteer95-cli --help)"));
        input = arg;
    }
    if (input.isEmpty())
        return fail(BadInput, QStringLiteral(
                                  "save needs a document (DOC.json) (see paletteer95-cli --help)"));

    QByteArray json;
    QString error;
    if (!readInput(input, json, error))
        return fail(Failed, error);

    if (auto status = ensureProgramDirectory())
        return fail(Failed, status->text());
    FileSystem files;
    // The start-up document holds the default ReadMe, as the window's does.
    ThemeDocument base;
    if (auto readMe = loadDefaultReadMe(files, programDirectory()))
        base.readMe = readMe.value();
    auto doc = documentFromJson(json, base);
    if (!doc)
        return fail(BadInput, QStringLiteral("%1: %2").arg(input, doc.error().reason));

    const SaveResult result = saveTheme(doc.value(), files);
    switch (result.outcome) {
    case SaveOutcome::Saved:
        break;
    case SaveOutcome::Refused:
        return fail(BadInput,
                    QStringLiteral("the theme cannot be saved: %1").arg(result.status->text()));
    case SaveOutcome::Failed:
        return fail(Failed,
                    QStringLiteral("the theme was not saved: %1").arg(result.status->text()));
    }
    return Done;
}

} // namespace p95::cli
