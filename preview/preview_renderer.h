#pragma once

// The whole theme drawn as a Windows 95 desktop: the Background colour and
// the wallpaper, the desktop icons, an inactive window behind an active one
// with its menu bar, text and scroll bar, a message box, a tool tip, an
// application workspace and, below the screen, a strip with the 14
// pointers. The desktop is a screen of a chosen resolution on which every
// window keeps Windows 95's sizes, drawn scaled to the picture's size, so a
// wallpaper covers the same share of it at any size. Colours are drawn in
// the places Windows 95 draws them, text without antialiasing, and sizes and
// fonts come from the document's metric records. Empty icon and pointer
// slots show the standard ones. Qt Gui only: the window and the CLI both draw
// with it. Needs a QGuiApplication (fonts).

#include "preview/preview_pictures.h"
#include "theme/theme_document.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QStringList>

#include <array>

namespace p95 {

// Pictures and screens are at most this many pixels on a side.
inline constexpr int kMaxPreviewSide = 4096;
// The screens the window offers, the middle one the default.
inline constexpr std::array<QSize, 3> kPreviewScreens{QSize(640, 480), QSize(800, 600),
                                                      QSize(1024, 768)};
inline constexpr QSize kDefaultPreviewScreen(800, 600);
// The pointer strip below the screen, at most this tall.
inline constexpr int kPointerStripHeight = 44;

struct PreviewOptions {
    QSize screen = kDefaultPreviewScreen;
    // The desktop without the sample windows, message box and tool tip.
    bool desktopAlone = false;
};

// Where the parts of the scene stand on the screen (screen pixels). Parts not
// drawn (desktop alone) are empty.
struct PreviewLayout {
    std::array<QRect, 3> iconCells; // My Computer, Network Neighborhood, Recycle Bin
    QRect fullBinView;
    QRect inactiveWindow;
    QRect activeWindow;
    QRect activeCaption;
    QRect activeClose; // the active window's close box
    QRect menuBar;
    QRect menuNormal, menuDisabled, menuSelected;
    QRect client;    // inside its sunken edge
    QRect scrollBar; // the client's vertical scroll bar
    QRect messageBox;
    QRect okButton; // the default push button with its Window Frame ring
    QRect toolTip;
    QRect tipPointer; // the pointer that called the tool tip up
    // The windows of the scene; nothing of a window is drawn outside it.
    QList<QRect> windows() const { return {inactiveWindow, activeWindow, messageBox, toolTip}; }
};

struct ScreenRendering {
    QImage image; // the screen at its own resolution
    QStringList absent;
    PreviewLayout layout;
};

struct PreviewRendering {
    QImage image;
    // Each file the document names that could not be drawn, drawn as absent:
    // "Wallpaper: PATH (reason)".
    QStringList absent;
};

// The screen alone, pixel for pixel (each side clamped to 1..kMaxPreviewSide).
ScreenRendering renderScreen(const ThemeDocument& doc, const PreviewOptions& options,
                             PreviewPictures& pictures);

// The picture at `size` (each side clamped to 1..kMaxPreviewSide): the screen
// scaled to fit above the pointer strip, its proportions kept.
PreviewRendering renderPreview(const ThemeDocument& doc, QSize size, PreviewPictures& pictures,
                               const PreviewOptions& options = {});

// The picture size that shows the screen pixel for pixel above the strip.
QSize previewSizeFor(QSize screen);
// Where the screen is drawn in a picture of `size`.
QRect screenPlace(QSize size, QSize screen);

// The 25 colours the preview shows: in preset mode the preset's (what
// GetColors would write), in own-colours mode the colour texts, read as the
// colour picker reads them.
std::array<QColor, kColourCount> previewColours(const ThemeDocument& doc);

// The standard pictures drawn in empty slots, from the program's data files:
// for an icon slot (1..4) and a pointer slot (0..13).
QString standardIconFile(int slot);
QString standardPointerFile(int slot);

} // namespace p95
