// Every window worked from the keyboard alone: the order Tab follows, the play
// pictures and colour names as buttons, the removal pop-up, and the editor's
// menu keys whichever control has the focus.

#include "a11y_test_support.h"

#include <QAbstractButton>
#include <QHash>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextEdit>

namespace p95::test {
namespace {

QStringList names(const char* control, int from, int to) {
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << QStringLiteral("%1_%2").arg(QLatin1String(control)).arg(i);
    return out;
}

class EditorKeyboard : public TabsFixture {
protected:
    void SetUp() override {
        TabsFixture::SetUp();
        tabs = control<QTabWidget>(QStringLiteral("SSTab1"));
    }
    QStringList stopsOnPage(int page) {
        tabs->setCurrentIndex(page);
        return tabStops(*window);
    }
    QString setSound(int i) {
        const QString path = waveFile(QStringLiteral("slot%1.wav").arg(i));
        choose(control<QPushButton>("Command4", i), path);
        return path;
    }
    QMenu* removeMenu() { return control<QMenu>(QStringLiteral("mnuRem")); }
    QTabWidget* tabs = nullptr;
};

TEST_F(EditorKeyboard, TabFollowsTheColumnsOfEachTabThenTheWindowButtons) {
    window->show();
    EXPECT_TRUE(inTabOrder(stopsOnPage(0),
                           names("Command3", 0, 13) + QStringList{QStringLiteral("Command15"),
                                                                  QStringLiteral("Command2"),
                                                                  QStringLiteral("Command1")}));

    // The play picture right after its button, down each column of five.
    for (int i : {0, 4, 5, 19})
        setSound(i);
    EXPECT_TRUE(
        inTabOrder(stopsOnPage(1), {QStringLiteral("Command4_0"), QStringLiteral("Image2_0"),
                                    QStringLiteral("Command4_1"), QStringLiteral("Command4_4"),
                                    QStringLiteral("Image2_4"), QStringLiteral("Command4_5"),
                                    QStringLiteral("Image2_5"), QStringLiteral("Command4_19"),
                                    QStringLiteral("Image2_19"), QStringLiteral("Command15")}));

    // Icons, then the wallpaper with its layout, then the screen saver.
    EXPECT_TRUE(
        inTabOrder(stopsOnPage(2), {QStringLiteral("Command5_4"), QStringLiteral("Command5_3"),
                                    QStringLiteral("Command5_1"), QStringLiteral("Command5_2"),
                                    QStringLiteral("Command7"), QStringLiteral("Option2_0"),
                                    QStringLiteral("Command6")}));

    // Own colours: the names down their columns, then the scheme buttons.
    control<QRadioButton>(QStringLiteral("Option13"))->click();
    EXPECT_TRUE(inTabOrder(
        stopsOnPage(3), QStringList{QStringLiteral("Option13")} + names("Label4", 0, 24) +
                            QStringList{QStringLiteral("Command13"), QStringLiteral("Command12")}));
    // Presets: the names take no focus while they do nothing.
    control<QRadioButton>(QStringLiteral("Option14"))->click();
    const QStringList presetStops = stopsOnPage(3);
    EXPECT_FALSE(presetStops.contains(QStringLiteral("Label4_0")));
    EXPECT_TRUE(inTabOrder(presetStops, {QStringLiteral("Option14"), QStringLiteral("Option1_0")}));

    EXPECT_TRUE(
        inTabOrder(stopsOnPage(4), {QStringLiteral("chkReadMe"), QStringLiteral("Command14"),
                                    QStringLiteral("txtReadMe"), QStringLiteral("Command15")}));
}

TEST_F(EditorKeyboard, TabReachesAPlayPictureAndLeavesTheReadMeText) {
    setSound(2);
    window->show();
    tabs->setCurrentIndex(1);
    control<QPushButton>("Command4", 2)->setFocus();
    QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(window->focusWidget(), control<QWidget>("Image2", 2));

    tabs->setCurrentIndex(4);
    auto* text = control<QTextEdit>(QStringLiteral("txtReadMe"));
    text->setFocus();
    const QString before = text->toPlainText();
    QTest::keyClick(text, Qt::Key_Tab);
    EXPECT_NE(window->focusWidget(), text) << "Tab is trapped in the ReadMe text";
    EXPECT_EQ(text->toPlainText(), before);
}

TEST_F(EditorKeyboard, TheFocusIsMarkedWithoutMovingAnything) {
    setSound(1);
    control<QRadioButton>(QStringLiteral("Option13"))->click();
    ASSERT_TRUE(showActive(*window));
    for (auto [page, widget] :
         {std::pair{1, control<QLabel>("Image2", 1)}, std::pair{3, control<QLabel>("Label4", 4)}}) {
        SCOPED_TRACE(widget->objectName().toStdString());
        tabs->setCurrentIndex(page);
        const QSize hint = widget->sizeHint();
        const QRect place = widget->geometry();
        const QImage before = widget->grab().toImage();
        widget->setFocus();
        ASSERT_TRUE(widget->hasFocus());
        const QImage focused = widget->grab().toImage();
        EXPECT_NE(focused, before) << "the focus does not show";
        if (widget->hasScaledContents()) {
            // A ring in the selection colour, whatever the style's frame
            // colours, round a picture that neither moves nor is covered.
            const QRect inside = widget->contentsRect();
            ASSERT_FALSE(inside.isEmpty());
            EXPECT_NE(inside, widget->rect());
            EXPECT_EQ(focused.copy(inside), before.copy(inside));
            const QColor ring = widget->palette().color(QPalette::Highlight);
            EXPECT_NE(ring, widget->palette().color(QPalette::Window));
            for (const QPoint edge :
                 {QPoint(0, 0), QPoint(widget->width() - 1, inside.center().y()),
                  QPoint(inside.center().x(), widget->height() - 1)})
                EXPECT_EQ(QColor(focused.pixel(edge)), ring) << edge.x() << "," << edge.y();
        }
        EXPECT_EQ(widget->sizeHint(), hint);
        EXPECT_EQ(widget->geometry(), place);
        control<QPushButton>(QStringLiteral("Command15"))->setFocus();
        EXPECT_EQ(widget->grab().toImage(), before) << "the mark stays after the focus left";
    }
}

TEST_F(EditorKeyboard, NoTwoControlsOnShowShareAMnemonic) {
    control<QRadioButton>(QStringLiteral("Option13"))->click();
    window->show();
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        QHash<QKeySequence, QString> taken;
        QStringList texts;
        for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
            if (button->isVisible())
                texts << button->text();
        for (QAction* menu : window->menuBar()->actions())
            texts << menu->text();
        for (const QString& text : texts) {
            const QKeySequence key = QKeySequence::mnemonic(text);
            if (key.isEmpty())
                continue;
            EXPECT_FALSE(taken.contains(key))
                << "page " << page << ": \"" << text.toStdString() << "\" and \""
                << taken.value(key).toStdString() << "\"";
            taken.insert(key, text);
        }
    }
}

TEST_F(EditorKeyboard, SpaceOrEnterOnAPlayPicturePlaysItsSound) {
    const QString path = setSound(7);
    QLabel* play = control<QLabel>("Image2", 7);
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
        fakes.audio.log.clear();
        QTest::keyClick(play, key);
        EXPECT_EQ(fakes.audio.log.filter(QStringLiteral("Play ")),
                  QStringList{QStringLiteral("Play ") + path})
            << "key " << key;
    }
    // Holding the key down does not start the sound again and again.
    fakes.audio.log.clear();
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QApplication::sendEvent(play, &repeat);
    EXPECT_TRUE(fakes.audio.log.isEmpty()) << fakes.audio.log.join(QLatin1Char(',')).toStdString();
    // Other keys are not a play.
    QTest::keyClick(play, Qt::Key_A);
    QTest::keyClick(play, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_TRUE(fakes.audio.log.isEmpty());
}

TEST_F(EditorKeyboard, MenuKeyOnAPlayPictureOffersToRemoveThatSound) {
    window->show();
    tabs->setCurrentIndex(1);
    setSound(3);
    const QString kept = setSound(5);
    QLabel* play = control<QLabel>("Image2", 3);
    play->setFocus();
    QTest::keyClick(play, Qt::Key_Menu);
    QMenu* menu = removeMenu();
    ASSERT_TRUE(menu->isVisible()) << "the Menu key opened no pop-up";
    // Ready for Enter: the removal is the entry picked.
    EXPECT_EQ(menu->activeAction()->text(), QStringLiteral("&Remove from Theme"));
    fakes.messages.queue(MsgAnswer::Yes);
    QTest::keyClick(menu, Qt::Key_Return);
    ASSERT_FALSE(fakes.messages.shown.empty());
    EXPECT_EQ(fakes.messages.shown.back().text,
              QStringLiteral("Are you sure that you want to remove this sound from the theme?"));
    EXPECT_TRUE(window->document().sounds[3].isEmpty());
    EXPECT_FALSE(play->isVisible());
    EXPECT_EQ(window->document().sounds[5], kept);
}

TEST_F(EditorKeyboard, ShiftF10OpensThePopUpAndNoKeepsTheSound) {
    window->show();
    tabs->setCurrentIndex(1);
    const QString path = setSound(9);
    QLabel* play = control<QLabel>("Image2", 9);
    QTest::keyClick(play, Qt::Key_F10, Qt::ShiftModifier);
    QMenu* menu = removeMenu();
    ASSERT_TRUE(menu->isVisible());
    // The entry's mnemonic chooses it too.
    fakes.messages.queue(MsgAnswer::No);
    QTest::keyClick(menu, Qt::Key_R);
    EXPECT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(window->document().sounds[9], path);
    EXPECT_TRUE(play->isVisible());
}

TEST_F(EditorKeyboard, SpaceOnAColourNameOpensThePickerOnlyForOwnColours) {
    window->show();
    tabs->setCurrentIndex(3);
    QLabel* name = control<QLabel>("Label4", 8);
    // Preset mode: the names are off and do nothing.
    QTest::keyClick(name, Qt::Key_Space);
    EXPECT_EQ(window->coloursTab().picker(), nullptr);

    control<QRadioButton>(QStringLiteral("Option13"))->click();
    QTest::keyClick(name, Qt::Key_Space);
    FrmColor* picker = window->coloursTab().picker();
    ASSERT_NE(picker, nullptr);
    EXPECT_TRUE(picker->isVisible());
    EXPECT_EQ(picker->colourIndex(), 8);
    // Enter on another name points the open picker at it.
    QTest::keyClick(control<QLabel>("Label4", 20), Qt::Key_Return);
    EXPECT_EQ(window->coloursTab().picker(), picker);
    EXPECT_EQ(picker->colourIndex(), 20);
    picker->close();
}

TEST_F(EditorKeyboard, CtrlAInTheReadMeTextRunsSaveAsNotSelectAll) {
    ASSERT_TRUE(showActive(*window));
    tabs->setCurrentIndex(4);
    auto* text = control<QTextEdit>(QStringLiteral("txtReadMe"));
    text->setFocus();
    fakes.input.queue(QString()); // Cancel
    QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
    ASSERT_EQ(fakes.input.asked.size(), 1u) << "Save As was not asked";
    EXPECT_EQ(fakes.input.asked[0].prompt,
              QStringLiteral("What would you like to call your saved theme?"));
    EXPECT_FALSE(text->textCursor().hasSelection());
}

TEST_F(EditorKeyboard, MenuKeysWorkWhicheverControlHasTheFocus) {
    setSound(0);
    control<QRadioButton>(QStringLiteral("Option13"))->click();
    window->setThemeName(QStringLiteral("Keys")); // a name the save can take
    ASSERT_TRUE(showActive(*window));
    const QString saveQuestion =
        QStringLiteral("Are you sure you want to save this theme as Keys.theme?");
    const QString quitQuestion = QStringLiteral("Are you sure that you want to quit Paletteer 95?");
    struct Focus {
        int page;
        QWidget* widget;
    };
    const Focus focuses[] = {{4, control<QWidget>(QStringLiteral("txtReadMe"))},
                             {1, control<QWidget>("Image2", 0)},
                             {3, control<QWidget>("Label4", 0)},
                             {0, control<QWidget>("Command3", 0)}};
    for (const Focus& focus : focuses) {
        SCOPED_TRACE(focus.widget->objectName().toStdString());
        tabs->setCurrentIndex(focus.page);
        focus.widget->setFocus();
        const size_t shown = fakes.messages.shown.size();
        fakes.messages.queue(MsgAnswer::Cancel);
        QTest::keyClick(focus.widget, Qt::Key_S, Qt::ControlModifier);
        fakes.messages.queue(MsgAnswer::No);
        QTest::keyClick(focus.widget, Qt::Key_Q, Qt::ControlModifier);
        fakes.fileDialog.queue(std::nullopt);
        QTest::keyClick(focus.widget, Qt::Key_O, Qt::ControlModifier);
        ASSERT_EQ(fakes.messages.shown.size(), shown + 2);
        EXPECT_EQ(fakes.messages.shown[shown].text, saveQuestion);
        EXPECT_EQ(fakes.messages.shown[shown + 1].text, quitQuestion);
        EXPECT_EQ(fakes.fileDialog.shown.back().dialogTitle,
                  QStringLiteral("Choose a Theme to Open"));
    }
    EXPECT_TRUE(fakes.fileDialog.drained());
    EXPECT_EQ(m_programEnds, 0);
}

using PickerKeyboard = ::testing::Test;

TEST_F(PickerKeyboard, TheBarsAreReachedWithTabAndMovedWithArrows) {
    ensureApplication();
    auto* picker = new FrmColor(0, QStringLiteral("100 100 100"), QIcon());
    picker->show();
    EXPECT_TRUE(
        inTabOrder(tabStops(*picker), {QStringLiteral("HScroll1"), QStringLiteral("HScroll2"),
                                       QStringLiteral("HScroll3"), QStringLiteral("Command2"),
                                       QStringLiteral("Command1")}));
    auto* blue = picker->findChild<QScrollBar*>(QStringLiteral("HScroll3"));
    QTest::keyClick(blue, Qt::Key_Right);
    QTest::keyClick(blue, Qt::Key_PageUp);
    EXPECT_EQ(picker->colour().blue, 111);
    picker->close();
}

using StartUpKeyboard = StartUpFixture;

TEST_F(StartUpKeyboard, EachStartUpWindowHasATabOrderFromTopToBottom) {
    Form1* tip = flow->start();
    tip->show();
    EXPECT_EQ(tabStops(*tip),
              QStringList({QStringLiteral("Command2"), QStringLiteral("Command1")}));

    FrmStart* start = reachStartWindow();
    ASSERT_NE(start, nullptr);
    start->show();
    EXPECT_EQ(tabStops(*start), QStringList({QStringLiteral("Text1"), QStringLiteral("Command1"),
                                             QStringLiteral("Command2")}));
    EXPECT_EQ(start->focusWidget(), find<QWidget>(*start, "Text1"));

    FrmAbout* about = flow->showAbout();
    EXPECT_EQ(tabStops(*about), QStringList({QStringLiteral("Command2"), QStringLiteral("Command3"),
                                             QStringLiteral("Command1")}));
}

TEST_F(StartUpKeyboard, EnterInTheNameBoxContinuesAndMnemonicsPressTheirButtons) {
    FrmStart* start = reachStartWindow();
    ASSERT_NE(start, nullptr);
    ASSERT_TRUE(showActive(*start));
    // Alt+O: "&Open a Theme" (cancelled).
    fakes.fileDialog.queue(std::nullopt);
    QTest::keyClick(find<QWidget>(*start, "Text1"), Qt::Key_O, Qt::AltModifier);
    // A mnemonic presses its button the way a click looks: after a moment.
    EXPECT_TRUE(QTest::qWaitFor([this] { return !fakes.fileDialog.shown.empty(); }, 2000));
    // Enter with an empty name: the default button refuses it.
    QTest::keyClick(find<QWidget>(*start, "Text1"), Qt::Key_Return);
    EXPECT_EQ(fakes.messages.texts(),
              QStringList{QStringLiteral("You must enter a name for your theme")});
}

} // namespace
} // namespace p95::test
