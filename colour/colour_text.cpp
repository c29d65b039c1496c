#include "colour/colour_text.h"

#include <algorithm>

namespace p95 {

namespace {

constexpr int kMaxComponent = 255;

int clampComponent(int value) {
    return std::clamp(value, 0, kMaxComponent);
}

} // namespace

ColourTextParts splitColourText(const QString& text) {
    ColourTextParts parts;
    QString* const fields[] = {&parts.red, &parts.green, &parts.blue};
    int field = 0;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (field < 3) {
        while (i < n && text.at(i).isSpace())
            ++i;
        if (i == n)
            break;
        const qsizetype start = i;
        while (i < n && !text.at(i).isSpace())
            ++i;
        *fields[field++] = text.mid(start, i - start);
    }
    return parts;
}

int colourComponent(const QString& part) {
    qsizetype i = 0;
    const qsizetype n = part.size();
    while (i < n && part.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < n && (part.at(i) == QLatin1Char('-') || part.at(i) == QLatin1Char('+'))) {
        negative = part.at(i) == QLatin1Char('-');
        ++i;
    }
    // Only ASCII digits: other scripts' digits are not numbers in a .theme file.
    int value = 0;
    for (; i < n; ++i) {
        const char16_t c = part.at(i).unicode();
        if (c < u'0' || c > u'9')
            break;
        // Past 255 the rest of the digits cannot bring it back: stop growing.
        value = std::min(value * 10 + int(c - u'0'), kMaxComponent + 1);
    }
    return clampComponent(negative ? -value : value);
}

Rgb parseColourText(const QString& text) {
    const ColourTextParts parts = splitColourText(text);
    return Rgb{colourComponent(parts.red), colourComponent(parts.green),
               colourComponent(parts.blue)};
}

QString colourText(Rgb colour) {
    return QStringLiteral("%1 %2 %3")
        .arg(clampComponent(colour.red))
        .arg(clampComponent(colour.green))
        .arg(clampComponent(colour.blue));
}

} // namespace p95
