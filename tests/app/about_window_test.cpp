// The About window: one modeless window however it is opened, and copies of
// exactly the addresses the .theme header carries.

#include "app_test_support.h"
#include "theme/product.h"
#include "theme/theme_writer.h"

#include <QAction>
#include <QMenu>
#include <QTest>

namespace p95::test {
namespace {

using AboutWindow = StartUpFixture;

const QString kHomePage = toQString(kHomePageUrl);
const QString kEmail = toQString(kContactEmail);

TEST_F(AboutWindow, ShowsTheProductAndBothAddresses) {
    FrmAbout* about = flow->showAbout();
    EXPECT_EQ(about->windowTitle(), QStringLiteral("About Paletteer 95"));
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(find<QLabel>(*about, "Label1")->text(), QStringLiteral("Paletteer 95 v2.0"));
    EXPECT_EQ(find<QLabel>(*about, "Label4")->text(),
              QStringLiteral("For FREE online help or for any questions that you want answered, "
                             "or if you have any comments or complaints, visit our internet site "
                             "at:"));
    EXPECT_EQ(find<QLabel>(*about, "Label6")->text(), kHomePage);
    EXPECT_EQ(find<QLabel>(*about, "Label7")->text(), QStringLiteral("or email:"));
    EXPECT_EQ(find<QLabel>(*about, "Label8")->text(), kEmail);
    EXPECT_EQ(find<QPushButton>(*about, "Command1")->text(), QStringLiteral("&Ok"));
    EXPECT_TRUE(find<QPushButton>(*about, "Command1")->isDefault());
    EXPECT_TRUE(fakes.pictures.loaded.contains(programDirectory() + QStringLiteral("\\theme.icp")));
}

TEST_F(AboutWindow, TheAddressesAreTheOnesTheThemeFileHeaderNames) {
    ThemeDocument doc;
    doc.name = QStringLiteral("Ocean");
    const QString header = themeFileLines(doc).mid(0, 12).join(QLatin1Char('\n'));
    EXPECT_TRUE(header.contains(kHomePage)) << header.toStdString();
    EXPECT_TRUE(header.contains(kEmail)) << header.toStdString();
}

TEST_F(AboutWindow, OpenedTwiceFromEitherMenuIsOneWindow) {
    FrmStart* start = reachStartWindow();
    find<QAction>(*start, "mnuAbout1")->trigger();
    FrmAbout* about = flow->aboutWindow();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    find<QAction>(*start, "mnuAbout1")->trigger();
    find<QAction>(*editor, "mnuAbout95")->trigger();
    EXPECT_EQ(flow->aboutWindow(), about);
    int windows = 0;
    for (QWidget* top : QApplication::topLevelWidgets())
        windows += qobject_cast<FrmAbout*>(top) != nullptr;
    EXPECT_EQ(windows, 1);
    // The start window stays usable meanwhile.
    EXPECT_TRUE(start->isEnabled());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(AboutWindow, OkClosesItAndTheNextOpeningMakesItAgain) {
    FrmAbout* about = flow->showAbout();
    QTest::keyClick(about, Qt::Key_Return);
    EXPECT_FALSE(about->isVisible());
    processDeletes();
    EXPECT_EQ(flow->aboutWindow(), nullptr);
    EXPECT_TRUE(flow->showAbout()->isVisible());
}

TEST_F(AboutWindow, TheCopyButtonsPutExactlyTheAddressOnTheClipboard) {
    FrmAbout* about = flow->showAbout();
    find<QPushButton>(*about, "Command3")->click();
    EXPECT_EQ(fakes.clipboard.text, kEmail);
    find<QPushButton>(*about, "Command2")->click();
    EXPECT_EQ(fakes.clipboard.text, kHomePage);
    EXPECT_FALSE(fakes.clipboard.text.contains(QLatin1Char('\n')));
    EXPECT_TRUE(about->isVisible());
    EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(AboutWindow, TheStartWindowsCopyItemsDoWhatTheButtonsDo) {
    FrmStart* start = reachStartWindow();
    find<QAction>(*start, "mnuEmail")->trigger();
    EXPECT_EQ(fakes.clipboard.text, kEmail);
    find<QAction>(*start, "mnuHomepage")->trigger();
    EXPECT_EQ(fakes.clipboard.text, kHomePage);
    EXPECT_EQ(flow->aboutWindow(), nullptr);
}

} // namespace
} // namespace p95::test
