// Opening and saving from the editor window, and its ReadMe tab.

#include "editor_test_support.h"
#include "test_support.h"
#include "theme/theme_name.h"
#include "ui/rich_text.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSemaphore>
#include <QTextEdit>
#include <QTimer>

namespace p95::test {
namespace {

class EditorFiles : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        // Files a theme can name, on the drive.
        writeFile(onDrive(QStringLiteral("Windows/Cursors/arrow.cur")), "cursor");
        writeFile(onDrive(QStringLiteral("Windows/Cursors/busy.ani")), "RIFF ani");
        writeFile(onDrive(QStringLiteral("Windows/Media/ding.wav")), "RIFF wave");
        writeFile(onDrive(QStringLiteral("Windows/Media/tada.wav")), "RIFF wave 2");
        writeFile(onDrive(QStringLiteral("Windows/clouds.bmp")), "BM bitmap");
        writeFile(onDrive(QStringLiteral("Windows/pc.ico")), "icon");
        writeFile(onDrive(QStringLiteral("Windows/calm.scr")), "MZ saver");
    }

    // A .theme file as the theme manager might have written it.
    QString writeSourceTheme() {
        const QString path = tmp() + QStringLiteral("/Sources/Source.theme");
        writeFile(path, "[Control Panel\\Cursors]\r\n"
                        "Arrow=C:\\Windows\\Cursors\\arrow.cur\r\n"
                        "Wait=%WinDir%Cursors\\busy.ani\r\n"
                        "[AppEvents\\Schemes\\Apps\\.Default\\SystemAsterisk\\.Current]\r\n"
                        "DefaultValue=C:\\Windows\\Media\\ding.wav\r\n"
                        "[AppEvents\\Schemes\\Apps\\.Default\\SystemStart\\.Current]\r\n"
                        "DefaultValue=%WinDir%Media\\tada.wav\r\n"
                        "[Control Panel\\Desktop]\r\n"
                        "Wallpaper=C:\\Windows\\clouds.bmp\r\n"
                        "SCRNSAVE.EXE=C:\\Windows\\calm.scr\r\n"
                        "[CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon]\r\n"
                        "DefaultValue=C:\\Windows\\pc.ico,0\r\n"
                        "[Control Panel\\Colors]\r\n"
                        "ActiveTitle=10 20 30\r\n"
                        "InfoWindow=1 2 3\r\n");
        return path;
    }

    void open(FrmMain& window, const QString& path) {
        fakes.fileDialog.queue(path);
        window.findChild<QPushButton*>(QStringLiteral("Command15"))->click();
    }

    void saveAs(FrmMain& window, const QString& name) {
        fakes.input.queue(name);
        window.findChild<QAction*>(QStringLiteral("mnuSaveAs"))->trigger();
    }

    // OK to the save's question, then the answers to the questions after it.
    void save(FrmMain& window, std::initializer_list<MsgAnswer> then = {}) {
        fakes.messages.queue(MsgAnswer::Ok);
        for (MsgAnswer answer : then)
            fakes.messages.queue(answer);
        window.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    }

    QString themeFile(const QString& name) {
        return host(QStringLiteral("C:\\Program Files\\Plus!\\Themes\\%1\\%1.theme").arg(name));
    }

    static QString text(FrmMain& window, const char* name) {
        return window.findChild<QLabel*>(QString::fromLatin1(name))->text();
    }
};

// ---------------------------------------------------------------- Open

