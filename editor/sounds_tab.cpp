#include "editor/sounds_tab.h"

#include "editor/widget_names.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace p95 {

namespace {
constexpr int kRowsPerColumn = 5;
}

SoundsTab::SoundsTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tabSounds"));
    auto* layout = new QVBoxLayout(this);
    help = makeHelpPanel(2, this);
    layout->addWidget(help.panel);

    Frame7 = new QGroupBox(QStringLiteral("Sound Effects"), this);
    Frame7->setObjectName(QStringLiteral("Frame7"));
    layout->addWidget(Frame7, 1);
    auto* grid = new QGridLayout(Frame7);

    for (int i = 0; i < kSoundCount; ++i) {
        Command4[i] = new QPushButton(toQString(kSoundSlots[i].caption), Frame7);
        Command4[i]->setObjectName(arrayName("Command4", i));
        Text1[i] = new QLineEdit(Frame7);
        Text1[i]->setObjectName(arrayName("Text1", i));
        Text1[i]->hide();
        Image2[i] = makePicture(arrayName("Image2", i), kPlayPictureSize, Frame7);
        // A play picture appears and disappears without the buttons moving.
        QSizePolicy policy = Image2[i]->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        Image2[i]->setSizePolicy(policy);

        // Four columns of five, filled top to bottom; the play picture right
        // of its button.
        const int row = i % kRowsPerColumn;
        const int column = (i / kRowsPerColumn) * 2;
        grid->addWidget(Command4[i], row, column);
        grid->addWidget(Image2[i], row, column + 1);
    }
    for (int column = 0; column < 8; column += 2)
        grid->setColumnStretch(column, 1);
}

} // namespace p95
