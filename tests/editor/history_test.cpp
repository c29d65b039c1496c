// The editor's history and what it keeps safe: Undo and Redo of each kind of
// change, the unsaved-changes question before every action that would drop
// them, the title mark, and what the controls tell about the theme.

#include "colour/presets.h"
#include "editor_test_support.h"
#include "test_support.h"
#include "theme/get_colors.h"
#include "theme/theme_name.h"
#include "ui/frm_color.h"
#include "ui/rich_text.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>

#include <functional>

namespace p95::test {
namespace {

const QString kUnsaved =
    QStringLiteral("The theme %1 has changes that are not saved. Do you want to save them?");
const QString kQuitQuestion = QStringLiteral("Are you sure that you want to quit Paletteer 95?");

class EditorHistory : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        window = makeWindow();
        window->setThemeName(QStringLiteral("Mine"));
    }

    template <typename T = QWidget> T* control(const QString& name) {
        T* widget = window->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QAction* action(const char* name) { return control<QAction>(QString::fromLatin1(name)); }
    const ThemeDocument& doc() const { return window->document(); }

    // A file the dialog hands back, on the drive.
    QString file(const QString& name, const QByteArray& bytes = "x") {
        const QString path = tmp() + QLatin1Char('/') + name;
        writeFile(path, bytes);
        return path;
    }
    void choose(const QString& button, const QString& path) {
        fakes.fileDialog.queue(path);
        control<QPushButton>(button)->click();
    }

    // The step takes the document from one state to another, is named in
    // the menu, and Undo and Redo move between the two.
    void checkStep(const std::function<void()>& step, const QString& name) {
        SCOPED_TRACE(name.toStdString());
        const ThemeDocument before = doc();
        step();
        const ThemeDocument after = doc();
        EXPECT_NE(after, before);
        EXPECT_EQ(action("mnuUndo")->text(), QStringLiteral("&Undo ") + name);
        action("mnuUndo")->trigger();
        EXPECT_EQ(doc(), before);
        EXPECT_EQ(action("mnuRedo")->text(), QStringLiteral("&Redo ") + name);
        action("mnuRedo")->trigger();
        EXPECT_EQ(doc(), after);
    }

    // Saves under the theme's name (OK to the save's question).
    void save() {
        fakes.messages.queue(MsgAnswer::Ok);
        control<QPushButton>(QStringLiteral("Command2"))->click();
    }

    std::unique_ptr<FrmMain> window;
};

// ---------------------------------------------------------------- Undo and Redo

TEST_F(EditorHistory, TheEditMenuStandsBetweenFileAndAboutWithItsKeys) {
    QStringList menus;
    for (QAction* menu : window->menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, (QStringList{QStringLiteral("&File"), QStringLiteral("&Edit"),
                                  QStringLiteral("&About")}));
    EXPECT_EQ(action("mnuUndo")->text(), QStringLiteral("&Undo"));
    EXPECT_FALSE(action("mnuUndo")->isEnabled());
    EXPECT_EQ(action("mnuUndo")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(action("mnuRedo")->shortcuts(),
              (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Y")),
                                   QKeySequence(QStringLiteral("Ctrl+Shift+Z"))}));
}

TEST_F(EditorHistory, EachKindOfChangeIsOneNamedStepThatUndoAndRedoTakeBackAndRepeat) {
    checkStep([&] { choose(QStringLiteral("Command3_3"), file(QStringLiteral("wait.cur"))); },
              QStringLiteral("Choose Busy Pointer"));
    // The controls follow: the tooltip and the hover pointer of the emptied slot.
    action("mnuUndo")->trigger();
    EXPECT_EQ(control(QStringLiteral("Command3_3"))->toolTip(), slotToolTip(QString()));
    action("mnuRedo")->trigger();
    EXPECT_EQ(control(QStringLiteral("Command3_3"))->toolTip(),
              tmp() + QStringLiteral("/wait.cur"));

    choose(QStringLiteral("Command7"), file(QStringLiteral("sky.jpg")));
    EXPECT_TRUE(doc().jpegWallpaper);
    checkStep(
        [&] {
            fakes.messages.queue(MsgAnswer::Yes);
            window->visualsTab().removeVisual(kWallpaperIndex);
        },
        QStringLiteral("Remove Wallpaper"));
    EXPECT_FALSE(doc().jpegWallpaper);

    checkStep([&] { control<QRadioButton>(QStringLiteral("Option2_1"))->click(); },
              QStringLiteral("Tiled Wallpaper"));
    action("mnuUndo")->trigger();
    EXPECT_TRUE(control<QRadioButton>(QStringLiteral("Option2_0"))->isChecked());
    action("mnuRedo")->trigger();

    checkStep([&] { control<QRadioButton>(QStringLiteral("Option1_3"))->click(); },
              QStringLiteral("Preset ") + toQString(kPresets[3].caption));
    action("mnuUndo")->trigger();
    EXPECT_TRUE(control<QRadioButton>(QStringLiteral("Option1_0"))->isChecked());
    action("mnuRedo")->trigger();

    control<QRadioButton>(QStringLiteral("Option13"))->click();
    QString scheme;
    for (int i = 0; i < kColourCount; ++i)
        scheme += QStringLiteral("%1 2 3\r\n").arg(i);
    const QString schemeFile = file(QStringLiteral("Mine.scheme"), scheme.toLatin1());
    checkStep([&] { choose(QStringLiteral("Command12"), schemeFile); },
              QStringLiteral("Load Color Scheme"));
    EXPECT_EQ(doc().colours[24], QStringLiteral("24 2 3"));

    checkStep(
        [&] {
            window->coloursTab().Label4_Click(1);
            FrmColor* picker = window->coloursTab().picker();
            ASSERT_NE(picker, nullptr);
            picker->findChild<QScrollBar*>(QStringLiteral("HScroll1"))->setValue(200);
            picker->findChild<QScrollBar*>(QStringLiteral("HScroll2"))->setValue(100);
            picker->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
        },
        QStringLiteral("Change ") + toQString(kColourSlots[1].caption) + QStringLiteral(" Color"));
    EXPECT_EQ(doc().colours[1], QStringLiteral("200 100 3"));
}

TEST_F(EditorHistory, UsePresetAsMyColorsTakesThePresetsColoursIntoOwnColoursInOneStep) {
    QAction* usePreset = action("mnuUsePreset");
    EXPECT_EQ(usePreset->text(), QStringLiteral("Use Preset as &My Colors"));
    control<QRadioButton>(QStringLiteral("Option1_10"))->click();
    EXPECT_TRUE(usePreset->isEnabled());
    ThemeDocument travel = doc();
    GetColors(travel);

    checkStep([&] { usePreset->trigger(); }, QStringLiteral("Use Preset as My Colors"));
    EXPECT_EQ(doc().colourMode, ColourMode::Own);
    EXPECT_EQ(doc().colours, travel.colours);
    EXPECT_TRUE(control<QRadioButton>(QStringLiteral("Option13"))->isChecked());
    EXPECT_TRUE(control(QStringLiteral("Label4_0"))->isEnabled());
    EXPECT_FALSE(usePreset->isEnabled()); // own colours already
}

// ---------------------------------------------------------------- the title mark

TEST_F(EditorHistory, TheTitleMarkComesWithAChangeAndGoesWithASaveOrUndoingBackToIt) {
    EXPECT_FALSE(window->isWindowModified());
    control<QRadioButton>(QStringLiteral("Option1_2"))->click();
    EXPECT_TRUE(window->isWindowModified());
    action("mnuUndo")->trigger();
    EXPECT_FALSE(window->isWindowModified());
    action("mnuRedo")->trigger();
    EXPECT_TRUE(window->isWindowModified());

    save();
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_TRUE(QFileInfo::exists(host(themeFilePath(QStringLiteral("Mine")))));
    // Undoing past the save marks it again; redoing comes back to the saved state.
    action("mnuUndo")->trigger();
    EXPECT_TRUE(window->isWindowModified());
    action("mnuRedo")->trigger();
    EXPECT_FALSE(window->isWindowModified());
}

// ---------------------------------------------------------------- the ReadMe

TEST_F(EditorHistory, TheReadMeASaveReplacedComesBackWithUndo) {
    auto* box = control<QTextEdit>(QStringLiteral("txtReadMe"));
    const QString defaultText = plainText(*box);
    const QString typed = QStringLiteral("My own words");
    box->setPlainText(typed);
    EXPECT_EQ(doc().readMe, typed);

    fakes.messages.queue(MsgAnswer::Ok);
    fakes.messages.queue(MsgAnswer::No); // the theme gets the default ReadMe
    control<QPushButton>(QStringLiteral("Command2"))->click();
    EXPECT_EQ(doc().readMe, defaultText);
    EXPECT_EQ(plainText(*box), defaultText);
    EXPECT_FALSE(window->isWindowModified());

    EXPECT_EQ(action("mnuUndo")->text(), QStringLiteral("&Undo Default ReadMe"));
    action("mnuUndo")->trigger();
    EXPECT_EQ(doc().readMe, typed);
    EXPECT_EQ(plainText(*box), typed);
    EXPECT_TRUE(window->isWindowModified()); // the typed text is not what was saved
}

// ---------------------------------------------------------------- unsaved changes

struct SetAside {
    const char* what;
    std::function<void(FrmMain&)> run;
    enum Then { Dialog, Told, Quits } then; // what follows when it goes on
};

// Every action that would drop the edited theme.
std::vector<SetAside> setAsides() {
    const auto click = [](const char* name) {
        return
            [name](FrmMain& w) { w.findChild<QPushButton*>(QString::fromLatin1(name))->click(); };
    };
    const auto trigger = [](const char* name) {
        return [name](FrmMain& w) { w.findChild<QAction*>(QString::fromLatin1(name))->trigger(); };
    };
    return {{"Open", click("Command15"), SetAside::Dialog},
            {"Install", trigger("mnuInstall"), SetAside::Dialog},
            {"Pack", trigger("mnuPack"), SetAside::Told}, // "has not been saved yet"
            {"Exit", click("Command1"), SetAside::Quits},
            {"Ctrl+Q, mnuExit", trigger("mnuExit"), SetAside::Quits},
            {"close box", [](FrmMain& w) { w.close(); }, SetAside::Quits}};
}

TEST_F(EditorHistory, CancelToTheUnsavedQuestionStopsEveryActionThatWouldDropTheChanges) {
    window->show();
    choose(QStringLiteral("Command6"), file(QStringLiteral("calm.scr")));
    const ThemeDocument edited = doc();
    for (const SetAside& action : setAsides()) {
        SCOPED_TRACE(action.what);
        fakes.messages.shown.clear();
        const size_t dialogs = fakes.fileDialog.shown.size();
        fakes.messages.queue(MsgAnswer::Cancel);
        action.run(*window);
        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.shown[0].text, kUnsaved.arg(QStringLiteral("Mine")));
        EXPECT_EQ(fakes.messages.shown[0].buttons, MsgButtons::YesNoCancel);
        EXPECT_EQ(fakes.messages.shown[0].title, QStringLiteral("Paletteer 95"));
        EXPECT_EQ(fakes.fileDialog.shown.size(), dialogs);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(doc(), edited);
    }
    EXPECT_EQ(m_programEnds, 0);
    EXPECT_FALSE(QFileInfo::exists(host(themeFilePath(QStringLiteral("Mine")))));
}