TEST_F(EditorFiles, OpenFillsTheDocumentTheLabelsAndThePreviews) {
    auto window = makeWindow();
    const QString path = writeSourceTheme();
    open(*window, path);

    const ThemeDocument& doc = window->document();
    EXPECT_EQ(doc.name, QStringLiteral("Source"));
    EXPECT_EQ(text(*window, "ThemeName"), QStringLiteral("Source"));
    EXPECT_EQ(text(*window, "lblLoadFile"), path);
    EXPECT_EQ(text(*window, "lblDirectory"), QStringLiteral("Current Theme:         ") + path);

    EXPECT_EQ(doc.pointers[0], QStringLiteral("C:\\Windows\\Cursors\\arrow.cur"));
    EXPECT_EQ(window->findChild<QWidget*>(QStringLiteral("Command3_0"))->toolTip(),
              doc.pointers[0]);
    EXPECT_EQ(doc.pointers[3], QStringLiteral("C:\\Windows\\Cursors\\busy.ani"));
    EXPECT_EQ(doc.sounds[0], QStringLiteral("C:\\Windows\\Media\\ding.wav"));
    EXPECT_EQ(doc.sounds[19], QStringLiteral("C:\\Windows\\Media\\tada.wav"));
    EXPECT_EQ(window->findChild<QWidget*>(QStringLiteral("Image2_19"))->toolTip(), doc.sounds[19]);
    EXPECT_FALSE(window->findChild<QLabel*>(QStringLiteral("Image2_0"))->isHidden());
    EXPECT_FALSE(window->findChild<QLabel*>(QStringLiteral("Image2_19"))->isHidden());
    EXPECT_TRUE(window->findChild<QLabel*>(QStringLiteral("Image2_1"))->isHidden());
    EXPECT_EQ(text(*window, "Icons_5"), QStringLiteral("C:\\Windows\\calm.scr"));
    EXPECT_EQ(doc.icons[0], QStringLiteral("C:\\Windows\\clouds.bmp"));
    EXPECT_EQ(doc.icons[1], QStringLiteral("C:\\WINDOWS\\PC.ICO"));

    // Previews: the pointer file itself, the placeholder for the animated one.
    EXPECT_FALSE(window->findChild<QLabel*>(QStringLiteral("Image1_0"))->pixmap().isNull());
    EXPECT_FALSE(window->findChild<QLabel*>(QStringLiteral("Image1_3"))->pixmap().isNull());
    EXPECT_TRUE(
        fakes.pictures.loaded.contains(QStringLiteral("C:\\Program Files\\Paletteer 95\\ani.bmz")));
    EXPECT_TRUE(window->findChild<QLabel*>(QStringLiteral("Image1_1"))->pixmap().isNull());

    // The read colours stay in force: own-colours mode.
    EXPECT_EQ(doc.colours[0], QStringLiteral("10 20 30"));
    EXPECT_EQ(doc.colours[24], QStringLiteral("1 2 3"));
    EXPECT_TRUE(window->findChild<QLabel*>(QStringLiteral("Label4_24"))
                    ->toolTip()
                    .contains(QStringLiteral("1 2 3")));
    EXPECT_EQ(doc.colourMode, ColourMode::Own);
    EXPECT_TRUE(window->findChild<QRadioButton*>(QStringLiteral("Option13"))->isChecked());
    EXPECT_TRUE(window->findChild<QLabel*>(QStringLiteral("Label4_0"))->isEnabled());
    EXPECT_FALSE(window->findChild<QRadioButton*>(QStringLiteral("Option1_0"))->isEnabled());
    EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(EditorFiles, OpenShowsTheReadersMessagesInOrder) {
    auto window = makeWindow();
    const QString path = tmp() + QStringLiteral("/Broken.theme");
    writeFile(path, "[AppEvents\\Schemes\\Apps\\.Default\\SystemAsterisk\\.Current]\r\n"
                    "DefaultValue=C:\\Windows\\Media\\LOUD.WAV\r\n"
                    "[Control Panel\\Cursors]\r\n"
                    "Arrow=C:\\Windows\\Cursors\\gone.cur\r\n");
    fakes.pictures.missing.insert(QStringLiteral("C:\\Windows\\Cursors\\gone.cur"));
    open(*window, path);
    ASSERT_EQ(fakes.messages.shown.size(), 2u);
    EXPECT_EQ(fakes.messages.shown[0].text, QStringLiteral(".wav"));
    EXPECT_EQ(fakes.messages.shown[1].text, toQString(kLoadProblemMessage));
    for (const auto& shown : fakes.messages.shown) {
        EXPECT_EQ(shown.title, QStringLiteral("Paletteer 95"));
        EXPECT_EQ(shown.buttons, MsgButtons::Ok);
    }
    EXPECT_TRUE(window->document().pointers[0].isEmpty());

    // Its details name what was meant: the file, or the slot whose file name
    // could not be read; the sound's own message has none.
    EXPECT_TRUE(fakes.messages.shown[0].details.isEmpty());
    QStringList details = fakes.messages.shown[1].details.split(QLatin1Char('\n'));
    details.sort();
    EXPECT_EQ(details, (QStringList{slotCaption(SlotRef{SlotFamily::Sound, 0}) +
                                        QStringLiteral(" (no file name could be read)"),
                                    QStringLiteral("C:\\Windows\\Cursors\\gone.cur")}));
}

TEST_F(EditorFiles, CancellingOpenChangesNothing) {
    auto window = makeWindow();
    open(*window, writeSourceTheme());
    const ThemeDocument before = window->document();
    const QString directory = text(*window, "lblDirectory");

    fakes.fileDialog.queue(std::nullopt);
    window->findChild<QAction*>(QStringLiteral("mnuOpen"))->trigger();
    EXPECT_EQ(window->document(), before);
    EXPECT_EQ(text(*window, "lblDirectory"), directory);
}

TEST_F(EditorFiles, AFileThatCannotBeReadSaysSoAndChangesNothing) {
    auto window = makeWindow();
    window->setThemeName(QStringLiteral("Mine"));
    const ThemeDocument before = window->document();
    const QString missing = tmp() + QStringLiteral("/Nowhere/Gone.theme");
    open(*window, missing);
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(fakes.messages.shown[0].text.contains(missing));
    EXPECT_EQ(window->document(), before);
    EXPECT_TRUE(text(*window, "lblLoadFile").isEmpty());
    EXPECT_EQ(text(*window, "ThemeName"), QStringLiteral("Mine"));
    EXPECT_FALSE(readThemeToOpen(m_files, missing).ok());
}

// ---------------------------------------------------------------- Save and Save As

TEST_F(EditorFiles, CancelInTheSaveQuestionWritesNothing) {
    auto window = makeWindow();
    window->setThemeName(QStringLiteral("Quiet"));
    auto* box = window->findChild<QTextEdit*>(QStringLiteral("txtReadMe"));
    box->setPlainText(QStringLiteral("typed, not stored"));
    fakes.messages.queue(MsgAnswer::Cancel);
    window->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    EXPECT_FALSE(
        QFileInfo::exists(host(QStringLiteral("C:\\Program Files\\Plus!\\Themes\\Quiet"))));
    EXPECT_EQ(window->document().readMe, QStringLiteral("typed, not stored"));
}

TEST_F(EditorFiles, SaveWritesTheThemeAndShowsWhatItSaved) {
    auto window = makeWindow();
    window->setThemeName(QStringLiteral("Travel"));
    window->findChild<QRadioButton*>(QStringLiteral("Option1_10"))->click();
    save(*window);
    EXPECT_EQ(fakes.messages.shown.size(), 1u); // the question; success says nothing
    const QByteArray written = readBytes(themeFile(QStringLiteral("Travel")));
    EXPECT_TRUE(written.contains("ActiveTitle=64 72 120\r\n"));
    // The window shows the colours the save wrote.
    EXPECT_EQ(window->document().colours[0], QStringLiteral("64 72 120"));
}

// Text typed since the default ReadMe was stored would be lost to the save's
// reload: the save asks first.
TEST_F(EditorFiles, ChangedReadMeTextIsAskedAboutBeforeTheSaveReloadsTheDefault) {
    const QString readMeTxt = QStringLiteral("C:\\Program Files\\Plus!\\Themes\\Notes\\ReadMe.txt");
    const QString typed = QStringLiteral("typed,\u00a0not stored");
    auto window = makeWindow();
    window->setThemeName(QStringLiteral("Notes"));
    window->findChild<QCheckBox*>(QStringLiteral("chkReadMe"))->setChecked(true);
    auto* box = window->findChild<QTextEdit*>(QStringLiteral("txtReadMe"));
    box->setPlainText(typed);

    save(*window, {MsgAnswer::Cancel}); // after the save's own OK
    ASSERT_EQ(fakes.messages.shown.size(), 2u);
    EXPECT_TRUE(fakes.messages.shown[1].text.startsWith(
        QStringLiteral("The ReadMe text has changed. Save it as the default ReadMe file "
                       "first, so that this theme gets it?\n\n")));
    // It says what No does.
    EXPECT_TRUE(fakes.messages.shown[1].text.contains(
        QStringLiteral("No gives this theme the default ReadMe file as it is, and replaces the "
                       "text in the ReadMe tab")));
    EXPECT_EQ(fakes.messages.shown[1].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(fakes.messages.shown[1].title, QStringLiteral("Paletteer 95"));
    EXPECT_FALSE(QFileInfo::exists(themeFile(QStringLiteral("Notes"))));
    EXPECT_EQ(plainText(*box), typed);
    EXPECT_EQ(readBytes(m_programDir + QStringLiteral("/PersonalReadMe.txz")), kDefaultReadMeBytes);

    // Yes stores it, every character kept, and the theme gets it.
    save(*window, {MsgAnswer::Yes});
    EXPECT_EQ(readBytes(m_programDir + QStringLiteral("/PersonalReadMe.txz")),
              QByteArray("typed,\xa0not stored"));
    EXPECT_EQ(readBytes(host(readMeTxt)), QByteArray("typed,\xa0not stored"));
    EXPECT_EQ(plainText(*box), typed);

    // Unchanged, nothing is asked; No goes on with the default, as a save does.
    fakes.messages.shown.clear();
    save(*window);
    EXPECT_EQ(fakes.messages.shown.size(), 1u);
    box->setPlainText(QStringLiteral("typed again"));
    save(*window, {MsgAnswer::No});
    EXPECT_EQ(plainText(*box), typed);
    EXPECT_EQ(readBytes(host(readMeTxt)), QByteArray("typed,\xa0not stored"));
}

// A theme whose sounds are gone (sounds are not looked for when a theme opens).
TEST_F(EditorFiles, MissingFilesAreListedAndYesSavesWithoutThemNoWritesNothing) {
    auto window = makeWindow();
    open(*window, writeSourceTheme());
    QFile::remove(onDrive(QStringLiteral("Windows/Media/ding.wav")));
    QFile::remove(onDrive(QStringLiteral("Windows/calm.scr")));
    auto* play = window->findChild<QLabel*>(QStringLiteral("Image2_0"));
    ASSERT_FALSE(play->isHidden());

    fakes.messages.shown.clear();
    save(*window, {MsgAnswer::No});
    ASSERT_EQ(fakes.messages.shown.size(), 2u);
    EXPECT_EQ(fakes.messages.shown[1].text,
              QStringLiteral("These files of the theme cannot be found:\n\n"
                             "Asterisk: C:\\Windows\\Media\\ding.wav\n"
                             "Screen Saver: C:\\Windows\\calm.scr\n\n"
                             "Do you want to save the theme without them?"));
    EXPECT_EQ(fakes.messages.shown[1].buttons, MsgButtons::YesNo);
    EXPECT_FALSE(QFileInfo::exists(themeFile(QStringLiteral("Source"))));
    EXPECT_FALSE(window->document().sounds[0].isEmpty());

    save(*window, {MsgAnswer::Yes});
    EXPECT_TRUE(window->document().sounds[0].isEmpty());
    EXPECT_TRUE(window->document().icons[5].isEmpty());
    EXPECT_TRUE(play->isHidden());
    const QByteArray written = readBytes(themeFile(QStringLiteral("Source")));
    EXPECT_FALSE(written.contains("SystemAsterisk"));
    EXPECT_FALSE(written.contains("SCRNSAVE.EXE="));
    EXPECT_TRUE(written.contains("Source Start Windows.wav"));
}

TEST_F(EditorFiles, AMissingThemesFolderIsOfferedAndCreatedOnYes) {
    QDir(onDrive(QStringLiteral("Program Files/Plus!"))).removeRecursively();
    auto window = makeWindow();
    window->setThemeName(QStringLiteral("Fresh"));
    save(*window, {MsgAnswer::No});
    ASSERT_EQ(fakes.messages.shown.size(), 2u);
    EXPECT_EQ(fakes.messages.shown[1].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(fakes.messages.shown[1].text.contains(
        QDir::toNativeSeparators(onDrive(QStringLiteral("Program Files/Plus!/Themes")))))
        << fakes.messages.shown[1].text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(onDrive(QStringLiteral("Program Files/Plus!"))));

    save(*window, {MsgAnswer::Yes});
    EXPECT_TRUE(QFileInfo::exists(themeFile(QStringLiteral("Fresh"))));
    EXPECT_EQ(fakes.messages.shown.size(), 4u); // nothing after the second question
}

TEST_F(EditorFiles, ASavedThemeWhoseReadMeFailedSaysItWasSavedAndWhatFailed) {
    auto window = makeWindow();
    window->setThemeName(QStringLiteral("Half"));
    window->findChild<QCheckBox*>(QStringLiteral("chkReadMe"))->setChecked(true);
    QDir().mkpath(host(QStringLiteral("C:\\Program Files\\Plus!\\Themes\\Half\\ReadMe.txt")));
    save(*window);
    ASSERT_EQ(fakes.messages.shown.size(), 2u);
    EXPECT_TRUE(fakes.messages.shown[1].text.startsWith(
        QStringLiteral("The theme Half was saved, but one step did not complete.")))
        << fakes.messages.shown[1].text.toStdString();
    EXPECT_TRUE(fakes.messages.shown[1].text.contains(QStringLiteral("ReadMe")));
    EXPECT_TRUE(QFileInfo::exists(themeFile(QStringLiteral("Half"))));
}

TEST_F(EditorFiles, AFileThatIsNoThemeIsRefusedAndChangesNothing) {
    auto window = makeWindow();
    window->setThemeName(QStringLiteral("Mine"));
    const ThemeDocument before = window->document();
    const QString junk = tmp() + QStringLiteral("/Junk.theme");
    QByteArray bytes(4096, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 7919 + 13) % 251);
    writeFile(junk, bytes);
    open(*window, junk);
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text,
              QStringLiteral("The file \"%1\" is not a theme file: none of the sections and keys "
                             "of a theme are in it. Nothing has been changed.")
                  .arg(junk));
    EXPECT_EQ(window->document(), before);
    EXPECT_EQ(text(*window, "ThemeName"), QStringLiteral("Mine"));
    EXPECT_FALSE(readThemeToOpen(m_files, junk).ok());
}

