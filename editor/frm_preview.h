#pragma once

// frmPreview, "Theme Preview": the editor's theme drawn as a Windows 95
// desktop at the window's size. Modeless and resizable; it follows the
// theme model as it changes, and the colour picker's bars while they move
// (Cancel puts the colour back). The editor keeps one and tells it of each
// picker it opens.

#include "preview/preview_pictures.h"
#include "theme/theme_document.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

class QIcon;

namespace p95 {

class FrmColor;
class ThemeModel;

class FrmPreview : public QWidget {
    Q_OBJECT
public:
    // A window of its own over parent; the model must outlive it.
    FrmPreview(const ThemeModel& model, QWidget* parent, const QIcon& icon);

    // Shows the colour the picker's bars stand at, until it closes.
    void followPicker(FrmColor* picker);

    // The document as drawn: the editor's, with the colour the open picker's
    // bars stand at in place of the one it edits.
    ThemeDocument shownDocument() const;
    // The picture last drawn, and how many have been drawn.
    const QImage& picture() const { return m_picture; }
    int redraws() const { return m_redraws; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void documentChanged();
    void pickerMoved();

    const ThemeModel& m_model;
    QPointer<FrmColor> m_picker;
    PreviewPictures m_pictures;
    QImage m_picture;
    bool m_stale = true;
    int m_redraws = 0;
};

} // namespace p95
