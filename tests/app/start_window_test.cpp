// The start window: naming a new theme, the checks on the name, the
// hand-over through the loading window, opening a theme, and quitting.

#include "app_test_support.h"
#include "platform/pictures/fonts.h"

#include <QAction>
#include <QFontInfo>
#include <QGroupBox>
#include <QMenu>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

namespace p95::test {
namespace {

const QString kThemes = QStringLiteral("Program Files/Plus!/Themes/");
const QString kOverwrite = QStringLiteral(
    "The theme name you have chosen already exists. If you wish to continue, the file may be "
    "overwritten or damaged. Do you wish to continue?");
const QString kQuit = QStringLiteral("Are you sure that you want to quit Paletteer 95?");

using StartWindow = StartUpFixture;

TEST_F(StartWindow, LoadsItsControlsAndGivesTheHandwritingButtonThePenPointer) {
    FrmStart* start = reachStartWindow();
    EXPECT_EQ(start->windowTitle(), QStringLiteral("Paletteer 95"));
    EXPECT_EQ(find<QGroupBox>(*start, "Frame1")->title(), QStringLiteral("Your Theme"));
    EXPECT_EQ(find<QLabel>(*start, "Label1")->text(), QStringLiteral("Paletteer 95 v2.0"));
    EXPECT_EQ(find<QPushButton>(*start, "Command1")->text(), QStringLiteral("&Continue......"));
    EXPECT_TRUE(find<QPushButton>(*start, "Command1")->isDefault());
    EXPECT_EQ(find<QPushButton>(*start, "Command2")->text(), QStringLiteral("&Open a Theme"));
    EXPECT_EQ(find<QLabel>(*start, "lblHelp")->text(),
              QStringLiteral("All files needed by your theme will be copied into a new directory "
                             "named after your theme. This directory will be displayed when you "
                             "click Continue..."));
    EXPECT_TRUE(find<QLineEdit>(*start, "Text1")->text().isEmpty());
    EXPECT_EQ(start->focusWidget(), find<QLineEdit>(*start, "Text1"));

    const QString pen = programDirectory() + QStringLiteral("\\pen.cuz");
    EXPECT_TRUE(fakes.pictures.cursors.contains(pen));
    // The fake gives every loaded pointer the pointing hand.
    EXPECT_EQ(editor->pointerButton(6)->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_NE(editor->pointerButton(5)->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(fakes.pictures.icons.contains(programDirectory() + QStringLiteral("\\theme.icp")));
}

TEST_F(StartWindow, AMissingPenPointerKeepsTheStandardOne) {
    const Qt::CursorShape before = editor->pointerButton(6)->cursor().shape();
    fakes.pictures.missing.insert(programDirectory() + QStringLiteral("\\pen.cuz"));
    reachStartWindow();
    EXPECT_EQ(editor->pointerButton(6)->cursor().shape(), before);
}

TEST_F(StartWindow, TheAboutMenuHoldsItsItemsInOrder) {
    FrmStart* start = reachStartWindow();
    auto* menu = find<QMenu>(*start, "mnuAbout");
    EXPECT_EQ(menu->title(), QStringLiteral("&About"));
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0]->objectName(), QStringLiteral("mnuAbout1"));
    EXPECT_EQ(items[0]->text(), QStringLiteral("&About Paletteer 95"));
    EXPECT_EQ(items[1]->objectName(), QStringLiteral("mnuDash"));
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[2]->objectName(), QStringLiteral("mnuEmail"));
    EXPECT_EQ(items[2]->text(), QStringLiteral("Copy Paletteer 95's &Email Address to Clipboard"));
    EXPECT_EQ(items[3]->objectName(), QStringLiteral("mnuHomepage"));
    EXPECT_EQ(items[3]->text(), QStringLiteral("Copy Paletteer 95's &Homepage URL to Clipboard"));
}

TEST_F(StartWindow, AnEmptyNameIsRefusedAndTheQuitQuestionIsStillAskedAfterwards) {
    FrmStart* start = reachStartWindow();
    find<QPushButton>(*start, "Command2")->setFocus();
    continueWith(*start, QString());
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text, QStringLiteral("You must enter a name for your theme"));
    EXPECT_EQ(fakes.messages.shown[0].title, QStringLiteral("Paletteer 95"));
    EXPECT_EQ(fakes.messages.shown[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(start->focusWidget(), find<QLineEdit>(*start, "Text1"));
    EXPECT_EQ(flow->loadWindow(), nullptr);
    EXPECT_FALSE(start->continuing());

    fakes.messages.queue(MsgAnswer::No);
    EXPECT_FALSE(start->close());
    EXPECT_EQ(fakes.messages.texts().last(), kQuit);
    EXPECT_TRUE(start->isVisible());

    fakes.messages.queue(MsgAnswer::Yes);
    EXPECT_TRUE(start->close());
    EXPECT_EQ(flowEnds, 1);
}

TEST_F(StartWindow, EnterInTheNameActsAsContinue) {
    FrmStart* start = reachStartWindow();
    auto* name = find<QLineEdit>(*start, "Text1");
    name->setText(QStringLiteral("Ocean"));
    QTest::keyClick(name, Qt::Key_Return);
    ASSERT_NE(flow->loadWindow(), nullptr);
    EXPECT_TRUE(start->continuing());
}

TEST_F(StartWindow, ANameThatCannotBeAFileNameIsRefusedWithFocusBack) {
    FrmStart* start = reachStartWindow();
    const QString forbidden =
        QStringLiteral("A theme name cannot contain any of the characters \\ / : * ? \" < > |");
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("Ocean:Blue"), forbidden},
        {QStringLiteral("a|b"), forbidden},
        {QStringLiteral("Sea, Sky"),
         QStringLiteral("A theme name cannot contain a comma or an equals sign, because the "
                        "theme could not be read back.")},
        {QStringLiteral("Ωmega"),
         QStringLiteral("The character \"Ω\" cannot be used in a Windows 95 file name.")},
        {QStringLiteral(".."), QStringLiteral("\"..\" cannot be used as a theme name.")},
        {QStringLiteral("   "),
         QStringLiteral("A theme name cannot end in a blank or a dot: Windows drops them, so the "
                        "theme's files would no longer match its directory.")},
        {QStringLiteral("lpt3"),
         QStringLiteral("\"lpt3\" cannot be used as a theme name: Windows keeps it for a device "
                        "(CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9).")}};
    for (const auto& [bad, text] : cases) {
        fakes.messages.shown.clear();
        continueWith(*start, bad);
        ASSERT_EQ(fakes.messages.shown.size(), 1u) << bad.toStdString();
        EXPECT_EQ(fakes.messages.shown[0].title, QStringLiteral("Paletteer 95"));
        EXPECT_EQ(fakes.messages.shown[0].text, text) << bad.toStdString();
        EXPECT_EQ(start->focusWidget(), find<QLineEdit>(*start, "Text1"));
        EXPECT_EQ(find<QLineEdit>(*start, "Text1")->text(), bad);
        EXPECT_EQ(flow->loadWindow(), nullptr);
        EXPECT_FALSE(start->continuing());
    }
}

