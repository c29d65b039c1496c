// Colour text as the picker reads it: never a crash, components always
// 0..255, what it writes reads back the same, and well-formed text is
// written back unchanged.

#include "colour/colour_text.h"
#include "platform/text_codec.h"

#include <QRegularExpression>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        p95::decodeWindows1252(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    const p95::Rgb rgb = p95::parseColourText(text);
    for (int component : {rgb.red, rgb.green, rgb.blue}) {
        if (component < 0 || component > 255)
            std::abort();
    }
    const QString written = p95::colourText(rgb);
    if (p95::parseColourText(written) != rgb)
        std::abort();

    const p95::ColourTextParts parts = p95::splitColourText(text);
    for (const QString* part : {&parts.red, &parts.green, &parts.blue}) {
        if (!text.contains(*part))
            std::abort();
        for (QChar c : *part) {
            if (c.isSpace())
                std::abort();
        }
    }

    // Anchored to the whole text: "$" alone would let a final line end through.
    static const QRegularExpression wellFormed(QRegularExpression::anchoredPattern(
        QStringLiteral("(0|[1-9][0-9]{0,2}) (0|[1-9][0-9]{0,2}) (0|[1-9][0-9]{0,2})")));
    const auto match = wellFormed.match(text);
    if (match.hasMatch() && match.captured(1).toInt() <= 255 && match.captured(2).toInt() <= 255 &&
        match.captured(3).toInt() <= 255 && written != text)
        std::abort();
    return 0;
}
