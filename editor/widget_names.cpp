#include "editor/widget_names.h"

#include <QKeyEvent>
#include <QLabel>

namespace p95 {

namespace {

// Shows which label has the focus without changing its size, so nothing
// moves as the focus passes: a picture gets a plain box in room that is kept
// empty otherwise; a text is shown in the selection colours.
class FocusMark : public QObject {
public:
    explicit FocusMark(QLabel* label) : QObject(label), m_picture(label->hasScaledContents()) {
        if (m_picture) {
            label->setLineWidth(1);
            show(*label, false);
        }
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
            show(*static_cast<QLabel*>(watched), event->type() == QEvent::FocusIn);
        return false;
    }

private:
    void show(QLabel& label, bool focused) const {
        if (m_picture) {
            label.setFrameStyle(focused ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
            const int room = focused ? 0 : 1;
            label.setContentsMargins(room, room, room, room);
            return;
        }
        label.setAutoFillBackground(focused);
        label.setBackgroundRole(focused ? QPalette::Highlight : QPalette::Window);
        label.setForegroundRole(focused ? QPalette::HighlightedText : QPalette::WindowText);
    }

    bool m_picture;
};

} // namespace

QLabel* makePicture(const QString& objectName, int side, QWidget* parent) {
    auto* picture = new QLabel(parent);
    picture->setObjectName(objectName);
    picture->setFixedSize(side, side);
    picture->setAlignment(Qt::AlignCenter);
    picture->setScaledContents(true);
    return picture;
}

void makeKeyboardLabel(QLabel* label) {
    label->setFocusPolicy(Qt::StrongFocus);
    label->installEventFilter(new FocusMark(label));
}

bool isActivationKey(const QKeyEvent& key) {
    if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    return key.key() == Qt::Key_Space || key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

bool isContextMenuKey(const QKeyEvent& key) {
    if (key.key() == Qt::Key_Menu)
        return key.modifiers() == Qt::NoModifier;
    return key.key() == Qt::Key_F10 && key.modifiers() == Qt::ShiftModifier;
}

} // namespace p95