TEST_F(StartWindow, TheOverwriteQuestionFindsEitherThemeFileAndNoKeepsEverything) {
    // Where the theme manager's own themes lie, and where this program saves.
    writeFile(onDrive(kThemes + QStringLiteral("Ocean.theme")), "[Theme]\r\n");
    writeFile(onDrive(kThemes + QStringLiteral("Forest/Forest.theme")), "[Theme]\r\n");
    FrmStart* start = reachStartWindow();
    for (const QString& name : {QStringLiteral("Ocean"), QStringLiteral("FOREST")}) {
        fakes.messages.shown.clear();
        fakes.messages.queue(MsgAnswer::No);
        continueWith(*start, name);
        ASSERT_EQ(fakes.messages.shown.size(), 1u) << name.toStdString();
        EXPECT_EQ(fakes.messages.shown[0].text, kOverwrite);
        EXPECT_EQ(fakes.messages.shown[0].title, QStringLiteral("Paletteer 95"));
        EXPECT_EQ(fakes.messages.shown[0].buttons, MsgButtons::YesNo);
        EXPECT_TRUE(start->isVisible());
        EXPECT_FALSE(start->continuing());
        EXPECT_EQ(find<QLineEdit>(*start, "Text1")->text(), name);
        EXPECT_EQ(flow->loadWindow(), nullptr);
    }
    // A theme that is not there asks nothing.
    fakes.messages.shown.clear();
    continueWith(*start, QStringLiteral("Desert"));
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_NE(flow->loadWindow(), nullptr);
}

