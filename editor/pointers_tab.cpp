#include "editor/pointers_tab.h"

#include "editor/widget_names.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace p95 {

namespace {
constexpr int kRowsPerColumn = 7;
}

PointersTab::PointersTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tabPointers"));
    auto* layout = new QVBoxLayout(this);
    help = makeHelpPanel(1, this);
    layout->addWidget(help.panel);

    Frame8 = new QGroupBox(QStringLiteral("Mouse Pointers"), this);
    Frame8->setObjectName(QStringLiteral("Frame8"));
    layout->addWidget(Frame8, 1);
    auto* grid = new QGridLayout(Frame8);

    for (int i = 0; i < kPointerCount; ++i) {
        Command3[i] = new QPushButton(toQString(kPointerSlots[i].caption), Frame8);
        Command3[i]->setObjectName(arrayName("Command3", i));
        Image1[i] = makePicture(arrayName("Image1", i), kPointerPreviewSize, Frame8);
        Source[i] = new QLabel(Frame8);
        Source[i]->setObjectName(arrayName("Source", i));
        Source[i]->hide();

        // Left column 0..6 with the preview on the left; right column 7..13
        // with the preview on the right.
        const int row = i % kRowsPerColumn;
        if (i < kRowsPerColumn) {
            grid->addWidget(Image1[i], row, 0);
            grid->addWidget(Command3[i], row, 1);
        } else {
            grid->addWidget(Command3[i], row, 3);
            grid->addWidget(Image1[i], row, 4);
        }
    }
    grid->setColumnMinimumWidth(2, fontMetrics().averageCharWidth() * 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
}

} // namespace p95
