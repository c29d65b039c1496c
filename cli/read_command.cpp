#include "cli/read_command.h"

#include "cli/cli_io.h"
#include "cli/document_json.h"
#include "platform/drive.h"
#include "platform/file_system.h"
#include "platform/pictures/qt_picture_probe.h"
#include "theme/readme.h"
#include "theme/theme_reader.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace p95::cli {

namespace {

// The start-up document: the window loads the user's default ReadMe into it.
// Reading needs nothing written, so a program directory that cannot be made
// only leaves the ReadMe empty; a data file that could not be put in place
// leaves the ReadMe as it is.
ThemeDocument startUpDocument() {
    ThemeDocument doc;
    (void)ensureProgramDirectory(); // a data file not put in place leaves the ReadMe as it is
    if (programDirectoryExists()) {
        FileSystem files;
        if (auto readMe = loadDefaultReadMe(files, programDirectory()))
            doc.readMe = readMe.value();
    }
    return doc;
}

} // namespace

int readCommand(const QStringList& args) {
    CommandArgs given;
    if (auto status = parseCommandArgs(
            QStringLiteral("read"), args,
            {{{QStringLiteral("--into")}, QStringLiteral("a document (DOC.json)")}},
            QStringLiteral(".theme file"), {}, false, given))
        return *status;
    const QString& themeFile = given.operand;
    const QString into = given.values.value(QStringLiteral("--into"));

    ThemeDocument doc = startUpDocument();
    if (!into.isEmpty()) {
        const auto base = readDocument(into, doc, BadInput);
        if (!base.ok())
            return base.status;
        doc = *base.value;
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