TEST_F(EditorFiles, ATiledThemeOpenedAndSavedStaysTiled) {
    const QString path = tmp() + QStringLiteral("/Tiles.theme");
    writeFile(path, "[Control Panel\\Desktop]\r\nWallpaper=C:\\Windows\\clouds.bmp\r\n"
                    "TileWallpaper=1\r\n");
    auto window = makeWindow();
    open(*window, path);
    EXPECT_TRUE(window->findChild<QRadioButton*>(QStringLiteral("Option2_1"))->isChecked());
    save(*window);
    EXPECT_TRUE(readBytes(themeFile(QStringLiteral("Tiles"))).contains("TileWallpaper=1\r\n"));
}

TEST_F(EditorFiles, SaveAsWithTheUnchangedNameSavesWithoutAQuestion) {
    auto window = makeWindow();
    window->setThemeName(QStringLiteral("Same"));
    saveAs(*window, QStringLiteral("Same"));
    EXPECT_TRUE(QFileInfo::exists(themeFile(QStringLiteral("Same"))));
    // Saving again under its own name, with its .theme file there, asks nothing either.
    saveAs(*window, QStringLiteral("Same"));
    EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(EditorFiles, SaveAsToAnotherExistingThemeAsksAndNoChangesNothing) {
    const QString other = themeFile(QStringLiteral("Other"));
    writeFile(other, "[Theme]\r\n");
    auto window = makeWindow();
    window->setThemeName(QStringLiteral("Mine"));

    fakes.messages.queue(MsgAnswer::No);
    saveAs(*window, QStringLiteral("Other"));
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(fakes.messages.shown[0].text.startsWith(
        QStringLiteral("The theme name you have chosen already exists.")));
    EXPECT_EQ(fakes.messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(window->document().name, QStringLiteral("Mine"));
    EXPECT_EQ(readBytes(other), QByteArray("[Theme]\r\n"));

    fakes.messages.queue(MsgAnswer::Yes);
    saveAs(*window, QStringLiteral("Other"));
    EXPECT_EQ(window->document().name, QStringLiteral("Other"));
    EXPECT_TRUE(readBytes(other).contains("[MasterThemeSelector]"));
}

TEST_F(EditorFiles, SaveAsRefusesNamesThatCannotBeAThemeAndChangesNothing) {
    auto window = makeWindow();
    window->setThemeName(QStringLiteral("Mine"));
    const QString forbidden =
        QStringLiteral("A theme name cannot contain any of the characters \\ / : * ? \" < > |");
    const QString trailing = QStringLiteral(
        "A theme name cannot end in a blank or a dot: Windows drops them, so the theme's files "
        "would no longer match its directory.");
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("Sun/Moon"), forbidden},
        {QStringLiteral("What?"), forbidden},
        {QStringLiteral(".."), QStringLiteral("\"..\" cannot be used as a theme name.")},
        {QStringLiteral("Red, White"),
         QStringLiteral("A theme name cannot contain a comma or an equals sign, because the "
                        "theme could not be read back.")},
        {QStringLiteral("Tab\tName"),
         QStringLiteral("A theme name cannot contain control characters.")},
        {QStringLiteral("\u03a9mega"),
         QStringLiteral("The character \"\u03a9\" (U+03A9, Greek) is not in the Windows Western "
                        "(1252) character set, so it cannot be used in a Windows 95 file name.")},
        {QStringLiteral("   "), trailing},
        {QStringLiteral("Sea."), trailing},
        {QStringLiteral("Nul.bak"),
         QStringLiteral(
             "\"Nul.bak\" cannot be used as a theme name: Windows keeps it for a "
             "device (CON, PRN, AUX, NUL, COM0 to COM9, LPT0 to LPT9, CONIN$, CONOUT$).")},
        {QString(80, QChar(0x20AC)),
         QStringLiteral("The theme name is too long: its file names would pass the limit of 255 "
                        "bytes for one file name on this computer. Please choose a shorter "
                        "name.")}};
    for (const auto& [name, text] : cases) {
        fakes.messages.shown.clear();
        fakes.input.queue(name);
        fakes.input.queue(QString()); // Cancel in the box that comes back
        window->findChild<QAction*>(QStringLiteral("mnuSaveAs"))->trigger();
        ASSERT_EQ(fakes.messages.shown.size(), 1u) << name.toStdString();
        EXPECT_EQ(fakes.messages.shown[0].text, text);
        EXPECT_EQ(fakes.messages.shown[0].title, QStringLiteral("Paletteer 95"));
        EXPECT_EQ(window->document().name, QStringLiteral("Mine"));
    }
    const QDir themes(host(QStringLiteral("C:\\Program Files\\Plus!\\Themes")));
    EXPECT_TRUE(themes.entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    const QDir program(host(QStringLiteral("C:\\Program Files\\Paletteer 95")));
    EXPECT_FALSE(program.exists(QStringLiteral("AAAAAA")));
}

// The box comes back with the refused name in it; the corrected name saves.
TEST_F(EditorFiles, ARefusedSaveAsNameComesBackInTheBoxToBeCorrected) {
    auto window = makeWindow();
    window->setThemeName(QStringLiteral("Mine"));
    fakes.input.queue(QStringLiteral("Sun/Moon"));
    fakes.input.queue(QStringLiteral("Sun and Moon"));
    window->findChild<QAction*>(QStringLiteral("mnuSaveAs"))->trigger();
    ASSERT_EQ(fakes.input.asked.size(), 2u);
    EXPECT_EQ(fakes.input.asked[0].defaultAnswer, QStringLiteral("Mine"));
    EXPECT_EQ(fakes.input.asked[1].defaultAnswer, QStringLiteral("Sun/Moon"));
    EXPECT_EQ(fakes.input.asked[1].prompt,
              QStringLiteral("What would you like to call your saved theme?"));
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].icon, MsgIcon::Warning);
    EXPECT_EQ(window->document().name, QStringLiteral("Sun and Moon"));
    EXPECT_TRUE(QFileInfo::exists(themeFile(QStringLiteral("Sun and Moon"))));
}

