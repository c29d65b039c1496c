#include "ui/help_panel.h"

#include <QHBoxLayout>
#include <QLabel>

#include <array>

namespace p95 {

namespace {
// The blanks in text 3 are there to make the label break its lines where the
// picture beside it ends; they are part of the text.
const std::array<QString, kHelpPanelCount> kHelpTexts{
    QStringLiteral("Navigate your way around this program by clicking on the tabs. More specific "
                   "help is given in each tab."),
    QStringLiteral("This is the page where you select mouse pointers for your theme. For those of "
                   "you who are a little confused about which mouse pointer is which, then by "
                   "moving over a button, that particular pointer will appear."),
    QStringLiteral("This is the page where you select the sounds for your theme. When a sound is "
                   "selected, a button will appear, allowing you to listen to the sound that you "
                   "have selected."),
    QStringLiteral("            This is the page where you select the                    "
                   "'visuals' for your theme. The 'visuals' are             the icons, the screen "
                   "saver and the wallpaper. JPG files are not able to be previewed, and any High "
                   "Color themes or icons that you open will not appear High Color. However, when "
                   "you run the theme, it will work normally."),
    QStringLiteral("This is the page where you can select the colors for your theme. One of the "
                   "new features in Paletteer 95 v2.0 is that you can load in special color files "
                   "created by Paletteer 95. If you make your own color scheme, and wish to share "
                   "it with a friend who also has Paletteer 95, then click on Save Color Theme. "
                   "The color file will be saved in your Paletteer 95 directory."),
    QStringLiteral("Once you have spent all that time creating your theme, you want to share it "
                   "with the world. But, there's no point doing that if no-one knows how to use "
                   "your theme. This is where you can edit and save the ReadMe.txt file that can "
                   "be saved with your theme, so that you can share it with your friends, and "
                   "they will know exactly how to install and use your theme. Please leave the "
                   "Paletteer info in the ReadMe, so that everyone can find out about this great "
                   "software!"),
    QStringLiteral("To Load and Save a color scheme, you must first select the 'Choose Your Own "
                   "Colors' option"),
};
} // namespace

QString helpText(int index) {
    return kHelpTexts.at(static_cast<std::size_t>(index));
}

HelpPanel makeHelpPanel(int index, QWidget* parent) {
    HelpPanel help;
    help.panel = new QWidget(parent);
    help.panel->setObjectName(QStringLiteral("helpPanel_%1").arg(index));
    auto* layout = new QHBoxLayout(help.panel);
    layout->setContentsMargins(0, 0, 0, 0);

    help.picHelp = new QLabel(help.panel);
    help.picHelp->setObjectName(QStringLiteral("picHelp_%1").arg(index));
    help.picHelp->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    help.picHelp->setMinimumSize(32, 32);
    help.picHelp->setAccessibleName(QStringLiteral("Help"));
    layout->addWidget(help.picHelp, 0, Qt::AlignTop);

    help.lblHelp = new QLabel(help.panel);
    help.lblHelp->setObjectName(QStringLiteral("lblHelp_%1").arg(index));
    help.lblHelp->setWordWrap(true);
    help.lblHelp->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(help.lblHelp, 1);
    return help;
}

} // namespace p95
