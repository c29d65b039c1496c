// The editor window itself: what load leaves on show, the menus and their
// shortcuts, the quit question, the birthday and the background.

#include "editor/background.h"
#include "editor/birthday.h"
#include "editor_test_support.h"

#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

namespace p95::test {
namespace {

using EditorWindow = EditorFixture;

TEST_F(EditorWindow, OpensOnTheSoundsTabWithTheFiveTabsInOrder) {
    auto window = makeWindow();
    auto* tabs = find<QTabWidget>(*window, "SSTab1");
    ASSERT_EQ(tabs->count(), 5);
    const QStringList captions{QStringLiteral("Mouse Pointers"), QStringLiteral("Sounds"),
                               QStringLiteral("Visuals"), QStringLiteral("Colors"),
                               QStringLiteral("ReadMe File")};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(tabs->tabText(i), captions[i]);
    EXPECT_EQ(tabs->currentIndex(), 1);
}

TEST_F(EditorWindow, LoadLeavesPresetModeCenterTheFirstPresetAndNoPlayPicture) {
    auto window = makeWindow();
    for (int k = 0; k < kPresetCount; ++k) {
        const auto name = QStringLiteral("Option1_%1").arg(k).toLatin1();
        auto* preset = find<QRadioButton>(*window, name.constData());
        EXPECT_TRUE(preset->isEnabled()) << k;
        EXPECT_EQ(preset->isChecked(), k == 0) << k;
    }
    EXPECT_TRUE(find<QRadioButton>(*window, "Option14")->isChecked());
    EXPECT_TRUE(find<QRadioButton>(*window, "Option2_0")->isChecked());
    for (int i = 0; i < kSoundCount; ++i) {
        const auto name = QStringLiteral("Image2_%1").arg(i).toLatin1();
        EXPECT_TRUE(find<QLabel>(*window, name.constData())->isHidden()) << i;
    }
    // Preset mode: the colour names and the scheme buttons do not react.
    EXPECT_FALSE(find<QLabel>(*window, "Label4_0")->isEnabled());
    EXPECT_FALSE(find<QLabel>(*window, "Label4_24")->isEnabled());
    EXPECT_FALSE(find<QLabel>(*window, "Label6")->isEnabled());
    EXPECT_FALSE(find<QPushButton>(*window, "Command12")->isEnabled());
    EXPECT_FALSE(find<QPushButton>(*window, "Command13")->isEnabled());

    const ThemeDocument& doc = window->document();
    EXPECT_EQ(doc.colourMode, ColourMode::Preset);
    EXPECT_EQ(doc.preset, 0);
    EXPECT_FALSE(doc.tiled);
    EXPECT_EQ(doc.readMe, QStringLiteral("Thank you for using this theme.\nEnjoy it!"));
}

TEST_F(EditorWindow, WritingIntoLoadTextLoadsTheWindowWithoutShowingIt) {
    FrmMain window(fakes.services(), m_files);
    EXPECT_FALSE(window.isLoaded());
    window.loadText()->setText(QStringLiteral("Load"));
    EXPECT_TRUE(window.isLoaded());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(find<QLabel>(window, "lblHelp_0")->text(), helpText(0));
}

TEST_F(EditorWindow, HelpPanelsStandOnTheWindowAndOnTheirTabs) {
    auto window = makeWindow();
    const char* const owners[kHelpPanelCount] = {"frmMainClient", "tabPointers", "tabSounds",
                                                 "tabVisuals",    "tabColors",   "tabReadMe",
                                                 "tabColors"};
    for (int i = 0; i < kHelpPanelCount; ++i) {
        const auto name = QStringLiteral("lblHelp_%1").arg(i).toLatin1();
        QLabel* label = find<QLabel>(*window, name.constData());
        QWidget* owner = label;
        while (owner && owner->objectName() != QLatin1String(owners[i]))
            owner = owner->parentWidget();
        EXPECT_NE(owner, nullptr) << "help panel " << i << " is not on " << owners[i];
        EXPECT_FALSE(label->text().isEmpty());
    }
    EXPECT_TRUE(helpText(3).startsWith(QString(12, QLatin1Char(' '))));
}

TEST_F(EditorWindow, TheColourModeSwitchesEnableTheirControls) {
    auto window = makeWindow();
    find<QRadioButton>(*window, "Option13")->click();
    EXPECT_EQ(window->document().colourMode, ColourMode::Own);
    EXPECT_TRUE(find<QLabel>(*window, "Label4_12")->isEnabled());
    EXPECT_TRUE(find<QPushButton>(*window, "Command12")->isEnabled());
    EXPECT_FALSE(find<QRadioButton>(*window, "Option1_3")->isEnabled());

    find<QRadioButton>(*window, "Option14")->click();
    EXPECT_EQ(window->document().colourMode, ColourMode::Preset);
    EXPECT_FALSE(find<QLabel>(*window, "Label4_12")->isEnabled());
    EXPECT_TRUE(find<QRadioButton>(*window, "Option1_3")->isEnabled());
}

TEST_F(EditorWindow, GetColorsCopiesTheChosenPresetIntoTheColourTexts) {
    auto window = makeWindow();
    find<QRadioButton>(*window, "Option1_10")->click(); // "Travel"
    window->GetColors();
    EXPECT_EQ(window->document().colours[0], QStringLiteral("64 72 120"));
    EXPECT_EQ(find<QLabel>(*window, "Label7_0")->text(), QStringLiteral("64 72 120"));

    // In own-colours mode the texts stay.
    find<QRadioButton>(*window, "Option13")->click();
    find<QRadioButton>(*window, "Option1_0")->setChecked(true);
    window->GetColors();
    EXPECT_EQ(window->document().colours[0], QStringLiteral("64 72 120"));
}

// ---------------------------------------------------------------- menus and shortcuts

class EditorCommands : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        window = makeWindow();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override {
        // The window goes without its question.
        window->setEndProgram([] {});
        fakes.messages.queue(MsgAnswer::Yes);
        window->close();
    }
    QAction* action(const char* name) { return find<QAction>(*window, name); }
    void press(int key) { QTest::keyClick(window.get(), Qt::Key(key), Qt::ControlModifier); }

