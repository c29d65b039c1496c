#include "preview/metrics.h"

#include "platform/pictures/fonts.h"
#include "platform/text_codec.h"
#include "theme/theme_document.h"

#include <QByteArray>
#include <QStringList>
#include <QtEndian>

#include <algorithm>
#include <optional>

namespace p95 {

namespace {

constexpr int kIconMetricsSize = 76;
constexpr int kNonclientMetricsSize = 340;
constexpr int kFontRecordSize = 60;
constexpr int kFaceOffset = 28;
constexpr int kFaceSize = 32;

// The first `count` numbers of the text as bytes. Only the numbers needed
// are read, so a text of any length costs no more than a record.
std::optional<QByteArray> recordBytes(const QString& text, int count) {
    QByteArray bytes;
    bytes.reserve(count);
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (bytes.size() < count) {
        while (i < n && text.at(i).isSpace())
            ++i;
        if (i == n)
            return std::nullopt; // too few numbers
        int value = 0;
        const qsizetype start = i;
        while (i < n && !text.at(i).isSpace()) {
            const QChar c = text.at(i);
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return std::nullopt;
            value = std::min(value * 10 + (c.unicode() - '0'), 256);
            ++i;
        }
        if (i == start || value > 255)
            return std::nullopt;
        bytes.append(char(value));
    }
    return bytes;
}

qint32 int32At(const QByteArray& bytes, int at) {
    return qFromLittleEndian<qint32>(bytes.constData() + at);
}

// Sizes outside these bounds are no Windows 95 setting; they are drawn at the
// nearest one rather than as a bar that fills the picture.
int clampSize(qint32 value, int low, int high) {
    return int(std::clamp<qint64>(value, low, high));
}

FontRecord fontAt(const QByteArray& bytes, int at) {
    FontRecord font;
    font.height = clampSize(int32At(bytes, at), -100, 100);
    font.weight = clampSize(int32At(bytes, at + 16), 0, 1000);
    font.italic = bytes.at(at + 20) != 0;
    QByteArray face = bytes.mid(at + kFaceOffset, kFaceSize);
    const qsizetype end = face.indexOf('\0');
    if (end >= 0)
        face.truncate(end);
    font.face = decodeWindows1252(face).trimmed();
    for (const QChar c : std::as_const(font.face)) {
        if (c.category() == QChar::Other_Control) {
            font.face.clear();
            break;
        }
    }
    return font;
}

IconMetricsRecord iconMetricsFrom(const QByteArray& bytes) {
    IconMetricsRecord record;
    record.horzSpacing = clampSize(int32At(bytes, 4), 32, 512);
    record.vertSpacing = clampSize(int32At(bytes, 8), 32, 512);
    record.titleWrap = int32At(bytes, 12) != 0;
    record.font = fontAt(bytes, 16);
    return record;
}

NonclientMetricsRecord nonclientMetricsFrom(const QByteArray& bytes) {
    NonclientMetricsRecord record;
    record.borderWidth = clampSize(int32At(bytes, 4), 1, 50);
    record.scrollWidth = clampSize(int32At(bytes, 8), 8, 100);
    record.scrollHeight = clampSize(int32At(bytes, 12), 8, 100);
    record.captionWidth = clampSize(int32At(bytes, 16), 8, 100);
    record.captionHeight = clampSize(int32At(bytes, 20), 8, 100);
    record.captionFont = fontAt(bytes, 24);
    record.smCaptionWidth = clampSize(int32At(bytes, 84), 8, 100);
    record.smCaptionHeight = clampSize(int32At(bytes, 88), 8, 100);
    record.smCaptionFont = fontAt(bytes, 92);
    record.menuWidth = clampSize(int32At(bytes, 152), 8, 100);
    record.menuHeight = clampSize(int32At(bytes, 156), 8, 100);
    record.menuFont = fontAt(bytes, 160);
    record.statusFont = fontAt(bytes, 160 + kFontRecordSize);
    record.messageFont = fontAt(bytes, 160 + 2 * kFontRecordSize);
    return record;
}

} // namespace

IconMetricsRecord parseIconMetrics(const QString& text) {
    auto bytes = recordBytes(text, kIconMetricsSize);
    if (!bytes)
        bytes = recordBytes(toQString(kDefaultIconMetrics), kIconMetricsSize);
    return iconMetricsFrom(*bytes);
}

NonclientMetricsRecord parseNonclientMetrics(const QString& text) {
    auto bytes = recordBytes(text, kNonclientMetricsSize);
    if (!bytes)
        bytes = recordBytes(toQString(kDefaultNonclientMetrics), kNonclientMetricsSize);
    return nonclientMetricsFrom(*bytes);
}

PreviewFont previewFont(const FontRecord& record) {
    const ProgramFonts installed = installProgramFonts();
    // Windows: a negative height is the character height, a positive one the
    // cell height (character height plus leading, about 13 to 11).
    int pixels = record.height < 0 ? -record.height : (record.height * 11 + 6) / 13;
    if (pixels == 0)
        pixels = 11;
    pixels = std::clamp(pixels, 6, 72);
    const bool bold = record.weight >= 600;

    const QString msSansSerif = QStringLiteral("MS Sans Serif");
    const QString face = record.face.isEmpty() ? msSansSerif : record.face;
    PreviewFont out;
    // fonts-wine's MS Sans Serif has one strike Qt can use: 13 pixels, the
    // 8-point face with an 11-pixel character height. It is also the
    // smallest strike of the face, so Windows draws every smaller request
    // with it too (the default icon-title font asks for 8 pixels).
    if (face.compare(msSansSerif, Qt::CaseInsensitive) == 0) {
        if (installed.msSansSerif && pixels <= 12) {
            out.font.setFamilies(QStringList{msSansSerif});
            out.font.setPixelSize(13);
            out.simulatedBold = bold;
            out.simulatedItalic = record.italic;
        } else {
            // The larger strikes Windows has are not there: the face with
            // MS Sans Serif's proportions, then the host's sans serif.
            out.font.setFamilies(
                QStringList{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
            out.font.setPixelSize(std::max(pixels, 11));
            out.font.setBold(bold);
            out.font.setItalic(record.italic);
        }
    } else {
        // The face alone: with a second family Qt would take that one
        // before the host's substitute for the first.
        out.font.setFamilies(QStringList{face});
        out.font.setPixelSize(pixels);
        out.font.setBold(bold);
        out.font.setItalic(record.italic);
    }
    out.font.setStyleStrategy(
        QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    out.font.setHintingPreference(QFont::PreferFullHinting);
    return out;
}

} // namespace p95
