#include "cli/read_command.h"

#include "cli/cli_io.h"
#include "cli/document_json.h"
#include "platform/drive.h"
#include "platform/file_system.h"
#include "platform/qt_picture_probe.h"
#include "theme/readme.h"
#include "theme/theme_reader.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace p95::cli {

namespace {

int usage(const QString& problem) {
    return fail(BadInput, problem + QStringLiteral(" (see paletteer95-cli --help)"));
}

// The start-up document: the window loads the user's default ReadMe into it.
// Reading needs nothing written, so a program directory that cannot be made
// only leaves the ReadMe empty.
ThemeDocument startUpDocument() {
    ThemeDocument doc;
    if (!ensureProgramDirectory()) {
        FileSystem files;
        if (auto readMe = loadDefaultReadMe(files, programDirectory()))
            doc.readMe = readMe.value();
    }
    return doc;
}

} // namespace

int readCommand(const QStringList& args) {
    QString themeFile;
    QString into;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QStringLiteral("--into")) {
            if (i + 1 >= args.size())
                return usage(QStringLiteral("--into needs a document (DOC.json)"));
            into = args[++i];
        } else if (arg.startsWith(QLatin1Char('-'))) {
            return usage(QStringLiteral("unknown option %1").arg(arg));
        } else if (themeFile.isEmpty()) {
            themeFile = arg;
        } else {
            return usage(QStringLiteral("read takes one .theme file"));
        }
    }
    if (themeFile.isEmpty())
        return usage(QStringLiteral("read needs a .theme file"));

    ThemeDocument doc = startUpDocument();
    if (!into.isEmpty()) {
        QByteArray json;
        QString error;
        if (!readInput(into, json, error))
            return fail(BadInput, error);
        auto given = documentFromJson(json, doc);
        if (!given)
            return fail(BadInput, QStringLiteral("%1: %2").arg(into, given.error().reason));
        doc = given.value();
    }

    // A file that cannot be read changes nothing: it is reported before the
    // document is touched.
    const auto bytes = readThemeFile(themeFile);
    if (!bytes)
        return fail(Failed, unreadableThemeMessage(themeFile, bytes.error()));

    doc.name = themeNameFromPath(themeFile);
    const ThemeReading reading = readTheme(doc, bytes.value(), QtPictureProbe());
    if (!reading.isTheme)
        return fail(BadInput, notAThemeMessage(themeFile));

    QJsonObject out = documentToJson(reading.document);
    out.insert(QStringLiteral("messages"), QJsonArray::fromStringList(reading.messages));
    if (!writeStdout(QJsonDocument(out).toJson(QJsonDocument::Indented)))
        return fail(Failed, QStringLiteral("cannot write to standard output"));
    return Done;
}

} // namespace p95::cli