TEST_F(EditorHistory, NoGoesOnWithoutSavingAndQuitsWithoutTheQuitQuestion) {
    const QString saver = file(QStringLiteral("calm.scr"));
    for (const SetAside& action : setAsides()) {
        SCOPED_TRACE(action.what);
        window = makeWindow();
        window->setThemeName(QStringLiteral("Mine"));
        choose(QStringLiteral("Command6"), saver);
        window->show();
        fakes.messages.shown.clear();
        const int ends = m_programEnds;
        fakes.messages.queue(MsgAnswer::No);
        if (action.then == SetAside::Dialog)
            fakes.fileDialog.queue(std::nullopt);
        if (action.then == SetAside::Told)
            fakes.messages.queue(MsgAnswer::Ok);
        action.run(*window);
        ASSERT_FALSE(fakes.messages.shown.empty());
        EXPECT_EQ(fakes.messages.shown[0].text, kUnsaved.arg(QStringLiteral("Mine")));
        EXPECT_EQ(fakes.messages.shown.size(), action.then == SetAside::Told ? 2u : 1u);
        EXPECT_TRUE(fakes.fileDialog.drained());
        EXPECT_EQ(m_programEnds, ends + (action.then == SetAside::Quits ? 1 : 0));
    }
    EXPECT_FALSE(QFileInfo::exists(host(themeFilePath(QStringLiteral("Mine")))));
}

