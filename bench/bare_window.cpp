// p95_bare_window: the smallest Qt Widgets program with a window like the Tip
// of the Day's (a label, a text, two buttons), the yardstick of the launch
// benchmark. It records its first paint the same way paletteer95 does.

#include "ui/launch_probe.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("A heading")));
    layout->addWidget(new QLabel(QStringLiteral("Some text that stands for a tip.")));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QPushButton(QStringLiteral("Another")));
    buttons->addWidget(new QPushButton(QStringLiteral("Continue")));
    layout->addLayout(buttons);
    window.show();
    p95::installLaunchProbe(window);
    return app.exec();
}
