#include "editor/look.h"

#include <QApplication>
#include <QLayout>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

#include <cstring>

namespace p95 {

bool userChoseStyle(int argc, char** argv) {
    if (!qEnvironmentVariableIsEmpty("QT_STYLE_OVERRIDE"))
        return true;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "-style") == 0 || std::strcmp(arg, "--style") == 0 ||
            std::strncmp(arg, "-style=", 7) == 0 || std::strncmp(arg, "--style=", 8) == 0)
            return true;
    }
    return false;
}

void applyDefaultStyle(bool userChose) {
    if (userChose)
        return;
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows")))
        QApplication::setStyle(classic);
}

void fixSizeToLayout(QWidget& window) {
    if (QLayout* layout = window.layout())
        layout->activate();
    window.setMinimumSize(0, 0);
    window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window.adjustSize();
    window.setFixedSize(window.size());
}

void centreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    window.move(area.left() + (area.width() - window.width()) / 2,
                area.top() + (area.height() - window.height()) / 2);
}

} // namespace p95
