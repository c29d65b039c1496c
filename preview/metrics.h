#pragma once

// The two metric records of a theme as the preview uses them: the icon
// metrics (icon spacing and the icon-title font) and the non-client metrics
// (border width, scroll bars, caption and menu sizes, the caption, menu and
// message fonts). The texts come from opened files, so anything that is not
// a record gives the default record, and absurd sizes are clamped to what
// Windows 95 would draw.

#include <QFont>
#include <QString>

namespace p95 {

// A LOGFONT as far as the preview needs it.
struct FontRecord {
    int height = -11; // negative: character height in pixels; positive: cell height
    int weight = 400;
    bool italic = false;
    QString face;
};

struct IconMetricsRecord {
    int horzSpacing = 75;
    int vertSpacing = 75;
    bool titleWrap = false;
    FontRecord font;
};

struct NonclientMetricsRecord {
    int borderWidth = 1;
    int scrollWidth = 13;
    int scrollHeight = 13;
    int captionWidth = 18;
    int captionHeight = 18;
    FontRecord captionFont;
    int smCaptionWidth = 15;
    int smCaptionHeight = 15;
    FontRecord smCaptionFont;
    int menuWidth = 18;
    int menuHeight = 18;
    FontRecord menuFont;
    FontRecord statusFont;
    FontRecord messageFont;
};

// The records in a metric text ("76 0 0 0 75 ..."): the first 76 or 340
// numbers, each 0..255, are the record's bytes; numbers after them are
// ignored. Text with too few numbers, or one that is not a byte, gives the
// default record.
IconMetricsRecord parseIconMetrics(const QString& text);
NonclientMetricsRecord parseNonclientMetrics(const QString& text);

// The face the preview draws a font record with, at the pixel size the record
// asks for, drawn without antialiasing. "MS Sans Serif" comes from its bitmap
// strike up to the size of that strike, and from a scalable sans-serif face
// above it or when the bitmap face is missing. Other faces go through the
// host's substitutions (fontconfig: Arial is drawn as Liberation Sans, Comic
// Sans MS as Comic Neue), and only then to its fallback.
struct PreviewFont {
    QFont font;
    // Bold or italic asked of the bitmap face, which has neither: drawn as
    // Windows simulates them, bold as each letter twice one pixel apart with
    // its advance one pixel wider, italic with each row slanted.
    bool simulatedBold = false;
    bool simulatedItalic = false;
};
PreviewFont previewFont(const FontRecord& record);

} // namespace p95
