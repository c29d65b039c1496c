// The Mouse Pointers and Sounds tabs: choosing, hover pointers, playing and
// removing sounds.

#include "tabs_test_support.h"

#include <QAction>
#include <QMenu>
#include <QTest>

namespace p95::test {
namespace {

using PointersTabTest = TabsFixture;

TEST_F(PointersTabTest, StartHoverPointersAreTheStandardShapesAndThePenForHandwriting) {
    const StandardPointer shapes[kPointerCount] = {
        StandardPointer::Arrow,     StandardPointer::ArrowQuestion, StandardPointer::ArrowHourglass,
        StandardPointer::Hourglass, StandardPointer::Cross,         StandardPointer::IBeam,
        StandardPointer::Arrow,     StandardPointer::NoDrop,        StandardPointer::SizeNS,
        StandardPointer::SizeWE,    StandardPointer::SizeNWSE,      StandardPointer::SizeNESW,
        StandardPointer::SizeAll,   StandardPointer::UpArrow};
    for (int i = 0; i < kPointerCount; ++i) {
        if (i == 6)
            continue;
        EXPECT_EQ(control<QPushButton>("Command3", i)->cursor().shape(),
                  fakes.pictures.standardPointer(shapes[i]).shape())
            << i;
    }
    // The pen comes with the start window, which asks the tab for it.
    EXPECT_FALSE(fakes.pictures.cursors.contains(programFile("pen.cuz")));
    window->pointersTab().showHandwritingPointer();
    EXPECT_TRUE(fakes.pictures.cursors.contains(programFile("pen.cuz")));
    EXPECT_EQ(control<QPushButton>("Command3", 6)->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(PointersTabTest, AnAniPointerKeepsTheHourglassAndALaterCurReplacesIt) {
    auto* busy = control<QPushButton>("Command3", 3);
    const Qt::CursorShape hourglass = busy->cursor().shape();

    const QString spin = aniFile(QStringLiteral("spin.ani"));
    const QString spin2 = aniFile(QStringLiteral("spin2.ani"));
    const CommonDialog dialog = choose(busy, spin);
    EXPECT_EQ(dialog.dialogTitle, QStringLiteral("Choose an arrow for Busy"));
    EXPECT_EQ(dialog.filter,
              QStringLiteral("Cursor Files (*.cur)|*.cur|Animated Cursors (*.ani)|*.ani"));
    EXPECT_EQ(dialog.filterIndex, 1);
    EXPECT_EQ(dialog.defaultExt, QStringLiteral(".cur"));
    EXPECT_EQ(text("Source", 3), spin);
    EXPECT_EQ(window->document().pointers[3], spin);
    EXPECT_EQ(fakes.pictures.loaded.last(), programFile("ani.bmz"));
    EXPECT_FALSE(control<QLabel>("Image1", 3)->pixmap().isNull());
    EXPECT_EQ(busy->cursor().shape(), hourglass);
    EXPECT_TRUE(fakes.pictures.cursors.filter(QStringLiteral("spin")).isEmpty());

    // The dialog opens with an empty file name, not the last choice.
    EXPECT_TRUE(choose(busy, QStringLiteral("/cursors/wait.cur")).fileName.isEmpty());
    EXPECT_EQ(text("Source", 3), QStringLiteral("/cursors/wait.cur"));
    EXPECT_EQ(window->document().pointers[3], QStringLiteral("/cursors/wait.cur"));
    EXPECT_EQ(fakes.pictures.cursors.last(), QStringLiteral("/cursors/wait.cur"));
    EXPECT_EQ(busy->cursor().shape(), Qt::PointingHandCursor);

    // An .ani over a .cur replaces the path but keeps the chosen hover pointer.
    choose(busy, spin2);
    EXPECT_EQ(window->document().pointers[3], spin2);
    EXPECT_EQ(busy->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(fakes.messages.shown.empty());
}

// ARROW.CUR and ARROW.ANI, as DOS-era files are named, count like their
// lower-case names; other endings and Cancel keep the earlier choice.
TEST_F(PointersTabTest, EndingsCountInAnyLetterCaseAndCancelKeepsTheEarlierChoice) {
    auto* button = control<QPushButton>("Command3", 13);
    choose(button, QStringLiteral("/cursors/ARROW.CUR"));
    EXPECT_EQ(text("Source", 13), QStringLiteral("/cursors/ARROW.CUR"));
    EXPECT_EQ(fakes.pictures.cursors.last(), QStringLiteral("/cursors/ARROW.CUR"));
    EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
    const int cursorLoads = int(fakes.pictures.cursors.size());

    // An animated one in upper case: its placeholder, and the hover pointer stays.
    const QString animated = aniFile(QStringLiteral("ARROW.ANI"));
    choose(button, animated);
    EXPECT_EQ(window->document().pointers[13], animated);
    EXPECT_EQ(fakes.pictures.loaded.last(), programFile("ani.bmz"));
    EXPECT_EQ(fakes.pictures.cursors.size(), cursorLoads);
    choose(button, QStringLiteral("/cursors/up.Cur"));
    EXPECT_EQ(text("Source", 13), QStringLiteral("/cursors/up.Cur"));

    for (const char* ignored : {"/cursors/readme.txt", "/cursors/up.cur.bak", "/cursors/CUR"}) {
        choose(button, QString::fromLatin1(ignored));
        EXPECT_EQ(text("Source", 13), QStringLiteral("/cursors/up.Cur")) << ignored;
    }
    choose(button, std::nullopt);
    EXPECT_EQ(window->document().pointers[13], QStringLiteral("/cursors/up.Cur"));
    EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(PointersTabTest, ACurFileThatIsNotACursorIsRefusedAndTheSlotKeepsItsValue) {
    auto* button = control<QPushButton>("Command3", 0);
    choose(button, QStringLiteral("/cursors/good.cur"));
    fakes.pictures.missing.insert(QStringLiteral("/cursors/broken.cur"));
    choose(button, QStringLiteral("/cursors/broken.cur"));
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].title, QStringLiteral("Paletteer 95"));
    EXPECT_TRUE(fakes.messages.shown[0].text.contains(QStringLiteral("/cursors/broken.cur")));
    EXPECT_EQ(window->document().pointers[0], QStringLiteral("/cursors/good.cur"));
    EXPECT_EQ(text("Source", 0), QStringLiteral("/cursors/good.cur"));
}

// Random bytes named .ani would go into the theme as a pointer: refused like
// a broken .cur, the slot keeping its value; an empty file and a RIFF file of
// another form alike.
TEST_F(PointersTabTest, ARandomBytesAniIsRefusedAndTheSlotKeepsItsValue) {
    auto* button = control<QPushButton>("Command3", 2);
    const QString good = aniFile(QStringLiteral("good.ani"));
    choose(button, good);
    const QString random = tmp() + QStringLiteral("/cursors/random.ani");
    QByteArray bytes(4096, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 7919 + 13) % 251);
    writeFile(random, bytes);
    const QString empty = tmp() + QStringLiteral("/cursors/empty.ani");
    writeFile(empty, QByteArray());
    const QString wave = waveFile(QStringLiteral("sound.ani"));
    for (const QString& refused : {random, empty, wave}) {
        fakes.messages.shown.clear();
        choose(button, refused);
        ASSERT_EQ(fakes.messages.shown.size(), 1u) << refused.toStdString();
        EXPECT_EQ(fakes.messages.shown[0].icon, MsgIcon::Warning);
        EXPECT_TRUE(fakes.messages.shown[0].text.contains(refused));
        EXPECT_TRUE(
            fakes.messages.shown[0].text.contains(QStringLiteral("not an animated pointer")));
        EXPECT_EQ(window->document().pointers[2], good);
        EXPECT_EQ(text("Source", 2), good);
    }
}

// A file too large for a package is told when chosen; the theme can still be
// saved with it, so the choice stands.
TEST_F(PointersTabTest, AFileTooLargeForAPackageIsToldWhenChosen) {
    const QString large = aniFile(QStringLiteral("large.ani"));
    QFile file(large);
    ASSERT_TRUE(file.resize((qint64(64) << 20) + 1)); // sparse: no disk taken
    const QString limit = aniFile(QStringLiteral("limit.ani"));
    QFile atLimit(limit);
    ASSERT_TRUE(atLimit.resize(qint64(64) << 20));
    choose(control<QPushButton>("Command3", 1), limit);
    EXPECT_TRUE(fakes.messages.shown.empty());
    choose(control<QPushButton>("Command3", 0), large);
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(fakes.messages.shown[0].text.contains(large));
    EXPECT_TRUE(fakes.messages.shown[0].text.contains(QStringLiteral("larger than 64 MiB")));
    EXPECT_EQ(window->document().pointers[0], large);
}

// Any pointer can be emptied again: the pop-up of its button or its preview,
// then Yes. The button shows the pointer of its role again.
TEST_F(PointersTabTest, RemoveFromThemeEmptiesThatPointerAndItsPreview) {
    auto* busy = control<QPushButton>("Command3", 3);
    const Qt::CursorShape hourglass = busy->cursor().shape();
    choose(busy, QStringLiteral("/cursors/wait.cur"));
    choose(control<QPushButton>("Command3", 4), QStringLiteral("/cursors/cross.cur"));
    auto* menu = window->findChild<QMenu*>(QStringLiteral("mnuRem"));
    auto* remove = window->findChild<QAction*>(QStringLiteral("mnuRemove"));
    ASSERT_TRUE(menu && remove);

    QTest::mousePress(busy, Qt::RightButton);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
    fakes.messages.queue(MsgAnswer::No);
    remove->trigger();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text,
              QStringLiteral("Are you sure that you want to remove this pointer from the theme?"));
    EXPECT_EQ(fakes.messages.shown[0].title, QStringLiteral("Paletteer 95"));
    EXPECT_EQ(fakes.messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(window->document().pointers[3], QStringLiteral("/cursors/wait.cur"));
    EXPECT_EQ(busy->cursor().shape(), Qt::PointingHandCursor);

    QTest::mousePress(control<QLabel>("Image1", 3), Qt::RightButton);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
    fakes.messages.queue(MsgAnswer::Yes);
    remove->trigger();
    EXPECT_TRUE(window->document().pointers[3].isEmpty());
    EXPECT_TRUE(text("Source", 3).isEmpty());
    EXPECT_TRUE(control<QLabel>("Image1", 3)->pixmap().isNull());
    EXPECT_EQ(busy->cursor().shape(), hourglass);
    EXPECT_EQ(window->document().pointers[4], QStringLiteral("/cursors/cross.cur"));
    EXPECT_FALSE(control<QLabel>("Image1", 4)->pixmap().isNull());

    // An empty slot has nothing to offer.
    QTest::mousePress(busy, Qt::RightButton);
    QTest::keyClick(busy, Qt::Key_Menu);
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(fakes.messages.shown.size(), 2u);
}

// ---------------------------------------------------------------- sounds

class SoundsTabTest : public TabsFixture {
protected:
    QString wave(const char* name) { return waveFile(QLatin1String(name)); }
    void chooseSound(int i, const QString& path) {
        choose(control<QPushButton>("Command4", i), path);
    }
    QString sound(int i) { return control<QLineEdit>("Text1", i)->text(); }
    QLabel* playPicture(int i) { return control<QLabel>("Image2", i); }
};

TEST_F(SoundsTabTest, AnUpperCaseWavFillsItsSlotAndShowsItsPlayPicture) {
    const CommonDialog dialog = choose(control<QPushButton>("Command4", 3), wave("DING.WAV"));
    EXPECT_EQ(dialog.dialogTitle, QStringLiteral("Choose the sound for Default Beep"));
    EXPECT_EQ(dialog.filter, QStringLiteral("Sounds (*.wav)|*.wav"));
    EXPECT_EQ(dialog.filterIndex, 1);
    EXPECT_EQ(dialog.defaultExt, QStringLiteral(".wav"));
    EXPECT_TRUE(dialog.fileName.isEmpty());

    EXPECT_EQ(sound(3), wave("DING.WAV"));
    EXPECT_EQ(window->document().sounds[3], wave("DING.WAV"));
    EXPECT_FALSE(playPicture(3)->isHidden());
    EXPECT_EQ(fakes.audio.deviceType(), QStringLiteral("WaveAudio"));
    EXPECT_EQ(fakes.audio.fileName(), wave("DING.WAV"));
    // Choosing does not play.
    EXPECT_TRUE(fakes.audio.log.isEmpty());
    for (int i = 0; i < kSoundCount; ++i)
        EXPECT_EQ(playPicture(i)->isHidden(), i != 3) << i;
}

TEST_F(SoundsTabTest, TheLastSlotWorksLikeTheOthers) {
    const CommonDialog dialog = choose(control<QPushButton>("Command4", 19), wave("start.Wav"));
    EXPECT_EQ(dialog.dialogTitle, QStringLiteral("Choose the sound for Start Windows"));
    EXPECT_EQ(window->document().sounds[19], wave("start.Wav"));
    EXPECT_FALSE(playPicture(19)->isHidden());
}

TEST_F(SoundsTabTest, OtherEndingsAndCancelKeepTheSlotAndTheDeviceIsClosedAfterTheDialog) {
    chooseSound(0, wave("a.wav"));
    QTest::mouseClick(playPicture(0), Qt::LeftButton);
    ASSERT_EQ(fakes.audio.mode(), MciMode::Playing);

    // The device is closed after the dialog, whatever its outcome.
    chooseSound(0, wave("song.mp3"));
    EXPECT_EQ(fakes.audio.mode(), MciMode::NotOpen);
    EXPECT_EQ(fakes.audio.log.last(), QStringLiteral("Close "));
    EXPECT_EQ(sound(0), wave("a.wav"));

    QTest::mouseClick(playPicture(0), Qt::LeftButton);
    fakes.fileDialog.queue(std::nullopt);
    control<QPushButton>("Command4", 0)->click();
    EXPECT_EQ(fakes.audio.log.last(), QStringLiteral("Close "));
    EXPECT_EQ(sound(0), wave("a.wav"));
    EXPECT_EQ(window->document().sounds[0], wave("a.wav"));
}

TEST_F(SoundsTabTest, PlayingASecondSoundClosesTheFirstDevice) {
    chooseSound(0, wave("a.wav"));
    chooseSound(1, wave("b.wav"));
    QTest::mouseClick(playPicture(0), Qt::LeftButton);
    QTest::mouseClick(playPicture(1), Qt::LeftButton);
    EXPECT_EQ(
        fakes.audio.log,
        QStringList(
            {QStringLiteral("Open ") + wave("a.wav"), QStringLiteral("Play ") + wave("a.wav"),
             QStringLiteral("Prev ") + wave("a.wav"), QStringLiteral("Close ") + wave("a.wav"),
             QStringLiteral("Open ") + wave("b.wav"), QStringLiteral("Play ") + wave("b.wav"),
             QStringLiteral("Prev ") + wave("b.wav")}));
}

TEST_F(SoundsTabTest, PressingShowsThePressedPictureAndReleasingRestoresItThenPlays) {
    chooseSound(4, wave("d.wav"));
    QTest::mousePress(playPicture(4), Qt::LeftButton);
    EXPECT_EQ(fakes.pictures.loaded.last(), programFile("play2.bmz"));
    EXPECT_TRUE(fakes.audio.log.isEmpty());
    QTest::mouseRelease(playPicture(4), Qt::LeftButton);
    EXPECT_EQ(fakes.pictures.loaded.last(), programFile("play.bmz"));
    EXPECT_EQ(fakes.audio.log.first(), QStringLiteral("Open ") + wave("d.wav"));

    // Any button but the right one presses it; only the left one plays.
    fakes.audio.log.clear();
    QTest::mousePress(playPicture(4), Qt::MiddleButton);
    EXPECT_EQ(fakes.pictures.loaded.last(), programFile("play2.bmz"));
    QTest::mouseRelease(playPicture(4), Qt::MiddleButton);
    EXPECT_EQ(fakes.pictures.loaded.last(), programFile("play.bmz"));
    EXPECT_TRUE(fakes.audio.log.isEmpty());
}

TEST_F(SoundsTabTest, RightClickThenYesRemovesExactlyThatSound) {
    chooseSound(5, wave("empty.wav"));
    chooseSound(6, wave("bang.wav"));
    const int loadsBefore = int(fakes.pictures.loaded.size());

    QTest::mousePress(playPicture(5), Qt::RightButton);
    auto* menu = window->findChild<QMenu*>(QStringLiteral("mnuRem"));
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(fakes.pictures.loaded.size(), loadsBefore); // no pressed look
    EXPECT_EQ(window->soundsTab().currentSound(), 5);
    menu->hide();

    auto* remove = window->findChild<QAction*>(QStringLiteral("mnuRemove"));
    ASSERT_NE(remove, nullptr);
    EXPECT_EQ(remove->text(), QStringLiteral("&Remove from Theme"));
    fakes.messages.queue(MsgAnswer::No);
    remove->trigger();
    EXPECT_EQ(sound(5), wave("empty.wav"));

    fakes.messages.queue(MsgAnswer::Yes);
    remove->trigger();
    ASSERT_EQ(fakes.messages.shown.size(), 2u);
    EXPECT_EQ(fakes.messages.shown[1].text,
              QStringLiteral("Are you sure that you want to remove this sound from the theme?"));
    EXPECT_EQ(fakes.messages.shown[1].title, QStringLiteral("Paletteer 95"));
    EXPECT_EQ(fakes.messages.shown[1].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(sound(5).isEmpty());
    EXPECT_TRUE(window->document().sounds[5].isEmpty());
    EXPECT_TRUE(playPicture(5)->isHidden());
    EXPECT_EQ(sound(6), wave("bang.wav"));
    EXPECT_FALSE(playPicture(6)->isHidden());

    // The emptied slot plays nothing.
    window->soundsTab().Image2_Click(5);
    EXPECT_TRUE(fakes.audio.log.isEmpty());
}

// The sound's button offers the pop-up too: a right click, the Menu key and
// Shift+F10, each with the sounds' question.
TEST_F(SoundsTabTest, TheSoundButtonOffersRemoveFromTheme) {
    auto* menu = window->findChild<QMenu*>(QStringLiteral("mnuRem"));
    ASSERT_NE(menu, nullptr);
    auto* button = control<QPushButton>("Command4", 7);
    chooseSound(7, wave("chord.wav"));
    chooseSound(8, wave("ding.wav"));

    QTest::mousePress(button, Qt::RightButton);
    ASSERT_TRUE(menu->isVisible());
    menu->hide();
    fakes.messages.queue(MsgAnswer::No);
    window->findChild<QAction*>(QStringLiteral("mnuRemove"))->trigger();
    EXPECT_EQ(sound(7), wave("chord.wav"));
    EXPECT_TRUE(fakes.fileDialog.drained()); // the right click chose no file

    button->setFocus();
    QTest::keyClick(button, Qt::Key_Menu);
    ASSERT_TRUE(menu->isVisible());
    fakes.messages.queue(MsgAnswer::No);
    QTest::keyClick(menu, Qt::Key_Return);
    EXPECT_EQ(sound(7), wave("chord.wav"));

    QTest::keyClick(button, Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(menu->isVisible());
    fakes.messages.queue(MsgAnswer::Yes);
    QTest::keyClick(menu, Qt::Key_Return);
    ASSERT_EQ(fakes.messages.shown.size(), 3u);
    for (const auto& shown : fakes.messages.shown)
        EXPECT_EQ(
            shown.text,
            QStringLiteral("Are you sure that you want to remove this sound from the theme?"));
    EXPECT_TRUE(window->document().sounds[7].isEmpty());
    EXPECT_TRUE(playPicture(7)->isHidden());
    EXPECT_EQ(window->document().sounds[8], wave("ding.wav"));
}

// No sound device, a file gone since it was chosen, or one the player cannot
// read (found only once it has tried): each is said, not passed in silence.
TEST_F(SoundsTabTest, ASoundThatCannotBePlayedIsReported) {
    struct Failing : FakeMciDevice {
        bool failOpen = false;
        Status command(const QString& c) override {
            if (failOpen && c == QStringLiteral("Open"))
                return Error{QStringLiteral("Opening"), fileName(), QStringLiteral("no device")};
            return FakeMciDevice::command(c);
        }
        bool failLoad = false;
        Status waitUntilLoaded(int timeoutMs) override {
            const Status loaded = FakeMciDevice::waitUntilLoaded(timeoutMs);
            if (failLoad)
                return Error{QStringLiteral("Loading"), fileName(),
                             QStringLiteral("unreadable data")};
            return loaded;
        }
    };
    // 0: no device to open; 1: a file the player cannot read; 2: no sound
    // server or sound card, which the player itself does not report.
    const QString reasons[] = {QStringLiteral("no device"), QStringLiteral("unreadable data"),
                               QStringLiteral("no sound output was found")};
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        Failing device;
        device.failOpen = way == 0;
        device.failLoad = way == 1;
        device.output = way != 2;
        FakeServices& f = fakes;
        f.messages.shown.clear();
        FrmMain other(Services{f.fileDialog, f.messages, f.input, f.choice, device, f.pictures,
                               f.clipboard, f.clock},
                      m_files);
        other.ensureLoaded();
        f.fileDialog.queue(wave("stop.wav"));
        other.findChild<QPushButton*>(QStringLiteral("Command4_2"))->click();
        other.soundsTab().Image2_Click(2);
        ASSERT_EQ(f.messages.shown.size(), 1u);
        EXPECT_TRUE(f.messages.shown[0].text.contains(reasons[way]))
            << f.messages.shown[0].text.toStdString();
        EXPECT_EQ(f.messages.shown[0].title, QStringLiteral("Paletteer 95"));
        EXPECT_TRUE(device.log.filter(QStringLiteral("Play")).isEmpty());
    }
}

TEST_F(SoundsTabTest, AFileThatIsNoWaveSoundIsRefusedAndTheSlotKeepsItsValue) {
    chooseSound(2, wave("stop.wav"));
    const QString notes = tmp() + QStringLiteral("/sounds/notes.wav");
    writeFile(notes, "just some notes\r\n");
    chooseSound(2, notes);
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].title, QStringLiteral("Paletteer 95"));
    EXPECT_TRUE(fakes.messages.shown[0].text.contains(notes));
    EXPECT_TRUE(fakes.messages.shown[0].text.contains(QStringLiteral("not a RIFF file")));
    EXPECT_EQ(sound(2), wave("stop.wav"));
    EXPECT_EQ(window->document().sounds[2], wave("stop.wav"));
}

} // namespace
} // namespace p95::test
