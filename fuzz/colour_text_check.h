#pragma once

// Colour text as the picker reads it, shared by the fuzz target and the
// regression test: components always 0..255, what it writes reads back the
// same, the parts are pieces of the text without blanks, and well-formed
// text is written back unchanged. Returns the first broken rule, or an
// empty string.

#include "colour/colour_text.h"
#include "platform/text_codec.h"

#include <QRegularExpression>

namespace p95::fuzz {

inline QString checkColourText(const QByteArray& bytes) {
    const QString text = decodeWindows1252(bytes);
    const Rgb rgb = parseColourText(text);
    for (int component : {rgb.red, rgb.green, rgb.blue}) {
        if (component < 0 || component > 255)
            return QStringLiteral("a component outside 0..255");
    }
    const QString written = colourText(rgb);
    if (parseColourText(written) != rgb)
        return QStringLiteral("written text does not read back the same");

    const ColourTextParts parts = splitColourText(text);
    for (const QString* part : {&parts.red, &parts.green, &parts.blue}) {
        if (!text.contains(*part))
            return QStringLiteral("a part that is not in the text");
        for (QChar c : *part) {
            if (c.isSpace())
                return QStringLiteral("a part with a blank");
        }
    }

    // Anchored to the whole text: "$" alone would let a final line end through.
    static const QRegularExpression wellFormed(QRegularExpression::anchoredPattern(
        QStringLiteral("(0|[1-9][0-9]{0,2}) (0|[1-9][0-9]{0,2}) (0|[1-9][0-9]{0,2})")));
    const auto match = wellFormed.match(text);
    if (match.hasMatch() && match.captured(1).toInt() <= 255 && match.captured(2).toInt() <= 255 &&
        match.captured(3).toInt() <= 255 && written != text)
        return QStringLiteral("well-formed text is not written back unchanged");
    return {};
}

} // namespace p95::fuzz
