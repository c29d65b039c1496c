#include "editor/frm_preview.h"

#include "editor/theme_model.h"
#include "preview/preview_renderer.h"
#include "ui/frm_color.h"
#include "ui/look.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QScreen>

namespace p95 {

FrmPreview::FrmPreview(const ThemeModel& model, QWidget* parent, const QIcon& icon)
    : QWidget(parent, Qt::Window), m_model(model) {
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(QStringLiteral("Theme Preview"));
    setAccessibleName(QStringLiteral("Theme Preview"));
    setAccessibleDescription(
        QStringLiteral("The theme drawn as a Windows 95 desktop: wallpaper, icons, windows in the "
                       "theme's colours, and its pointers"));
    if (!icon.isNull())
        setWindowIcon(icon);
    // Every pixel is drawn here: nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(sizeHint());
    centreOnScreen(*this);

    // Only a change of the files read them afresh: a colour, a preset or the
    // layout redraws with the pictures already read.
    connect(&model, &ThemeModel::slotFilesChanged, this, [this] { m_pictures.clear(); });
    connect(&model, &ThemeModel::documentChanged, this, &FrmPreview::documentChanged);
}

QSize FrmPreview::sizeHint() const {
    // The CLI's default picture, where the screen has room for it.
    QSize size(800, 600);
    if (const QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(where->availableSize() * 4 / 5);
    return size;
}

void FrmPreview::documentChanged() {
    m_stale = true;
    update();
}

void FrmPreview::followPicker(FrmColor* picker) {
    m_picker = picker;
    connect(picker, &FrmColor::colourChanging, this, &FrmPreview::pickerMoved,
            Qt::UniqueConnection);
    // Select, Cancel and the close box all finish the picker.
    connect(picker, &QDialog::finished, this, &FrmPreview::pickerMoved, Qt::UniqueConnection);
    connect(picker, &QObject::destroyed, this, &FrmPreview::pickerMoved, Qt::UniqueConnection);
    pickerMoved();
}

void FrmPreview::pickerMoved() {
    m_stale = true;
    update();
}

ThemeDocument FrmPreview::shownDocument() const {
    ThemeDocument doc = m_model.document();
    // In preset mode the preset is shown, whatever the bars say.
    if (m_picker && m_picker->isVisible() && doc.colourMode == ColourMode::Own) {
        const int index = m_picker->colourIndex();
        if (index >= 0 && index < kColourCount)
            doc.colours[index] = colourText(m_picker->colour());
    }
    return doc;
}

void FrmPreview::paintEvent(QPaintEvent*) {
    if (m_stale || m_picture.size() != size()) {
        m_picture = renderPreview(shownDocument(), size(), m_pictures).image;
        m_stale = false;
        ++m_redraws;
    }
    QPainter painter(this);
    // Pixels stay pixels on a scaled screen.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(rect(), m_picture);
}

} // namespace p95
