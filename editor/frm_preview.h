#pragma once

// frmPreview, "Theme Preview": the editor's theme drawn as a Windows 95
// desktop on a screen of the chosen resolution, scaled to the window's size.
// Modeless and resizable; it follows the theme model as it changes, and the
// colour picker's bars while they move (Cancel puts the colour back). It
// opens beside the editor without taking the focus from it, can show the
// desktop alone, and closes with Escape. The editor keeps one and tells it of
// each picker it opens.

#include "preview/preview_pictures.h"
#include "preview/preview_renderer.h"
#include "theme/theme_document.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QIcon;

namespace p95 {

class FrmColor;
class ThemeModel;

// Where a window of `size` goes beside `editor` (frame rectangles) within
// `available`: to its right, else its left, below or above where the screen
// has room; else where it covers least of the editor.
QPoint placeBeside(const QRect& editor, QSize size, const QRect& available);

class FrmPreview : public QWidget {
    Q_OBJECT
public:
    // A window of its own over parent (the editor, which it opens beside);
    // the model must outlive it.
    FrmPreview(const ThemeModel& model, QWidget* parent, const QIcon& icon);

    // Shows the colour the picker's bars stand at, until it closes.
    void followPicker(FrmColor* picker);

    // The document as drawn: the editor's, with the colour the open picker's
    // bars stand at in place of the one it edits.
    ThemeDocument shownDocument() const;
    PreviewOptions options() const;
    // The picture last drawn, and how many have been drawn.
    const QImage& picture() const { return m_picture; }
    int redraws() const { return m_redraws; }
    // The area the picture is drawn in.
    QWidget& canvas() const { return *m_canvas; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    class Canvas;
    void documentChanged();
    void paintCanvas(QWidget& canvas);

    const ThemeModel& m_model;
    QComboBox* m_screen = nullptr;
    QCheckBox* m_desktopAlone = nullptr;
    QWidget* m_canvas = nullptr;
    QPointer<FrmColor> m_picker;
    PreviewPictures m_pictures;
    QImage m_picture;
    bool m_stale = true;
    bool m_placed = false;
    int m_redraws = 0;
};

} // namespace p95