    std::unique_ptr<FrmMain> window;
};

TEST_F(EditorCommands, OpenButtonMenuAndCtrlOShowTheSameDialog) {
    for (int way = 0; way < 3; ++way)
        fakes.fileDialog.queue(std::nullopt);
    find<QPushButton>(*window, "Command15")->click();
    action("mnuOpen")->trigger();
    press(Qt::Key_O);
    ASSERT_EQ(fakes.fileDialog.shown.size(), 3u);
    for (const CommonDialog& shown : fakes.fileDialog.shown) {
        EXPECT_EQ(shown.dialogTitle, QStringLiteral("Choose a Theme to Open"));
        EXPECT_EQ(shown.filter, QStringLiteral("Themes (*.theme)|*.theme"));
        EXPECT_EQ(shown.initDir, QStringLiteral("C:\\Program Files\\Plus!\\Themes\\"));
        EXPECT_EQ(shown.defaultExt, QStringLiteral(".theme"));
        EXPECT_EQ(shown.filterIndex, 1);
        EXPECT_TRUE(shown.fileName.isEmpty());
    }
}

TEST_F(EditorCommands, SaveButtonMenuAndCtrlSAskTheSameQuestion) {
    window->setThemeName(QStringLiteral("Ocean"));
    for (int way = 0; way < 3; ++way)
        fakes.messages.queue(MsgAnswer::Cancel);
    find<QPushButton>(*window, "Command2")->click();
    action("mnuSave")->trigger();
    press(Qt::Key_S);
    ASSERT_EQ(fakes.messages.shown.size(), 3u);
    for (const auto& shown : fakes.messages.shown) {
        EXPECT_EQ(shown.text,
                  QStringLiteral("Are you sure you want to save this theme as Ocean.theme?"));
        EXPECT_EQ(shown.buttons, MsgButtons::OkCancel);
        EXPECT_EQ(shown.icon, MsgIcon::None);
        EXPECT_EQ(shown.title, QStringLiteral("Paletteer 95"));
    }
}

TEST_F(EditorCommands, SaveAsMenuAndCtrlAAskForTheName) {
    window->setThemeName(QStringLiteral("Ocean"));
    fakes.input.queue(QString());
    fakes.input.queue(QString());
    action("mnuSaveAs")->trigger();
    press(Qt::Key_A);
    ASSERT_EQ(fakes.input.asked.size(), 2u);
    for (const auto& asked : fakes.input.asked) {
        EXPECT_EQ(asked.prompt, QStringLiteral("What would you like to call your saved theme?"));
        EXPECT_EQ(asked.title, QStringLiteral("Paletteer 95"));
        EXPECT_EQ(asked.defaultAnswer, QStringLiteral("Ocean"));
    }
}

// The tabs turn from any control, the buttons below them included, and round
// the ring both ways.
TEST_F(EditorCommands, CtrlTabTurnsTheTabsFromAButton) {
    auto* tabs = find<QTabWidget>(*window, "SSTab1");
    const int count = tabs->count();
    tabs->setCurrentIndex(count - 1);
    for (const char* name : {"Command15", "Command2", "Command1"}) {
        SCOPED_TRACE(name);
        auto* button = find<QPushButton>(*window, name);
        button->setFocus();
        const int before = tabs->currentIndex();
        QTest::keyClick(button, Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_EQ(tabs->currentIndex(), (before + 1) % count);
        QTest::keyClick(button, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(tabs->currentIndex(), before);
        QTest::keyClick(button, Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_TRUE(button->hasFocus());
    }
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_TRUE(fakes.fileDialog.shown.empty());
}

TEST_F(EditorCommands, EveryWayOfClosingAsksTheQuitQuestionAndNoKeepsTheWindow) {
    for (int way = 0; way < 4; ++way)
        fakes.messages.queue(MsgAnswer::No);
    find<QPushButton>(*window, "Command1")->click();
    action("mnuExit")->trigger();
    press(Qt::Key_Q);
    window->close(); // the close box, or the desktop closing the window
    ASSERT_EQ(fakes.messages.shown.size(), 4u);
    for (const auto& shown : fakes.messages.shown) {
        EXPECT_EQ(shown.text, QStringLiteral("Are you sure that you want to quit Paletteer 95?"));
        EXPECT_EQ(shown.buttons, MsgButtons::YesNo);
        EXPECT_EQ(shown.title, QStringLiteral("Paletteer 95"));
    }
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(m_programEnds, 0);
}

TEST_F(EditorCommands, YesEndsTheProgramFromEveryWayOfClosing) {
    const std::function<void(FrmMain&)> ways[] = {
        [](FrmMain& w) { w.findChild<QPushButton*>(QStringLiteral("Command1"))->click(); },
        [](FrmMain& w) { w.findChild<QAction*>(QStringLiteral("mnuExit"))->trigger(); },
        [](FrmMain& w) { QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier); },
        [](FrmMain& w) { w.close(); },
    };
    int expectedEnds = 0;
    for (const auto& way : ways) {
        auto other = makeWindow();
        other->show();
        other->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(other.get()));
        bool signalled = false;
        QObject::connect(other.get(), &FrmMain::programEnding, [&] { signalled = true; });
        fakes.messages.queue(MsgAnswer::Yes);
        way(*other);
        EXPECT_TRUE(signalled);
        EXPECT_EQ(m_programEnds, ++expectedEnds);
        EXPECT_FALSE(other->isVisible());
        // Once ending, the window closes without asking again.
        const size_t asked = fakes.messages.shown.size();
        other->close();
        EXPECT_EQ(fakes.messages.shown.size(), asked);
    }
}

TEST_F(EditorCommands, AboutEntryAsksForTheAboutWindow) {
    int requests = 0;
    QObject::connect(window.get(), &FrmMain::aboutRequested, [&] { ++requests; });
    action("mnuAbout95")->trigger();
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(action("mnuAbout95")->text(), QStringLiteral("&About Paletteer 95"));
}

// ---------------------------------------------------------------- the birthday

// Records whether the tune's file was there under its MIDI name when opened.
class WitnessDevice : public FakeMciDevice {
public:
    Status command(const QString& command) override {
        if (command == QStringLiteral("Open")) {
            midiPresentAtOpen = QFile::exists(hostMidi);
            if (failOpen) {
                log << command + QLatin1Char(' ') + fileName();
                return Error{QStringLiteral("Opening the device"), fileName(),
                             QStringLiteral("no sound device")};
            }
        }
        return FakeMciDevice::command(command);
    }
    Status waitUntilLoaded(int timeoutMs) override {
        waitedMs = timeoutMs;
        return {};
    }
    bool failOpen = false;
    bool midiPresentAtOpen = false;
    int waitedMs = -1;
    QString hostMidi; // where the renamed tune must be while it is opened
};

class Birthday : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        writeFile(m_programDir + QStringLiteral("/theme.cat"), "MThd tune");
        device.hostMidi = m_programDir + QStringLiteral("/theme.mid");
    }
    QString load(QDate date) {
        fakes.clock.date = date;
        Services services = fakes.services();
        Services withDevice{
            services.fileDialog, services.messages,  services.input, services.choice, device,
            services.pictures,   services.clipboard, services.clock};
        FrmMain window(withDevice, m_files);
        window.ensureLoaded();
        return window.findChild<QLabel*>(QStringLiteral("Label5"))->text();
    }
    WitnessDevice device;
};