// A theme opened from a file whose name the check refuses: Save tells so and
// nothing else, before the questions whose answers would store the ReadMe or
// make the themes folder.
TEST_F(EditorFiles, ARefusedNameAsksNothingAndWritesNothing) {
    const QString source = tmp() + QStringLiteral("/Sources/My,Theme.theme");
    writeFile(source, "[Control Panel\\Colors]\r\nActiveTitle=10 20 30\r\n");
    auto window = makeWindow();
    open(*window, source);
    ASSERT_EQ(window->document().name, QStringLiteral("My,Theme"));
    window->findChild<QTextEdit*>(QStringLiteral("txtReadMe"))
        ->setPlainText(QStringLiteral("typed, not stored"));
    const QString themes = host(QStringLiteral("C:\\Program Files\\Plus!\\Themes"));
    ASSERT_TRUE(QDir(themes).removeRecursively());
    fakes.messages.shown.clear();

    window->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text,
              checkThemeName(QStringLiteral("My,Theme")).error().reason);
    EXPECT_EQ(fakes.messages.shown[0].buttons, MsgButtons::Ok);
    EXPECT_FALSE(QFileInfo::exists(themes));
    EXPECT_EQ(readBytes(m_programDir + QStringLiteral("/PersonalReadMe.txz")), kDefaultReadMeBytes);
    EXPECT_FALSE(QDir(m_programDir).exists(QStringLiteral("AAAAAA")));
    EXPECT_EQ(window->document().readMe, QStringLiteral("typed, not stored"));
}

