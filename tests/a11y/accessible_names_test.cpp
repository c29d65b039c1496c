// Every control that shows a picture instead of a text has a name a screen
// reader can speak; controls whose purpose their text does not tell carry a
// description.

#include "a11y_test_support.h"

#include <QFrame>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

namespace p95::test {
namespace {

using EditorNames = TabsFixture;

// Any label on show with no text is a picture box: it must be named.
QStringList unnamedPictures(QWidget& window) {
    QStringList unnamed;
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (label->isVisible() && label->text().isEmpty() && label->frameShape() != QFrame::HLine &&
            accessibleName(label).isEmpty())
            unnamed << label->objectName();
    }
    return unnamed;
}

TEST_F(EditorNames, PlayPicturesAreNamedAfterTheirSoundsAndSayHowToUseThem) {
    choose(control<QPushButton>("Command4", 3), waveFile(QStringLiteral("beep.wav")));
    QLabel* play = control<QLabel>("Image2", 3);
    EXPECT_EQ(accessibleName(play), QStringLiteral("Play Default Beep"));
    EXPECT_TRUE(
        accessibleText(play, QAccessible::Description).contains(QStringLiteral("Menu key")));
    // Every slot, shown or not, so that none is silent once a sound is set.
    for (int i = 0; i < kSoundCount; ++i)
        EXPECT_EQ(accessibleName(control<QLabel>("Image2", i)),
                  QStringLiteral("Play ") + toQString(kSoundSlots[i].caption));
}

TEST_F(EditorNames, PlayPicturesAndColourNamesAreButtonsThatPressLikeAClick) {
    choose(control<QPushButton>("Command4", 12), waveFile(QStringLiteral("open.wav")));
    QAccessibleInterface* play =
        QAccessible::queryAccessibleInterface(control<QLabel>("Image2", 12));
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(play->role(), QAccessible::Button);
    ASSERT_NE(play->actionInterface(), nullptr);
    EXPECT_TRUE(
        play->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    play->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(fakes.audio.log.filter(QStringLiteral("Play ")),
              QStringList{QStringLiteral("Play ") + waveFile(QStringLiteral("open.wav"))});

    // A colour name presses only in own-colours mode, as with the keyboard.
    window->show();
    QAccessibleInterface* name =
        QAccessible::queryAccessibleInterface(control<QLabel>("Label4", 1));
    EXPECT_EQ(name->role(), QAccessible::Button);
    name->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(window->coloursTab().picker(), nullptr);
    control<QRadioButton>(QStringLiteral("Option13"))->click();
    name->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_NE(window->coloursTab().picker(), nullptr);
    EXPECT_EQ(window->coloursTab().picker()->colourIndex(), 1);
    window->coloursTab().picker()->close();
}

TEST_F(EditorNames, PreviewsAreNamedAfterTheirSlots) {
    EXPECT_EQ(accessibleName(control<QLabel>("Image1", 6)),
              QStringLiteral("Preview of Handwriting"));
    EXPECT_EQ(accessibleName(control<QLabel>("Image1", 13)),
              QStringLiteral("Preview of Alternate Select"));
    EXPECT_EQ(accessibleName(control<QLabel>("Image3", 0)), QStringLiteral("Preview of Wallpaper"));
    EXPECT_EQ(accessibleName(control<QLabel>("Image3", 2)),
              QStringLiteral("Preview of Network Neighbourhood"));
    EXPECT_EQ(accessibleName(control<QLabel>("Image3", 4)),
              QStringLiteral("Preview of Recycle Bin Full"));
}

TEST_F(EditorNames, NoPictureOnAnyTabIsUnnamed) {
    // Every play picture on show too.
    for (int i = 0; i < kSoundCount; ++i)
        choose(control<QPushButton>("Command4", i), waveFile(QStringLiteral("%1.wav").arg(i)));
    window->setThemeName(QStringLiteral("Ocean"));
    window->show();
    auto* tabs = control<QTabWidget>(QStringLiteral("SSTab1"));
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        EXPECT_EQ(unnamedPictures(*window), QStringList()) << "tab " << page;
    }
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(accessibleName(control<QLabel>("picHelp", i)), QStringLiteral("Help"));
}

TEST_F(EditorNames, ControlsWhoseTextDoesNotSayWhatTheyDoAreDescribed) {
    for (int i = 0; i < kColourCount; ++i) {
        QLabel* name = control<QLabel>("Label4", i);
        EXPECT_EQ(accessibleName(name), toQString(kColourSlots[i].caption));
        EXPECT_EQ(accessibleText(name, QAccessible::Description),
                  QStringLiteral("opens the colour picker"));
    }
    // The choosing buttons are captioned with a slot, not with what they do.
    EXPECT_EQ(accessibleText(control<QWidget>("Command3", 4), QAccessible::Description),
              QStringLiteral("chooses the pointer file; the Menu key offers to remove it"));
    EXPECT_EQ(accessibleText(control<QWidget>("Command4", 4), QAccessible::Description),
              QStringLiteral("chooses the sound file; the Menu key offers to remove it"));
    EXPECT_EQ(accessibleText(control<QWidget>("Command5", 4), QAccessible::Description),
              QStringLiteral("chooses the icon file; the Menu key offers to remove it"));
    EXPECT_EQ(accessibleName(control<QWidget>(QStringLiteral("txtReadMe"))),
              QStringLiteral("ReadMe text"));
}

TEST(PickerNames, BarsAndPreviewAreNamedAndThePreviewDescribesItsColour) {
    ensureApplication();
    auto* picker = new FrmColor(2, QStringLiteral("10 20 30"), QIcon());
    picker->show();
    auto* preview = picker->findChild<QFrame*>(QStringLiteral("Shape1"));
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(accessibleName(preview), QStringLiteral("Color Preview"));
    EXPECT_EQ(accessibleText(preview, QAccessible::Description),
              QStringLiteral("Red 10, green 20, blue 30"));
    // The description follows the bars.
    auto* green = picker->findChild<QScrollBar*>(QStringLiteral("HScroll2"));
    ASSERT_NE(green, nullptr);
    green->setValue(200);
    EXPECT_EQ(accessibleText(preview, QAccessible::Description),
              QStringLiteral("Red 10, green 200, blue 30"));
    const QStringList bars{QStringLiteral("Red"), QStringLiteral("Green"), QStringLiteral("Blue")};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(
            accessibleName(picker->findChild<QScrollBar*>(QStringLiteral("HScroll%1").arg(i + 1))),
            bars[i]);
    EXPECT_EQ(unnamedPictures(*picker), QStringList());
    picker->close();
}

using StartUpNames = StartUpFixture;

TEST_F(StartUpNames, TipStartAndAboutWindowsNameTheirPictures) {
    Form1* tip = flow->start();
    tip->show();
    EXPECT_EQ(accessibleName(find<QLabel>(*tip, "Image1")), QStringLiteral("Tip of the Day"));
    EXPECT_EQ(unnamedPictures(*tip), QStringList());

    FrmStart* start = reachStartWindow();
    ASSERT_NE(start, nullptr);
    start->show();
    EXPECT_EQ(accessibleName(find<QLabel>(*start, "picHelp")), QStringLiteral("Help"));
    // The name box is named by the prompt above it.
    EXPECT_EQ(accessibleName(find<QLineEdit>(*start, "Text1")),
              QStringLiteral("Please enter the name of the theme you want to create:"));
    EXPECT_EQ(unnamedPictures(*start), QStringList());

    FrmAbout* about = flow->showAbout();
    EXPECT_EQ(accessibleName(find<QLabel>(*about, "Image1")), QStringLiteral("Paletteer 95 v2.0"));
    EXPECT_EQ(unnamedPictures(*about), QStringList());
}

} // namespace
} // namespace p95::test