TEST_F(Birthday, OnTwelfthJanuaryThePlayerGetsTheTuneAndTheGreetingShows) {
    EXPECT_EQ(load(QDate(2027, 1, 12)), birthdayGreeting());
    const QString midi = QStringLiteral("C:\\Program Files\\Paletteer 95\\theme.mid");
    EXPECT_EQ(device.log,
              (QStringList{QStringLiteral("Open ") + midi, QStringLiteral("Play ") + midi,
                           QStringLiteral("Prev ") + midi}));
    EXPECT_TRUE(device.midiPresentAtOpen);
    EXPECT_TRUE(device.deviceType().isEmpty());
    EXPECT_EQ(device.waitedMs, kTuneLoadWaitMs);
    EXPECT_TRUE(QFile::exists(m_programDir + QStringLiteral("/theme.cat")));
    EXPECT_FALSE(QFile::exists(m_programDir + QStringLiteral("/theme.mid")));
}

TEST_F(Birthday, TheTuneGoesBackUnderItsNameWhenPlayingFails) {
    device.failOpen = true;
    EXPECT_EQ(load(QDate(2030, 1, 12)), birthdayGreeting());
    EXPECT_EQ(device.log.size(), 1);
    EXPECT_TRUE(QFile::exists(m_programDir + QStringLiteral("/theme.cat")));
    EXPECT_FALSE(QFile::exists(m_programDir + QStringLiteral("/theme.mid")));
}

