#include "ui/widget_names.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

namespace p95 {

namespace {

// A picture box that draws the focus mark itself: a ring in the selection
// colour in its contents margins, which keep that room free of the picture.
// (A frame of QFrame's would take the same room from the picture only while
// it shows, and in the classic style its dark line sinks into a button's edge.)
class PictureBox : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override {
        QLabel::paintEvent(event);
        if (!hasFocus() || focusPolicy() == Qt::NoFocus)
            return;
        QPainter painter(this);
        const QColor ring = palette().color(QPalette::Highlight);
        const QMargins room = contentsMargins();
        const QRect whole = rect();
        painter.fillRect(QRect(0, 0, whole.width(), room.top()), ring);
        painter.fillRect(QRect(0, whole.height() - room.bottom(), whole.width(), room.bottom()),
                         ring);
        painter.fillRect(QRect(0, 0, room.left(), whole.height()), ring);
        painter.fillRect(QRect(whole.width() - room.right(), 0, room.right(), whole.height()),
                         ring);
    }
};

// Shows which label has the focus without changing its size, so nothing
// moves as the focus passes: a picture keeps a ring of room that its paint
// fills while it has the focus; a text is shown in the selection colours.
class FocusMark : public QObject {
public:
    explicit FocusMark(QLabel* label) : QObject(label), m_picture(label->hasScaledContents()) {
        if (m_picture)
            label->setContentsMargins(kFocusRing, kFocusRing, kFocusRing, kFocusRing);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
            show(*static_cast<QLabel*>(watched), event->type() == QEvent::FocusIn);
        return false;
    }

private:
    void show(QLabel& label, bool focused) const {
        if (m_picture) {
            label.update();
            return;
        }
        label.setAutoFillBackground(focused);
        label.setBackgroundRole(focused ? QPalette::Highlight : QPalette::Window);
        label.setForegroundRole(focused ? QPalette::HighlightedText : QPalette::WindowText);
    }

    bool m_picture;
};

// Marks the labels that act as buttons, for the accessibility factory.
const char* const kKeyboardLabel = "p95KeyboardLabel";

// What assistive technology sees of such a label: a button named by its
// accessible name or its text, whose press action is a press of Space.
class KeyboardLabelAccessible : public QAccessibleWidget {
public:
    explicit KeyboardLabelAccessible(QLabel* label)
        : QAccessibleWidget(label, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override {
        // The widget's own fallback would name a label after its group box.
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        if (!widget()->isEnabled())
            return;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QCoreApplication::sendEvent(widget(), &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QCoreApplication::sendEvent(widget(), &release);
    }
};

QAccessibleInterface* keyboardLabelFactory(const QString&, QObject* object) {
    auto* label = qobject_cast<QLabel*>(object);
    if (label && label->property(kKeyboardLabel).toBool())
        return new KeyboardLabelAccessible(label);
    return nullptr;
}

} // namespace

QLabel* makePicture(const QString& objectName, int side, QWidget* parent) {
    auto* picture = new PictureBox(parent);
    picture->setObjectName(objectName);
    picture->setFixedSize(side, side);
    picture->setAlignment(Qt::AlignCenter);
    picture->setScaledContents(true);
    return picture;
}

void makeKeyboardLabel(QLabel* label) {
    label->setFocusPolicy(Qt::StrongFocus);
    // A button to a screen reader, not a picture or a static text.
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(keyboardLabelFactory);
        return true;
    }();
    (void)factoryInstalled;
    label->setProperty(kKeyboardLabel, true);
    // A label made with its text may already have been seen (as a static
    // text) when it announced that text: let it be looked at afresh.
    if (QAccessibleInterface* seen = QAccessible::queryAccessibleInterface(label);
        seen && seen->role() != QAccessible::Button)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(seen));
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