TEST_F(StartWindow, YesToTheOverwriteQuestionGoesOn) {
    writeFile(onDrive(kThemes + QStringLiteral("Ocean.theme")), "[Theme]\r\n");
    FrmStart* start = reachStartWindow();
    fakes.messages.queue(MsgAnswer::Yes);
    continueWith(*start, QStringLiteral("Ocean"));
    ASSERT_NE(flow->loadWindow(), nullptr);
    EXPECT_TRUE(start->continuing());
    // Nothing on disk is touched here.
    EXPECT_EQ(readBytes(onDrive(kThemes + QStringLiteral("Ocean.theme"))), "[Theme]\r\n");
}

TEST_F(StartWindow, TheHandOverTakesTwentyTicks) {
    FrmStart* start = reachStartWindow();
    continueWith(*start, QStringLiteral("Ocean"));
    FrmLoad* load = flow->loadWindow();
    ASSERT_NE(load, nullptr);
    EXPECT_EQ(load->windowTitle(), QStringLiteral("Loading Paletteer 95"));
    EXPECT_EQ(find<QLabel>(*load, "Label1")->text(), QStringLiteral("LOADING..."));
    EXPECT_EQ(find<QLabel>(*load, "ThemeName")->text(), QStringLiteral("Ocean"));
    // Twenty ticks in about a second.
    EXPECT_TRUE(load->timer()->isActive());
    EXPECT_EQ(load->timer()->interval(), 50);
    auto* bar = find<QProgressBar>(*load, "ProgressBar1");
    EXPECT_EQ(bar->value(), 0);

    const QString directory = editorText("lblDirectory");
    tick(*load, 10);
    EXPECT_EQ(bar->value(), 50);
    EXPECT_TRUE(editorText("ThemeName").isEmpty());
    EXPECT_EQ(editorText("lblDirectory"), directory);

    tick(*load, 1); // the 11th: the name goes over
    EXPECT_EQ(editorText("ThemeName"), QStringLiteral("Ocean"));
    EXPECT_EQ(editor->document().name, QStringLiteral("Ocean"));
    EXPECT_EQ(editorText("lblDirectory"),
              QStringLiteral("Theme Directory:         C:\\Program Files\\Plus!\\Themes\\Ocean\\"));
    EXPECT_TRUE(start->isVisible());

    tick(*load, 1); // the 12th: the start window goes, without asking
    EXPECT_FALSE(start->isVisible());
    processDeletes();
    EXPECT_EQ(flow->startWindow(), nullptr);
    EXPECT_TRUE(fakes.messages.shown.empty());

    tick(*load, 7);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(load->isVisible());

    tick(*load, 1); // the 20th: the editor shows, the loading window goes
    EXPECT_TRUE(editor->isVisible());
    EXPECT_FALSE(load->isVisible());
    processDeletes();
    EXPECT_EQ(flow->loadWindow(), nullptr);

    EXPECT_TRUE(editorText("lblLoadFile").isEmpty());
    EXPECT_EQ(editorText("lblDirectory"),
              QStringLiteral("Theme Directory:         C:\\Program Files\\Plus!\\Themes\\Ocean\\"));
    EXPECT_EQ(flowEnds, 0);
    EXPECT_EQ(m_programEnds, 0);
}

