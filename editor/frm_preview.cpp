#include "editor/frm_preview.h"

#include "editor/theme_model.h"
#include "ui/frm_color.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace p95 {

QPoint placeBeside(const QRect& editor, QSize size, const QRect& available) {
    const auto within = [&](QPoint at) {
        return QPoint(
            std::clamp(at.x(), available.left(),
                       std::max(available.left(), available.right() - size.width() + 1)),
            std::clamp(at.y(), available.top(),
                       std::max(available.top(), available.bottom() - size.height() + 1)));
    };
    const QPoint candidates[] = {
        {editor.right() + 1, editor.top()},            // right
        {editor.left() - size.width(), editor.top()},  // left
        {editor.left(), editor.bottom() + 1},          // below
        {editor.left(), editor.top() - size.height()}, // above
    };
    QPoint best = within(candidates[0]);
    qint64 leastCovered = -1;
    for (const QPoint& wanted : candidates) {
        const QPoint at = within(wanted);
        const QRect shared = QRect(at, size).intersected(editor);
        const qint64 covered = shared.isEmpty() ? 0 : qint64(shared.width()) * shared.height();
        if (covered == 0)
            return at;
        if (leastCovered < 0 || covered < leastCovered) {
            leastCovered = covered;
            best = at;
        }
    }
    return best;
}

// The picture, drawn when it is shown and stale.
class FrmPreview::Canvas : public QWidget {
public:
    explicit Canvas(FrmPreview& owner) : m_owner(owner) {
        setObjectName(QStringLiteral("picPreview"));
        // Every pixel is drawn here: nothing to erase first.
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMinimumSize(160, 120);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }
    QSize sizeHint() const override {
        // The screen pixel for pixel, where the screen has room for it.
        QSize size = previewSizeFor(m_owner.options().screen);
        if (const QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen())
            size = size.scaled(size.boundedTo(where->availableSize() * 4 / 5), Qt::KeepAspectRatio);
        return size;
    }

protected:
    void paintEvent(QPaintEvent*) override { m_owner.paintCanvas(*this); }

private:
    FrmPreview& m_owner;
};

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
    // Opened from the menu, it leaves the focus with the editor.
    setAttribute(Qt::WA_ShowWithoutActivating);

    m_screen = new QComboBox(this);
    m_screen->setObjectName(QStringLiteral("cboScreen"));
    for (const QSize& size : kPreviewScreens)
        m_screen->addItem(QStringLiteral("%1 by %2 pixels").arg(size.width()).arg(size.height()),
                          size);
    m_screen->setCurrentIndex(m_screen->findData(kDefaultPreviewScreen));
    auto* screenLabel = new QLabel(QStringLiteral("&Screen:"), this);
    screenLabel->setBuddy(m_screen);
    m_desktopAlone = new QCheckBox(QStringLiteral("&Desktop alone"), this);
    m_desktopAlone->setObjectName(QStringLiteral("chkDesktopAlone"));
    m_canvas = new Canvas(*this);
    m_canvas->setAccessibleName(QStringLiteral("Theme Preview picture"));

    auto* controls = new QHBoxLayout;
    controls->addWidget(screenLabel);
    controls->addWidget(m_screen);
    controls->addSpacing(12);
    controls->addWidget(m_desktopAlone);
    controls->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(m_canvas, 1);
    // Neither control needs the focus to begin with; the keys stay here.
    m_screen->setFocusPolicy(Qt::ClickFocus);

    connect(m_screen, &QComboBox::currentIndexChanged, this, &FrmPreview::documentChanged);
    connect(m_desktopAlone, &QCheckBox::toggled, this, &FrmPreview::documentChanged);

    // Only a change of the files read them afresh: a colour, a preset or the
    // layout redraws with the pictures already read.
    connect(&model, &ThemeModel::slotFilesChanged, this, [this] { m_pictures.clear(); });
    connect(&model, &ThemeModel::documentChanged, this, &FrmPreview::documentChanged);
    resize(sizeHint());
}

void FrmPreview::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Not every window system honours showing without activating: the
    // window that had the focus gets it back.
    if (QWidget* active = QApplication::activeWindow(); active && active != this) {
        const QPointer<QWidget> keep(active);
        QMetaObject::invokeMethod(
            this,
            [keep] {
                if (keep)
                    keep->activateWindow();
            },
            Qt::QueuedConnection);
    }
    if (m_placed)
        return;
    m_placed = true;
    const QWidget* editor = parentWidget();
    if (!editor)
        return;
    const QScreen* where = editor->screen() ? editor->screen() : QGuiApplication::primaryScreen();
    if (!where)
        return;
    const QRect frame = frameGeometry();
    const QPoint at =
        placeBeside(editor->frameGeometry(), frame.size(), where->availableGeometry());
    move(at + (pos() - frame.topLeft()));
}

void FrmPreview::keyPressEvent(QKeyEvent* event) {
    // Escape closes it, as it closes a dialog.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

PreviewOptions FrmPreview::options() const {
    PreviewOptions options;
    options.screen = m_screen->currentData().toSize();
    options.desktopAlone = m_desktopAlone->isChecked();
    return options;
}

void FrmPreview::documentChanged() {
    m_stale = true;
    m_canvas->update();
}

void FrmPreview::followPicker(FrmColor* picker) {
    m_picker = picker;
    connect(picker, &FrmColor::colourChanging, this, &FrmPreview::documentChanged,
            Qt::UniqueConnection);
    // Select, Cancel and the close box all finish the picker.
    connect(picker, &QDialog::finished, this, &FrmPreview::documentChanged, Qt::UniqueConnection);
    connect(picker, &QObject::destroyed, this, &FrmPreview::documentChanged, Qt::UniqueConnection);
    documentChanged();
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

void FrmPreview::paintCanvas(QWidget& canvas) {
    if (m_stale || m_picture.size() != canvas.size()) {
        m_picture = renderPreview(shownDocument(), canvas.size(), m_pictures, options()).image;
        m_stale = false;
        ++m_redraws;
    }
    QPainter painter(&canvas);
    painter.drawImage(0, 0, m_picture);
}

} // namespace p95