TEST_F(EditorHistory, YesSavesFirstAndASaveThatFailsStopsTheAction) {
    choose(QStringLiteral("Command6"), file(QStringLiteral("calm.scr")));
    // Open: Yes saves, then the dialog comes.
    fakes.messages.queue(MsgAnswer::Yes);
    fakes.fileDialog.queue(std::nullopt);
    control<QPushButton>(QStringLiteral("Command15"))->click();
    EXPECT_TRUE(QFileInfo::exists(host(themeFilePath(QStringLiteral("Mine")))));
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_TRUE(fakes.fileDialog.drained());

    // A save that cannot complete (a name the save refuses) stops the quit.
    window->setThemeName(QStringLiteral("CON"));
    control<QRadioButton>(QStringLiteral("Option1_4"))->click();
    window->show();
    fakes.messages.shown.clear();
    fakes.messages.queue(MsgAnswer::Yes);
    fakes.messages.queue(MsgAnswer::Ok); // what the save says
    action("mnuExit")->trigger();
    ASSERT_EQ(fakes.messages.shown.size(), 2u);
    EXPECT_EQ(fakes.messages.shown[0].text, kUnsaved.arg(QStringLiteral("CON")));
    EXPECT_EQ(fakes.messages.shown[1].icon, MsgIcon::Warning);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(m_programEnds, 0);

    // Yes and a save that completes: the quit goes on without the quit question.
    window->setThemeName(QStringLiteral("Mine"));
    fakes.messages.shown.clear();
    fakes.messages.queue(MsgAnswer::Yes);
    window->close();
    EXPECT_EQ(fakes.messages.texts(), QStringList{kUnsaved.arg(QStringLiteral("Mine"))});
    EXPECT_EQ(m_programEnds, 1);
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_TRUE(readBytes(host(themeFilePath(QStringLiteral("Mine"))))
                    .contains((QStringLiteral("ActiveTitle=") + doc().colours[0]).toLatin1()));
}