TEST_F(StartWindow, TheLoadingWindowCannotBeClosedAndASecondContinueDoesNothing) {
    FrmStart* start = reachStartWindow();
    continueWith(*start, QStringLiteral("Ocean"));
    FrmLoad* load = flow->loadWindow();
    ASSERT_NE(load, nullptr);
    load->timer()->stop();
    EXPECT_FALSE(load->close());
    QTest::keyClick(load, Qt::Key_Escape);
    EXPECT_TRUE(load->isVisible());

    find<QPushButton>(*start, "Command1")->click();
    find<QPushButton>(*start, "Command2")->click(); // no dialog is scripted: none may show
    EXPECT_EQ(flow->loadWindow(), load);
    EXPECT_TRUE(fakes.fileDialog.shown.empty());
    // The start window closes quietly once it is being left.
    EXPECT_TRUE(start->close());
    EXPECT_TRUE(fakes.messages.shown.empty());
}

class StartWindowOpen : public StartUpFixture {
protected:
    void SetUp() override {
        StartUpFixture::SetUp();
        m_theme = tmp() + QStringLiteral("/My Themes/Ocean Breeze.theme");
        writeFile(m_theme, "[Control Panel\\Colors]\r\nWindow=1 2 3\r\n");
    }
    QString m_theme;
};

TEST_F(StartWindowOpen, ShowsTheEditorWithTheThemeReadAndClosesTheStartWindow) {
    FrmStart* start = reachStartWindow();
    fakes.fileDialog.queue(m_theme);
    find<QPushButton>(*start, "Command2")->click();

    ASSERT_EQ(fakes.fileDialog.shown.size(), 1u);
    const CommonDialog& shown = fakes.fileDialog.shown[0];
    EXPECT_EQ(shown.initDir, QStringLiteral("C:\\Program Files\\Plus!\\Themes\\"));
    EXPECT_EQ(shown.dialogTitle, QStringLiteral("Choose a Theme to Open"));
    EXPECT_EQ(shown.filter, QStringLiteral("Themes (*.theme)|*.theme"));
    EXPECT_EQ(shown.defaultExt, QStringLiteral(".theme"));
    EXPECT_EQ(shown.filterIndex, 1);

    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editorText("lblLoadFile"), m_theme);
    EXPECT_EQ(editorText("lblDirectory"), QStringLiteral("Current Theme:         ") + m_theme);
    EXPECT_EQ(editorText("ThemeName"), QStringLiteral("Ocean Breeze"));
    // The theme was read: its colour is in the window, in own-colours mode.
    const auto window = std::find_if(kColourSlots.begin(), kColourSlots.end(),
                                     [](const ColourSlot& slot) { return slot.key == "Window"; });
    ASSERT_NE(window, kColourSlots.end());
    const int index = int(window - kColourSlots.begin());
    EXPECT_EQ(editor->document().colours[index], QStringLiteral("1 2 3"));
    EXPECT_EQ(find<QLabel>(*editor, QStringLiteral("Label7_%1").arg(index).toLatin1().constData())
                  ->text(),
              QStringLiteral("1 2 3"));
    EXPECT_EQ(editor->document().colourMode, ColourMode::Own);
    EXPECT_FALSE(start->isVisible());
    processDeletes();
    EXPECT_EQ(flow->startWindow(), nullptr);
    EXPECT_EQ(flowEnds, 0);
    EXPECT_FALSE(fakes.messages.texts().contains(kQuit));
}

TEST_F(StartWindowOpen, CancelKeepsTheStartWindowAndPutsTheFocusInTheName) {
    FrmStart* start = reachStartWindow();
    fakes.fileDialog.queue(std::nullopt);
    find<QPushButton>(*start, "Command2")->click();
    EXPECT_TRUE(start->isVisible());
    EXPECT_FALSE(start->continuing());
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(start->focusWidget(), find<QLineEdit>(*start, "Text1"));
    EXPECT_TRUE(editorText("lblLoadFile").isEmpty());

    fakes.messages.queue(MsgAnswer::No);
    EXPECT_FALSE(start->close());
    EXPECT_EQ(fakes.messages.texts(), QStringList{kQuit});
}

