#include "colour/scheme_file.h"

#include "platform/text_file.h"

#include <QRegularExpression>
#include <QStringList>

namespace p95 {

namespace {

// Three whole numbers from 0 to 255 apart by blanks, as a theme file holds a
// colour; blanks before and after are let through.
bool isColourText(const QString& text) {
    static const QRegularExpression colour(QRegularExpression::anchoredPattern(
        QStringLiteral("[ \\t]*([0-9]{1,3})[ \\t]+([0-9]{1,3})[ \\t]+([0-9]{1,3})[ \\t]*")));
    const QRegularExpressionMatch match = colour.match(text);
    return match.hasMatch() && match.captured(1).toInt() <= 255 &&
           match.captured(2).toInt() <= 255 && match.captured(3).toInt() <= 255;
}

// A line as the message shows it: a long one cut short.
QString shownLine(const QString& line) {
    constexpr qsizetype kShown = 40;
    return line.size() <= kShown ? line : line.left(kShown) + QStringLiteral("...");
}

} // namespace

QString schemeFilePath(const QString& programDirectory, const QString& name) {
    return programDirectory + QLatin1Char('\\') + name + QStringLiteral(".scheme");
}

namespace {

std::optional<QString> schemeNameMessage(const QString& name) {
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

} // namespace

Status checkSchemeName(const QString& name) {
    if (const auto message = schemeNameMessage(name))
        return Error{QStringLiteral("Checking the color scheme name"), name, *message};
    return {};
}

Status saveColourScheme(FileSystem& files, const QString& programDirectory, const QString& name,
                        const ColourTexts& colours) {
    const QString step = QStringLiteral("Saving the color scheme");
    const QString path = schemeFilePath(programDirectory, name);
    if (const Status named = checkSchemeName(name); !named.ok())
        return Error{step, name, named.error().reason};
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
    // A line that is no colour would go into the theme file at the next save.
    for (int i = 0; i < kColourCount; ++i) {
        if (!isColourText(colours[i])) {
            return Error{step, path,
                         QStringLiteral("this is not a color scheme: line %1, \"%2\", is not a "
                                        "color of three numbers from 0 to 255 such as "
                                        "\"0 128 128\", so no color was changed")
                             .arg(i + 1)
                             .arg(shownLine(colours[i]))};
        }
    }
    return colours;
}

} // namespace p95
