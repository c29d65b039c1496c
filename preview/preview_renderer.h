#pragma once

// The whole theme drawn as a Windows 95 desktop: the Background colour and
// the wallpaper, the desktop icons, an inactive window behind an active one
// with its menu bar, text and scroll bar, a message box, a tool tip, an
// application workspace and a strip with the 14 pointers. Every one of the
// 25 colours shows as a solid area or line of exactly that colour; text is
// drawn without antialiasing, as Windows 95 drew it. Sizes and fonts come
// from the document's metric records. Qt Gui only: the window and the CLI
// both draw with it. Needs a QGuiApplication (fonts).

#include "preview/preview_pictures.h"
#include "theme/theme_document.h"

#include <QColor>
#include <QImage>
#include <QSize>
#include <QStringList>

#include <array>

namespace p95 {

// Pictures are at most this many pixels on a side.
inline constexpr int kMaxPreviewSide = 4096;

struct PreviewRendering {
    QImage image;
    // Each file the document names that could not be drawn, drawn as absent:
    // "Wallpaper: PATH (reason)".
    QStringList absent;
};

// Draws the document at `size` (each side clamped to 1..kMaxPreviewSide).
PreviewRendering renderPreview(const ThemeDocument& doc, QSize size, PreviewPictures& pictures);

// The 25 colours the preview shows: in preset mode the preset's (what
// GetColors would write), in own-colours mode the colour texts, read as the
// colour picker reads them.
std::array<QColor, kColourCount> previewColours(const ThemeDocument& doc);

} // namespace p95