TEST_F(EditorFiles, AFailedSaveSaysWhatFailedAndWhere) {
    auto window = makeWindow();
    window->setThemeName(QStringLiteral("Full"));
    m_disk.room = 0; // the disk is full
    save(*window);
    ASSERT_EQ(fakes.messages.shown.size(), 2u);
    const auto& shown = fakes.messages.shown[1];
    EXPECT_EQ(shown.title, QStringLiteral("Paletteer 95"));
    EXPECT_EQ(shown.buttons, MsgButtons::Ok);
    EXPECT_TRUE(shown.text.contains(QStringLiteral("could not be saved")));
    EXPECT_TRUE(shown.text.contains(QStringLiteral("Full.theme"))) << shown.text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(themeFile(QStringLiteral("Full"))));
}

TEST_F(EditorFiles, OpenThenSaveOfAThemeWeSavedGivesTheSameBytes) {
    auto first = makeWindow();
    open(*first, writeSourceTheme());
    saveAs(*first, QStringLiteral("Round"));
    const QByteArray saved = readBytes(themeFile(QStringLiteral("Round")));
    ASSERT_FALSE(saved.isEmpty());
    ASSERT_TRUE(saved.contains("Round Normal Select.cur"));

    auto second = makeWindow();
    open(*second, themeFile(QStringLiteral("Round")));
    EXPECT_EQ(second->document().name, QStringLiteral("Round"));
    save(*second);
    EXPECT_EQ(readBytes(themeFile(QStringLiteral("Round"))), saved);
    EXPECT_EQ(fakes.messages.shown.size(), 1u); // only the save question
}

