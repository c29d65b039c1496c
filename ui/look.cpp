#include "ui/look.h"

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QTabWidget>
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
    // Not adjustSize(): it caps a window at two thirds of the screen.
    window.resize(window.sizeHint().expandedTo(window.minimumSizeHint()));
    window.setFixedSize(window.size());
    if (!window.isVisible())
        removeMaximizeButton(window);
}

void removeMaximizeButton(QWidget& window) {
    const Qt::WindowFlags flags = window.windowFlags();
    Qt::WindowFlags wanted = flags;
    // The buttons it keeps are named, so that the window system adds none.
    const Qt::WindowFlags buttons = Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                    Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                                    Qt::WindowCloseButtonHint;
    if (!(flags & buttons)) {
        wanted |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (window.windowType() == Qt::Window)
            wanted |= Qt::WindowMinimizeButtonHint;
    }
    wanted = (wanted | Qt::CustomizeWindowHint) & ~Qt::WindowMaximizeButtonHint;
    if (wanted != flags)
        window.setWindowFlags(wanted);
}

void showLabelsAsPlainText(QWidget& window) {
    for (QLabel* label : window.findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
}

void centreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    window.move(area.left() + (area.width() - window.width()) / 2,
                area.top() + (area.height() - window.height()) / 2);
}

namespace {

bool growWrappedLabels(QWidget& window) {
    bool grew = false;
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (!label->wordWrap() || !label->isVisible())
            continue;
        const int needed = label->heightForWidth(label->width());
        if (needed > label->height()) {
            label->setMinimumHeight(needed);
            grew = true;
        }
    }
    return grew;
}

} // namespace

void fitWrappedText(QWidget& window) {
    // Only a shown window has placed its children; visit every page of every
    // tab control so that each wrapped label is measured at its real width.
    bool grew = growWrappedLabels(window);
    for (QTabWidget* tab : window.findChildren<QTabWidget*>()) {
        const int shown = tab->currentIndex();
        for (int i = 0; i < tab->count(); ++i) {
            tab->setCurrentIndex(i);
            if (QLayout* layout = window.layout())
                layout->activate();
            grew = growWrappedLabels(window) || grew;
        }
        tab->setCurrentIndex(shown);
    }
    if (grew) {
        fixSizeToLayout(window);
        centreOnScreen(window);
    }
}

} // namespace p95