TEST_F(Birthday, ADeviceLeftOpenIsClosedFirst) {
    device.setFileName(QStringLiteral("/tmp/earlier.wav"));
    ASSERT_TRUE(device.command(QStringLiteral("Open")).ok());
    device.log.clear();
    load(QDate(2027, 1, 12));
    ASSERT_FALSE(device.log.isEmpty());
    EXPECT_EQ(device.log.first(), QStringLiteral("Close /tmp/earlier.wav"));
}

TEST_F(Birthday, OtherDaysKeepTheCreditLineAndPlayNothing) {
    for (const QDate date : {QDate(2027, 1, 11), QDate(2027, 2, 12), QDate(2027, 12, 1)}) {
        const QString credit = load(date);
        EXPECT_NE(credit, birthdayGreeting()) << date.toString().toStdString();
        EXPECT_FALSE(credit.isEmpty());
    }
    EXPECT_TRUE(device.log.isEmpty());
    EXPECT_TRUE(QFile::exists(m_programDir + QStringLiteral("/theme.cat")));
}

TEST_F(Birthday, AMissingTuneStillGreetsAndPlaysNothing) {
    QFile::remove(m_programDir + QStringLiteral("/theme.cat"));
    EXPECT_EQ(load(QDate(2027, 1, 12)), birthdayGreeting());
    EXPECT_TRUE(device.log.isEmpty());
}

// ---------------------------------------------------------------- the background

TEST(Background, SixtyThreeBandsDownToNearBlackOnASmallWindow) {
    QImage image(40, 100, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    {
        QPainter painter(&image);
        paintBackground(painter, image.size());
    }
    // 100 / 63 = 1 pixel per band; the last band takes the rest.
    for (int k = 0; k < kBackgroundBands; ++k) {
        const QColor expected(0, std::max(0, 130 - 4 * k), std::max(0, 255 - 4 * k));
        EXPECT_EQ(image.pixelColor(20, k), expected) << "band " << k;
    }
    EXPECT_EQ(image.pixelColor(0, 62), QColor(0, 0, 7));
    EXPECT_EQ(image.pixelColor(39, 99), QColor(0, 0, 7));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(0, 130, 255));
}

TEST(Background, BandsAreTheOuterHeightDividedBySixtyThree) {
    EXPECT_EQ(backgroundBandHeight(630), 10);
    EXPECT_EQ(backgroundBandHeight(692), 10);
    EXPECT_EQ(backgroundBandHeight(20), 1); // never zero: every band is painted
}

TEST_F(EditorWindow, TheWindowPaintsTheBandsBehindItsControls) {
    auto window = makeWindow();
    const QImage image = window->grab().toImage();
    const int bandHeight = backgroundBandHeight(window->frameGeometry().height());
    // The left margin, below the menu bar, shows the background.
    const int menuBottom = window->menuWidget()->geometry().bottom();
    int sampled = 0;
    for (int k = 0; k < kBackgroundBands; ++k) {
        const int y = k * bandHeight + bandHeight / 2;
        if (y <= menuBottom + 1 || y >= image.height())
            continue;
        EXPECT_EQ(image.pixelColor(1, y), backgroundBandColour(k)) << "band " << k;
        ++sampled;
    }
    EXPECT_GT(sampled, 40);
}

TEST_F(EditorWindow, TheWindowHasAFixedSizeThatHoldsItsLayout) {
    auto window = makeWindow();
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_GE(window->width(), window->minimumSizeHint().width());
    EXPECT_GE(window->height(), window->minimumSizeHint().height());
}

} // namespace
} // namespace p95::test