// ---------------------------------------------------------------- the ReadMe tab

TEST_F(EditorFiles, StoringTheDefaultReadMeWritesPlainTextWithoutAQuestion) {
    auto window = makeWindow();
    auto* box = window->findChild<QTextEdit*>(QStringLiteral("txtReadMe"));
    box->setHtml(QStringLiteral("<p><b>Bold</b> and <span style='color:red'>red</span></p>"
                                "<p>second line</p>"));
    window->findChild<QPushButton*>(QStringLiteral("Command14"))->click();
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_EQ(readBytes(m_programDir + QStringLiteral("/PersonalReadMe.txz")),
              QByteArray("Bold and red\r\nsecond line"));
}

class FailingWrites : public FileSystem {
public:
    Status writeFile(const QString& path, const QByteArray&) override {
        return Error{QStringLiteral("Writing the file"), path, QStringLiteral("read-only")};
    }
};

TEST_F(EditorFiles, ADefaultReadMeThatCannotBeWrittenIsReportedAndTheTextStays) {
    FailingWrites files;
    auto window = makeWindow(&files);
    auto* box = window->findChild<QTextEdit*>(QStringLiteral("txtReadMe"));
    box->setPlainText(QStringLiteral("my words"));
    window->findChild<QPushButton*>(QStringLiteral("Command14"))->click();
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(fakes.messages.shown[0].text.contains(QStringLiteral("read-only")));
    EXPECT_EQ(plainText(*box), QStringLiteral("my words"));
    EXPECT_EQ(readBytes(m_programDir + QStringLiteral("/PersonalReadMe.txz")), kDefaultReadMeBytes);
}

