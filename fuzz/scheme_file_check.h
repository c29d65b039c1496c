#pragma once

// What loading any bytes as a colour scheme must satisfy, shared by the fuzz
// target and the regression test. Returns the first broken rule, or an empty
// string.

#include "colour/scheme_file.h"
#include "platform/text_file.h"
#include "theme/get_colors.h"

#include <QByteArray>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <algorithm>

namespace p95::fuzz {

// A file system whose every file holds the given bytes.
class BytesFileSystem : public FileSystem {
public:
    explicit BytesFileSystem(QByteArray bytes) : m_bytes(std::move(bytes)) {}
    Result<QByteArray> readFile(const QString&, qint64) const override { return m_bytes; }

private:
    QByteArray m_bytes;
};

inline QString checkSchemeLoading(const QByteArray& bytes) {
    const BytesFileSystem files(bytes);
    const QString path = QStringLiteral("C:\\Program Files\\Paletteer 95\\x.scheme");
    ThemeDocument doc;
    doc.colourMode = ColourMode::Preset;
    doc.colours.fill(QStringLiteral("before"));
    const ThemeDocument before = doc;

    const Status status = loadColourScheme(files, path, doc);
    if (!status.ok()) {
        if (status.error().reason.isEmpty())
            return QStringLiteral("a refusal without a reason");
        if (!(doc == before))
            return QStringLiteral("a refused scheme changed the document");
        return {};
    }
    if (doc.colourMode != ColourMode::Own)
        return QStringLiteral("a loaded scheme did not select own colours");
    for (const QString& colour : doc.colours) {
        // Only colour texts get in: what a line holds goes into the theme file.
        static const QRegularExpression blanks(QStringLiteral("[ \\t]+"));
        const QStringList parts = colour.split(blanks, Qt::SkipEmptyParts);
        bool number = parts.size() == 3;
        for (const QString& part : parts) {
            number = number && part.size() <= 3 && part.toInt() <= 255 &&
                     std::all_of(part.begin(), part.end(), [](QChar c) {
                         return c >= QLatin1Char('0') && c <= QLatin1Char('9');
                     });
        }
        if (!number)
            return QStringLiteral("a line that is not a colour was loaded: ") + colour;
    }
    // What was loaded saves and loads back the same.
    auto saved = encodeLines(QStringList(doc.colours.begin(), doc.colours.end()));
    if (!saved)
        return QStringLiteral("loaded colours cannot be saved: ") + saved.error().reason;
    ThemeDocument back = before;
    if (!loadColourScheme(BytesFileSystem(saved.value()), path, back).ok() ||
        back.colours != doc.colours)
        return QStringLiteral("a saved scheme does not load back the same");
    return {};
}

} // namespace p95::fuzz