TEST_F(EditorHistory, NothingIsAskedWhenNothingChanged) {
    fakes.fileDialog.queue(std::nullopt);
    control<QPushButton>(QStringLiteral("Command15"))->click();
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_TRUE(fakes.fileDialog.drained());

    // A change undone is no change: the quit question as it stands.
    control<QRadioButton>(QStringLiteral("Option1_5"))->click();
    action("mnuUndo")->trigger();
    window->show();
    fakes.messages.queue(MsgAnswer::No);
    window->close();
    EXPECT_EQ(fakes.messages.texts(), QStringList{kQuitQuestion});
    EXPECT_TRUE(window->isVisible());
}

// ---------------------------------------------------------------- what the controls tell

TEST_F(EditorHistory, ChooseButtonsPreviewsAndColourNamesTellWhatTheyHold) {
    const QString cur = file(QStringLiteral("arrow.cur"));
    const QString ico = file(QStringLiteral("pc.ico"));
    const QString bmp = file(QStringLiteral("clouds.bmp"));
    const QString scr = file(QStringLiteral("calm.scr"));
    const QString empty = slotToolTip(QString());
    EXPECT_FALSE(empty.isEmpty());
    for (const char* name : {"Command3_0", "Image1_0", "Command4_0", "Image2_0", "Command7",
                             "Image3_0", "Command5_1", "Image3_1", "Command6", "Icons_5"})
        EXPECT_EQ(control(QString::fromLatin1(name))->toolTip(), empty) << name;

    choose(QStringLiteral("Command3_0"), cur);
    choose(QStringLiteral("Command7"), bmp);
    choose(QStringLiteral("Command5_1"), ico);
    choose(QStringLiteral("Command6"), scr);
    const std::pair<const char*, QString> held[] = {
        {"Command3_0", cur}, {"Image1_0", cur}, {"Command7", bmp}, {"Image3_0", bmp},
        {"Command5_1", ico}, {"Image3_1", ico}, {"Command6", scr}, {"Icons_5", scr}};
    for (const auto& [name, path] : held)
        EXPECT_EQ(control(QString::fromLatin1(name))->toolTip(), path) << name;

    // The colour names: the colour text and a swatch of it.
    control<QRadioButton>(QStringLiteral("Option13"))->click();
    window->coloursTab().Label4_Click(0);
    FrmColor* picker = window->coloursTab().picker();
    ASSERT_NE(picker, nullptr);
    picker->findChild<QScrollBar*>(QStringLiteral("HScroll1"))->setValue(10);
    picker->findChild<QScrollBar*>(QStringLiteral("HScroll2"))->setValue(20);
    picker->findChild<QScrollBar*>(QStringLiteral("HScroll3"))->setValue(30);
    picker->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    const QString tip = control(QStringLiteral("Label4_0"))->toolTip();
    EXPECT_TRUE(tip.contains(QStringLiteral("10 20 30"))) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("#0a141e"))) << tip.toStdString();
}

TEST_F(EditorHistory, TheLabelsTellWhereTheThemeLivesAfterSaveAs) {
    window->startNewTheme(QStringLiteral("Ocean"));
    const QString root = toQString(kThemesRoot);
    EXPECT_EQ(control<QLabel>(QStringLiteral("lblDirectory"))->text(),
              QStringLiteral("Theme Directory:         ") + root + QStringLiteral("Ocean\\"));
    fakes.input.queue(QStringLiteral("Ocean Two"));
    action("mnuSaveAs")->trigger();
    EXPECT_EQ(control<QLabel>(QStringLiteral("ThemeName"))->text(), QStringLiteral("Ocean Two"));
    EXPECT_EQ(control<QLabel>(QStringLiteral("lblDirectory"))->text(),
              QStringLiteral("Theme Directory:         ") + root + QStringLiteral("Ocean Two\\"));
    EXPECT_EQ(control<QLabel>(QStringLiteral("lblLoadFile"))->text(),
              themeFilePath(QStringLiteral("Ocean Two")));
}

} // namespace
} // namespace p95::test