TEST_F(StartWindowOpen, AFileThatCannotBeReadOrIsNoThemeKeepsTheStartWindowAndSaysSo) {
    FrmStart* start = reachStartWindow();
    const QString letter = tmp() + QStringLiteral("/letter.theme");
    writeFile(letter, "Dear Ann,\r\nhere is the theme you asked for.\r\n");
    const std::pair<QString, QString> cases[] = {
        {tmp() + QStringLiteral("/gone.theme"), QStringLiteral("could not be read")},
        {letter, QStringLiteral("is not a theme file")}};
    for (const auto& [path, says] : cases) {
        fakes.messages.shown.clear();
        fakes.fileDialog.queue(path);
        find<QPushButton>(*start, "Command2")->click();
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_TRUE(fakes.messages.shown[0].text.contains(path));
        EXPECT_TRUE(fakes.messages.shown[0].text.contains(says))
            << fakes.messages.shown[0].text.toStdString();
        EXPECT_EQ(fakes.messages.shown[0].title, QStringLiteral("Paletteer 95"));
        EXPECT_TRUE(start->isVisible());
        EXPECT_FALSE(start->continuing());
        EXPECT_FALSE(editor->isVisible());
        EXPECT_TRUE(editorText("ThemeName").isEmpty());
    }

    // A Cancel next time is a Cancel, not the same file again.
    fakes.messages.shown.clear();
    fakes.fileDialog.queue(std::nullopt);
    find<QPushButton>(*start, "Command2")->click();
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_TRUE(start->isVisible());
}

// Text from files and from the user is shown as it stands: a theme file named
// "<i>Ocean.theme" shows "<i>Ocean", not an italic "Ocean", and a tip in
// markup shows its tags. No label of any window reads its text as markup.
TEST_F(StartUpFixture, NamesPathsAndTipsAreShownAsTheyStandInEveryWindow) {
    writeTips("2\r\n<b>Save</b> often.\r\n");
    const QString theme = tmp() + QStringLiteral("/<u>Mine</u>/<i>Ocean.theme");
    writeFile(theme, "[Control Panel\\Colors]\r\nWindow=1 2 3\r\n");
    QStringList notPlain;
    const auto check = [&notPlain](QWidget& window) {
        for (const QLabel* label : window.findChildren<QLabel*>()) {
            if (label->textFormat() != Qt::PlainText)
                notPlain << window.objectName() + QLatin1Char('.') + label->objectName();
        }
    };

    Form1* tip = flow->start();
    EXPECT_EQ(find<QLabel>(*tip, "Label6")->text(), QStringLiteral("<b>Save</b> often."));
    check(*tip);
    FrmStart* start = reachStartWindow();
    check(*start);
    check(*flow->showAbout());
    FrmLoad* load = flow->showLoad(QStringLiteral("<i>Ocean"));
    load->timer()->stop();
    EXPECT_EQ(find<QLabel>(*load, "ThemeName")->text(), QStringLiteral("<i>Ocean"));
    check(*load);

    fakes.fileDialog.queue(theme);
    find<QPushButton>(*start, "Command2")->click();
    EXPECT_EQ(editorText("ThemeName"), QStringLiteral("<i>Ocean"));
    EXPECT_EQ(editorText("lblDirectory"), QStringLiteral("Current Theme:         ") + theme);
    EXPECT_EQ(editorText("lblLoadFile"), theme);
    check(*editor);
    editor->coloursTab().Label4_Click(0);
    ASSERT_NE(editor->coloursTab().picker(), nullptr);
    check(*editor->coloursTab().picker());
    EXPECT_TRUE(notPlain.isEmpty()) << notPlain.join(QLatin1Char(' ')).toStdString();
    editor->coloursTab().picker()->close();
}

