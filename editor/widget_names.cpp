#include "editor/widget_names.h"

#include <QKeyEvent>
#include <QLabel>

namespace p95 {

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
    label->setStyleSheet(QStringLiteral("QLabel { border: 1px dotted transparent; }"
                                        "QLabel:focus { border-color: palette(window-text); }"));
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
