#include "app/window_support.h"

#include "editor/look.h"
#include "platform/drive.h"

#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QWidget>

namespace p95 {

QString programFile(const char* name) {
    return programDirectory() + QLatin1Char('\\') + QLatin1String(name);
}

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
    fixSizeToLayout(window);
    centreOnScreen(window);
}

} // namespace p95
