// The Visuals tab: icons, screen saver and wallpaper with the JPEG rule.

#include "tabs_test_support.h"

#include <QAction>
#include <QMenu>
#include <QTabWidget>
#include <QTest>

namespace p95::test {
namespace {

class VisualsTabTest : public TabsFixture {
protected:
    QPushButton* wallpaper() { return control<QPushButton>(QStringLiteral("Command7")); }
    QString icons(int k) { return window->document().icons[k]; }
};

TEST_F(VisualsTabTest, AJpgWallpaperSetsTheFlagAndShowsThePlaceholderABitmapClearsIt) {
    const CommonDialog dialog = choose(wallpaper(), QStringLiteral("/pictures/Sky.JPG"));
    EXPECT_EQ(dialog.dialogTitle, QStringLiteral("Wallpaper Picture"));
    EXPECT_EQ(dialog.filter,
              QStringLiteral("Picture Files (*.bmp)|*.bmp|JPG Backgrounds (*.jpg)|*.jpg"));
    EXPECT_EQ(dialog.filterIndex, 2);
    EXPECT_EQ(dialog.defaultExt, QStringLiteral(".jpg"));
    EXPECT_EQ(icons(0), QStringLiteral("/pictures/Sky.JPG"));
    EXPECT_EQ(window->document().icons[0], QStringLiteral("/pictures/Sky.JPG"));
    EXPECT_TRUE(window->document().jpegWallpaper);
    EXPECT_EQ(fakes.pictures.loaded.last(), programFile("unavailable.bmz"));
    EXPECT_FALSE(control<QLabel>("Image3", 0)->pixmap().isNull());
    EXPECT_FALSE(fakes.pictures.loaded.contains(QStringLiteral("/pictures/Sky.JPG")));

    choose(wallpaper(), QStringLiteral("/pictures/clouds.bmp"));
    EXPECT_FALSE(window->document().jpegWallpaper);
    EXPECT_EQ(window->document().icons[0], QStringLiteral("/pictures/clouds.bmp"));
    EXPECT_EQ(fakes.pictures.loaded.last(), QStringLiteral("/pictures/clouds.bmp"));

    choose(wallpaper(), QStringLiteral("/pictures/lower.jpg"));
    EXPECT_TRUE(window->document().jpegWallpaper);
    choose(wallpaper(), QStringLiteral("/pictures/mixed.Jpg"));
    EXPECT_TRUE(window->document().jpegWallpaper);
    EXPECT_EQ(window->document().icons[0], QStringLiteral("/pictures/mixed.Jpg"));
}

TEST_F(VisualsTabTest, TheBarePatternAndCancelChangeNothing) {
    choose(wallpaper(), QStringLiteral("/pictures/clouds.bmp"));
    const ThemeDocument before = window->document();
    choose(wallpaper(), QStringLiteral("*.jpg"));
    choose(wallpaper(), std::nullopt);
    choose(control<QPushButton>("Command5", 1), std::nullopt);
    choose(control<QPushButton>(QStringLiteral("Command6")), std::nullopt);
    EXPECT_EQ(window->document(), before);
    EXPECT_EQ(icons(0), QStringLiteral("/pictures/clouds.bmp"));
}

TEST_F(VisualsTabTest, EachIconDialogIsTitledAfterItsButton) {
    const char* const captions[] = {"", "My Computer", "Network Neighbourhood", "Recycle Bin Empty",
                                    "Recycle Bin Full"};
    for (int k = 1; k <= 4; ++k) {
        const QString path = QStringLiteral("/icons/%1.ico").arg(k);
        const CommonDialog dialog = choose(control<QPushButton>("Command5", k), path);
        EXPECT_EQ(dialog.dialogTitle,
                  QString::fromLatin1(captions[k]) + QStringLiteral(" Picture"));
        EXPECT_EQ(dialog.filter, QStringLiteral("Picture Files (*.ico)|*.ico"));
        EXPECT_EQ(dialog.filterIndex, 1);
        EXPECT_EQ(dialog.defaultExt, QStringLiteral(".ico"));
        EXPECT_EQ(icons(k), path);
        EXPECT_EQ(window->document().icons[k], path);
        EXPECT_FALSE(control<QLabel>("Image3", k)->pixmap().isNull());
    }
    EXPECT_EQ(fakes.fileDialog.shown[3].dialogTitle, QStringLiteral("Recycle Bin Full Picture"));
}

TEST_F(VisualsTabTest, APictureThatCannotBeLoadedIsRefusedAndTheSlotKeepsItsValue) {
    choose(control<QPushButton>("Command5", 2), QStringLiteral("/icons/net.ico"));
    choose(wallpaper(), QStringLiteral("/pictures/Sky.jpg"));
    const ThemeDocument before = window->document();

    fakes.pictures.missing.insert(QStringLiteral("/icons/broken.ico"));
    fakes.pictures.missing.insert(QStringLiteral("/pictures/broken.bmp"));
    choose(control<QPushButton>("Command5", 2), QStringLiteral("/icons/broken.ico"));
    choose(wallpaper(), QStringLiteral("/pictures/broken.bmp"));

    ASSERT_EQ(fakes.messages.shown.size(), 2u);
    EXPECT_TRUE(fakes.messages.shown[0].text.contains(QStringLiteral("/icons/broken.ico")));
    EXPECT_TRUE(fakes.messages.shown[1].text.contains(QStringLiteral("/pictures/broken.bmp")));
    for (const auto& shown : fakes.messages.shown) {
        EXPECT_EQ(shown.title, QStringLiteral("Paletteer 95"));
        EXPECT_EQ(shown.buttons, MsgButtons::Ok);
    }
    // The JPEG flag stays with the wallpaper that stays.
    EXPECT_EQ(window->document(), before);
    EXPECT_EQ(icons(2), QStringLiteral("/icons/net.ico"));
    EXPECT_EQ(icons(0), QStringLiteral("/pictures/Sky.jpg"));
}

TEST_F(VisualsTabTest, TheScreenSaverPathShowsInItsVisibleCaptionOnly) {
    const CommonDialog dialog = choose(control<QPushButton>(QStringLiteral("Command6")),
                                       QStringLiteral("/savers/calm.scr"));
    EXPECT_EQ(dialog.dialogTitle, QStringLiteral("Select a Screen Saver for your theme"));
    EXPECT_EQ(dialog.filter, QStringLiteral("Screen Savers (*.scr)|*.scr"));
    EXPECT_EQ(dialog.filterIndex, 1);
    EXPECT_EQ(dialog.defaultExt, QStringLiteral(".scr"));
    EXPECT_EQ(icons(5), QStringLiteral("/savers/calm.scr"));
    EXPECT_FALSE(control<QLabel>(QStringLiteral("Icons_5"))->isHidden());
    EXPECT_EQ(window->document().icons[5], QStringLiteral("/savers/calm.scr"));
    // Not loaded as a picture, and no other slot changed.
    EXPECT_FALSE(fakes.pictures.loaded.contains(QStringLiteral("/savers/calm.scr")));
    for (int k = 0; k < 5; ++k)
        EXPECT_TRUE(icons(k).isEmpty()) << k;
}

// Each visual slot can be emptied again through its button's pop-up (here
// from the keyboard, the Menu key and Enter) or its preview's; the question
// names what goes. The other slots stay.
TEST_F(VisualsTabTest, RemoveFromThemeEmptiesThatSlotAndItsPreview) {
    choose(control<QPushButton>("Command5", 1), QStringLiteral("/icons/pc.ico"));
    choose(control<QPushButton>("Command5", 4), QStringLiteral("/icons/full.ico"));
    choose(wallpaper(), QStringLiteral("/pictures/Sky.JPG"));
    choose(control<QPushButton>(QStringLiteral("Command6")), QStringLiteral("/savers/calm.scr"));
    auto* menu = window->findChild<QMenu*>(QStringLiteral("mnuRem"));
    ASSERT_NE(menu, nullptr);
    window->show();
    control<QTabWidget>(QStringLiteral("SSTab1"))->setCurrentIndex(2);

    const struct {
        QWidget* control;
        int k;
        const char* what;
    } cases[] = {{control<QPushButton>("Command5", 1), 1, "this icon"},
                 {control<QLabel>("Image3", 0), 0, "the wallpaper"},
                 {control<QPushButton>(QStringLiteral("Command6")), 5, "the screen saver"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fakes.messages.shown.clear();
        const QString before = icons(c.k);
        if (qobject_cast<QPushButton*>(c.control)) {
            c.control->setFocus();
            QTest::keyClick(c.control, Qt::Key_Menu);
            ASSERT_TRUE(menu->isVisible());
            fakes.messages.queue(MsgAnswer::No);
            QTest::keyClick(menu, Qt::Key_Return);
            EXPECT_EQ(icons(c.k), before);
            QTest::keyClick(c.control, Qt::Key_F10, Qt::ShiftModifier);
            ASSERT_TRUE(menu->isVisible());
            fakes.messages.queue(MsgAnswer::Yes);
            QTest::keyClick(menu, Qt::Key_Return);
        } else {
            QTest::mousePress(c.control, Qt::RightButton);
            ASSERT_TRUE(menu->isVisible());
            menu->hide();
            fakes.messages.queue(MsgAnswer::Yes);
            window->findChild<QAction*>(QStringLiteral("mnuRemove"))->trigger();
        }
        ASSERT_FALSE(fakes.messages.shown.empty());
        EXPECT_EQ(fakes.messages.shown.back().text,
                  QStringLiteral("Are you sure that you want to remove %1 from the theme?")
                      .arg(QLatin1String(c.what)));
        EXPECT_TRUE(window->document().icons[c.k].isEmpty());
        EXPECT_TRUE(icons(c.k).isEmpty());
        if (c.k < kScreenSaverIndex) {
            EXPECT_TRUE(control<QLabel>("Image3", c.k)->pixmap().isNull());
        }
    }
    EXPECT_FALSE(window->document().jpegWallpaper);
    EXPECT_EQ(window->document().icons[4], QStringLiteral("/icons/full.ico"));
    EXPECT_FALSE(control<QLabel>("Image3", 4)->pixmap().isNull());
}

} // namespace
} // namespace p95::test