// The program directory filled at program start: what could not be put in
// place is told once, in a box over the tip window, naming every file.
TEST_F(StartUpFixture, DataFilesThatCouldNotBePutInPlaceAreToldOnceAtStart) {
    QDir().mkpath(m_programDir + QStringLiteral("/play.bmz"));
    QDir().mkpath(m_programDir + QStringLiteral("/theme.icp"));
    ASSERT_FALSE(ensureProgramDirectory().ok());
    reachStartWindow(); // the tip window first, then Continue
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    const FakeMessageBox::Shown& told = fakes.messages.shown[0];
    EXPECT_EQ(told.title, QStringLiteral("Paletteer 95"));
    EXPECT_EQ(told.buttons, MsgButtons::Ok);
    EXPECT_TRUE(told.text.contains(QStringLiteral("play.bmz")));
    EXPECT_TRUE(told.text.contains(QStringLiteral("theme.icp")));
    EXPECT_TRUE(takeProgramDirectoryProblem().ok());
}

// The windows are fixed at the size their layouts give: none offers to
// maximize, and each names the buttons it has, so the window system adds none.
TEST_F(StartUpFixture, NoFixedSizeWindowHasAMaximizeButton) {
    const auto noMaximize = [](QWidget* window) {
        SCOPED_TRACE(window->objectName().toStdString());
        EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        EXPECT_TRUE(window->windowFlags().testFlag(Qt::CustomizeWindowHint));
        EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowTitleHint));
    };
    noMaximize(flow->start()); // the tip window goes with Continue
    QList<QWidget*> windows;
    FrmStart* start = reachStartWindow();
    windows << start << flow->showAbout() << flow->showLoad(QStringLiteral("Ocean"));
    flow->loadWindow()->timer()->stop();
    windows << editor.get();
    find<QRadioButton>(*editor, "Option13")->click();
    editor->coloursTab().Label4_Click(0);
    ASSERT_NE(editor->coloursTab().picker(), nullptr);
    windows << editor->coloursTab().picker();
    for (QWidget* window : windows)
        noMaximize(window);
    // The editor keeps its minimize and close buttons.
    EXPECT_TRUE(editor->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(editor->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(editor->minimumSize(), editor->maximumSize());
    editor->coloursTab().picker()->close();
}

// The faces the windows name come from the free fonts: Courier New as
// Liberation Mono, Comic Sans MS as Comic Neue, MS Sans Serif from Wine's
// bitmap face at one of its strikes (13, 16 or 20 pixels), the ReadMe's
// 8.5 points included -- never an italic stand-in.
TEST_F(StartUpFixture, TheFacesTheWindowsNameAreDrawnWithFreeFonts) {
    if (!installProgramFonts().msSansSerif)
        GTEST_SKIP() << "fonts-wine is not installed";
    const QFont tipHeading = find<QLabel>(*flow->start(), "Label1")->font();
    FrmStart* start = reachStartWindow(); // the tip window goes with Continue
    FrmLoad* load = flow->showLoad(QStringLiteral("Ocean"));
    load->timer()->stop();
    QLabel heading;
    heading.setObjectName(QStringLiteral("tipLabel1"));
    heading.setFont(tipHeading);
    const struct {
        QWidget* widget;
        const char* family;
    } cases[] = {{&heading, "Liberation Mono"},
                 {find<QLabel>(*start, "Label1"), "Comic Neue"},
                 {find<QLabel>(*load, "Label1"), "Comic Neue"},
                 {find<QLineEdit>(*start, "Text1"), "MS Sans Serif"},
                 {find<QTextEdit>(*editor, "txtReadMe"), "MS Sans Serif"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.widget->objectName().toStdString());
        const QFont font = qobject_cast<QTextEdit*>(c.widget)
                               ? qobject_cast<QTextEdit*>(c.widget)->document()->defaultFont()
                               : c.widget->font();
        const QFontInfo drawn(font);
        EXPECT_EQ(drawn.family(), QString::fromLatin1(c.family));
        EXPECT_FALSE(drawn.italic());
        if (drawn.family() == QStringLiteral("MS Sans Serif")) {
            EXPECT_TRUE(drawn.pixelSize() == 13 || drawn.pixelSize() == 16 ||
                        drawn.pixelSize() == 20)
                << drawn.pixelSize();
        }
    }
}

} // namespace
} // namespace p95::test
