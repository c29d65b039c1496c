#include "colour/scheme_file.h"

#include "platform/text_file.h"

#include <QStringList>

namespace p95 {

QString schemeFilePath(const QString& programDirectory, const QString& name) {
    return programDirectory + QLatin1Char('\\') + name + QStringLiteral(".scheme");
}

std::optional<QString> schemeNameProblem(const QString& name) {
    if (name.isEmpty())
        return QStringLiteral("Please enter a name for the color scheme.");
    for (QChar c : name) {
        if (c.unicode() < 0x20 || c == QChar(0x7f))
            return QStringLiteral("A color scheme name cannot contain control characters.");
        // Separators are allowed: the name may lead into a sub-folder.
        if (QStringLiteral(":*?\"<>|").contains(c))
            return QStringLiteral("A color scheme name cannot contain any of the characters "
                                  ": * ? \" < > |");
    }
    return std::nullopt;
}

Status saveColourScheme(FileSystem& files, const QString& programDirectory, const QString& name,
                        const ColourTexts& colours) {
    const QString step = QStringLiteral("Saving the color scheme");
    const QString path = schemeFilePath(programDirectory, name);
    if (auto problem = schemeNameProblem(name))
        return Error{step, name, *problem};
    auto bytes = encodeLines(QStringList(colours.begin(), colours.end()));
    if (!bytes)
        return Error{step, path, bytes.error().reason};
    if (const Status status = files.writeFile(path, bytes.value()); !status.ok())
        return Error{step, status.error().file, status.error().reason};
    return {};
}

Result<ColourTexts> readColourScheme(const FileSystem& files, const QString& path) {
    const QString step = QStringLiteral("Loading the color scheme");
    auto bytes = files.readFile(path);
    if (!bytes) {
        Error error = bytes.error();
        error.step = step;
        return error;
    }
    SequentialInput input = SequentialInput::fromBytes(bytes.value());
    ColourTexts colours;
    for (int i = 0; i < kColourCount; ++i) {
        auto line = input.readLine();
        if (!line) {
            return Error{step, path,
                         QStringLiteral("this is not a color scheme: it holds %1 of the %2 "
                                        "color lines, so no color was changed")
                             .arg(i)
                             .arg(kColourCount)};
        }
        colours[i] = *line;
    }
    return colours;
}

} // namespace p95
