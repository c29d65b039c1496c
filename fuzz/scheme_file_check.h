#pragma once

// What loading any bytes as a colour scheme must satisfy, shared by the fuzz
// target and the regression test. Returns the first broken rule, or an empty
// string.

#include "colour/scheme_file.h"
#include "theme/get_colors.h"
#include "platform/text_file.h"

#include <QByteArray>
#include <QString>

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
        if (colour.contains(QLatin1Char('\r')) || colour.contains(QLatin1Char('\n')))
            return QStringLiteral("a colour text holds a line end");
    }
    // What was loaded saves and loads back the same.
    auto saved = encodeLines(QStringList(doc.colours.begin(), doc.colours.end()));
    if (!saved)
        return QStringLiteral("loaded colours cannot be saved: ") + saved.error().reason;
    auto back = readColourScheme(BytesFileSystem(saved.value()), path);
    if (!back || back.value() != doc.colours)
        return QStringLiteral("a saved scheme does not load back the same");
    return {};
}

} // namespace p95::fuzz