TEST_F(EditorFiles, AMissingDefaultReadMeIsAnEmptyText) {
    QFile::remove(m_programDir + QStringLiteral("/PersonalReadMe.txz"));
    auto window = makeWindow();
    EXPECT_TRUE(window->document().readMe.isEmpty());
    EXPECT_TRUE(fakes.messages.shown.empty());
}

} // namespace
} // namespace p95::test

namespace p95::test {
namespace {

// Holds the save's first write until the test lets it go.
class LatchedWrites : public FileSystem {
public:
    Status writeFile(const QString& path, const QByteArray& bytes) override {
        entered.release();
        go.acquire();
        return FileSystem::writeFile(path, bytes);
    }
    QSemaphore entered;
    QSemaphore go;
};

TEST_F(EditorFiles, AskingToCloseDuringASaveAsksTheQuitQuestionWhenItHasEnded) {
    LatchedWrites files;
    auto window = makeWindow(&files);
    window->setThemeName(QStringLiteral("Busy"));
    window->show();
    bool askedDuring = true;
    QTimer::singleShot(0, [&] {
        files.entered.acquire(); // the save is under way
        window->close();
        askedDuring = fakes.messages.shown.size() > 1;
        files.go.release(100);
    });
    save(*window, {MsgAnswer::No}); // to the quit question, once the save ended
    EXPECT_FALSE(askedDuring);
    ASSERT_EQ(fakes.messages.shown.size(), 2u);
    EXPECT_EQ(fakes.messages.shown[1].text,
              QStringLiteral("Are you sure that you want to quit Paletteer 95?"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(QFileInfo::exists(themeFile(QStringLiteral("Busy"))));
}

TEST_F(EditorFiles, ASlowSaveShowsAModalProgressDialogUntilItEnds) {
    // A save to a slow network drive: held until the dialog has been seen.
    LatchedWrites files;
    auto window = makeWindow(&files);
    window->setThemeName(QStringLiteral("Slow"));
    bool shownModal = false;
    // Looks for the dialog while the save is held; lets the save go on once
    // it shows (or after ten seconds, so that a missing dialog fails, not hangs).
    QTimer look;
    int looks = 0;
    QObject::connect(&look, &QTimer::timeout, [&] {
        auto* progress = window->findChild<QProgressDialog*>(QStringLiteral("saveProgress"));
        shownModal = progress && progress->isVisible() && progress->isModal();
        if (shownModal || ++looks == 500) {
            look.stop();
            files.go.release(100);
        }
    });
    look.start(20);
    save(*window);
    EXPECT_TRUE(shownModal);
    EXPECT_EQ(window->findChild<QProgressDialog*>(QStringLiteral("saveProgress")), nullptr);
    EXPECT_TRUE(QFileInfo::exists(themeFile(QStringLiteral("Slow"))));
}

TEST_F(EditorFiles, OpeningKeepsTheReadMeAndItsFormatting) {
    auto window = makeWindow();
    auto* box = window->findChild<QTextEdit*>(QStringLiteral("txtReadMe"));
    box->setHtml(QStringLiteral("<b>Thank you</b> for using this theme.<br>Enjoy it!"));
    const QString html = box->toHtml();
    open(*window, writeSourceTheme());
    EXPECT_EQ(box->toHtml(), html);
}

} // namespace
} // namespace p95::test
