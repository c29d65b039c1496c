#include "ui/window_support.h"

#include "platform/drive.h"
#include "ui/look.h"

#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QWidget>

#include <algorithm>

namespace p95 {

QFont familyFont(const QString& family, int pointSize, bool fixedPitch) {
    QFont font(family, pointSize);
    if (fixedPitch) {
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
    }
    return font;
}

void wrapWithin(QLabel& label, int characters) {
    label.setWordWrap(true);
    label.setFixedWidth(label.fontMetrics().averageCharWidth() * characters);
}

void placeWindow(QWidget& window) {
    // Names, paths and tips come from files and the user: shown as they stand.
    // Before the sizing, which measures the text as it will be shown.
    showLabelsAsPlainText(window);
    // A wrapped label is as tall as its text needs at its fixed width, whatever
    // the layout's guess from the label's size hint.
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (label->wordWrap() && label->minimumWidth() == label->maximumWidth())
            label->setMinimumHeight(
                std::max(label->minimumHeight(), label->heightForWidth(label->maximumWidth())));
    }
    fixSizeToLayout(window);
    centreOnScreen(window);
}

} // namespace p95
