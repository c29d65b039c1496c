#include "drive_support.h"
#include "platform/drive.h"
#include "test_support.h"
#include "theme/get_colors.h"
#include "theme/readme.h"
#include "theme/theme_save.h"
#include "theme/theme_writer.h"

#include <QLockFile>
#include <QRegularExpression>

using namespace p95;

namespace {

// Logs what the save does, in order, so the steps themselves can be checked.
class RecordingFiles : public FileSystem {
public:
    Status makeDirectory(const QString& path) override {
        log << QStringLiteral("mkdir ") + path;
        return FileSystem::makeDirectory(path);
    }
    Status removeDirectory(const QString& path) override {
        log << QStringLiteral("rmdir ") + path;
        return FileSystem::removeDirectory(path);
    }
    Status copyFile(const QString& source, const QString& target) override {
        log << QStringLiteral("copy ") + source + QStringLiteral(" -> ") + target;
        return FileSystem::copyFile(source, target);
    }
    QStringList log;
};

// A theme directory the user may not write to: every write into it fails
// before a byte of the target changes.
class ReadOnlyThemeDirectory : public FileSystem {
public:
    explicit ReadOnlyThemeDirectory(QString themeDir) : m_dir(std::move(themeDir)) {}
    Status copyFile(const QString& source, const QString& target) override {
        if (target.startsWith(m_dir, Qt::CaseInsensitive))
            return Error{QStringLiteral("Writing the file"), target,
                         QStringLiteral("Permission denied")};
        return FileSystem::copyFile(source, target);
    }
    Status writeFile(const QString& path, const QByteArray& bytes) override {
        if (path.startsWith(m_dir, Qt::CaseInsensitive))
            return Error{QStringLiteral("Writing the file"), path,
                         QStringLiteral("Permission denied")};
        return FileSystem::writeFile(path, bytes);
    }

private:
    QString m_dir;
};

const QString kProgram = QStringLiteral("C:\\Program Files\\Paletteer 95");
const QString kOceanDir = QStringLiteral("C:\\Program Files\\Plus!\\Themes\\Ocean\\");

class Save : public test::DriveFixture {
protected:
    Save() {
        driveCFolder();
        QDir().mkpath(programHost());
        writeFile(programHost() + QStringLiteral("/PersonalReadMe.txz"),
                  "Enjoy this theme!\r\nIt was made with Paletteer 95.");
        m_doc.name = QStringLiteral("Ocean");
    }

    QString programHost() const { return onDrive(QStringLiteral("Program Files/Paletteer 95")); }
    QString themeHost(const QString& file = {}) const {
        return onDrive(QStringLiteral("Program Files/Plus!/Themes/Ocean/") + file);
    }
    QString source(const QString& name, const QByteArray& bytes) {
        const QString path = tmp() + QStringLiteral("/src/") + name;
        writeFile(path, bytes);
        return path;
    }
    QStringList themeFiles() const {
        return QDir(themeHost())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                       QDir::Name | QDir::IgnoreCase);
    }
    bool scratchExists() const {
        return QFileInfo::exists(programHost() + QStringLiteral("/AAAAAA"));
    }
    SaveResult save(FileSystem& files) {
        return saveTheme(m_doc, files, SaveSettings{kProgram, 200});
    }
    SaveResult save() {
        FileSystem files;
        return save(files);
    }
    static void expectSaved(const SaveResult& result) {
        EXPECT_EQ(result.outcome, SaveOutcome::Saved)
            << (!result.status.ok() ? result.status.error().text().toStdString() : std::string());
        EXPECT_TRUE(result.status.ok());
    }

    ThemeDocument m_doc;
};

} // namespace

TEST_F(Save, ThemeWithNoSlotsGetsItsDirectoryAndThemeFileAndNoScratchLeft) {
    RecordingFiles files;
    const SaveResult result = save(files);
    expectSaved(result);
    EXPECT_EQ(themeFiles(), QStringList{QStringLiteral("Ocean.theme")});
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("Ocean.theme"))),
              themeFileBytes(result.document).value());
    EXPECT_EQ(files.log,
              (QStringList{
                  QStringLiteral("mkdir C:\\Program Files\\Plus!\\Themes\\Ocean"),
                  QStringLiteral("mkdir ") + kProgram + QStringLiteral("\\AAAAAA"),
                  QStringLiteral("mkdir ") + kProgram + QStringLiteral("\\AAAAAA\\zzzzzz"),
                  QStringLiteral("rmdir ") + kProgram + QStringLiteral("\\AAAAAA\\zzzzzz"),
                  QStringLiteral("rmdir ") + kProgram + QStringLiteral("\\AAAAAA"),
              }));
    EXPECT_FALSE(scratchExists());
    EXPECT_FALSE(QFileInfo::exists(programHost() + QStringLiteral("/save.lock")));
}

TEST_F(Save, EachFileGoesThroughTheScratchFolderUnderItsStandardName) {
    m_doc.pointers[0] = source(QStringLiteral("arrow.ani"), "animated arrow");
    m_doc.pointers[3] = source(QStringLiteral("BUSY.CUR"), "busy pointer");
    m_doc.sounds[3] = source(QStringLiteral("ding.wav"), "ding");
    RecordingFiles files;
    expectSaved(save(files));

    const QString scratch = kProgram + QStringLiteral("\\AAAAAA\\zzzzzz\\");
    const QStringList copies = files.log.filter(QStringLiteral("copy "));
    EXPECT_EQ(
        copies,
        (QStringList{
            // Every chosen file into the scratch folder first, in copy order...
            QStringLiteral("copy ") + m_doc.pointers[0] + QStringLiteral(" -> ") + scratch +
                QStringLiteral("Ocean Normal Select.ani"),
            // (a .cur pointer is named .ani in the scratch folder, .cur in the theme)
            QStringLiteral("copy ") + m_doc.pointers[3] + QStringLiteral(" -> ") + scratch +
                QStringLiteral("Ocean Busy.ani"),
            QStringLiteral("copy ") + m_doc.sounds[3] + QStringLiteral(" -> ") + scratch +
                QStringLiteral("Ocean Default Beep.wav"),
            // ...then on into the theme directory, in the same order.
            QStringLiteral("copy ") + scratch + QStringLiteral("Ocean Normal Select.ani -> ") +
                kOceanDir + QStringLiteral("Ocean Normal Select.ani"),
            QStringLiteral("copy ") + scratch + QStringLiteral("Ocean Busy.ani -> ") + kOceanDir +
                QStringLiteral("Ocean Busy.cur"),
            QStringLiteral("copy ") + scratch + QStringLiteral("Ocean Default Beep.wav -> ") +
                kOceanDir + QStringLiteral("Ocean Default Beep.wav"),
        }));
    EXPECT_EQ(
        themeFiles(),
        (QStringList{QStringLiteral("Ocean Busy.cur"), QStringLiteral("Ocean Default Beep.wav"),
                     QStringLiteral("Ocean Normal Select.ani"), QStringLiteral("Ocean.theme")}));
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("Ocean Busy.cur"))), "busy pointer");
    EXPECT_FALSE(scratchExists());
}

TEST_F(Save, EverySlotUpToTheLastOfEachFamilyIsCopiedAndEveryNamedFileExists) {
    for (SlotRef slot : copyOrder()) {
        const QString name = QStringLiteral("%1-%2.%3")
                                 .arg(int(slot.family))
                                 .arg(slot.index)
                                 .arg(slot.family == SlotFamily::Pointer ? QStringLiteral("cur")
                                                                         : QStringLiteral("dat"));
        m_doc.path(slot) = source(name, name.toLatin1());
    }
    m_doc.icons[kWallpaperIndex] = source(QStringLiteral("sea.JPG"), "jpeg");
    m_doc.jpegWallpaper = true;
    expectSaved(save());

    EXPECT_EQ(themeFiles().size(), 41); // 40 copies and the .theme file
    for (SlotRef slot : copyOrder()) {
        EXPECT_EQ(test::readBytes(themeHost(standardFileName(m_doc, slot))),
                  test::readBytes(m_doc.path(slot)))
            << standardFileName(m_doc, slot).toStdString();
    }
    // Every file the .theme names is in the theme directory.
    const QString text =
        QString::fromLatin1(test::readBytes(themeHost(QStringLiteral("Ocean.theme"))));
    const QRegularExpression value(QStringLiteral("%ThemeDir%Ocean\\\\([^,\\r]+)"));
    int named = 0;
    for (auto it = value.globalMatch(text); it.hasNext(); ++named) {
        const QString file = it.next().captured(1);
        EXPECT_TRUE(QFileInfo::exists(themeHost(file))) << file.toStdString();
    }
    EXPECT_EQ(named, 41); // the Recycle Bin Empty icon is named twice
}

TEST_F(Save, SavingTwiceReplacesWhatItWritesAndKeepsOtherFiles) {
    m_doc.sounds[19] = source(QStringLiteral("start.wav"), "first");
    m_doc.includeReadMe = true;
    expectSaved(save());
    writeFile(themeHost(QStringLiteral("notes.txt")), "the user's own file");

    source(QStringLiteral("start.wav"), "second");
    writeFile(programHost() + QStringLiteral("/PersonalReadMe.txz"), "New default");
    m_doc.colourMode = ColourMode::Own;
    m_doc.colours[0] = QStringLiteral("1 2 3");
    const SaveResult second = save();
    expectSaved(second);

    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("Ocean Start Windows.wav"))), "second");
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("ReadMe.txt"))), "New default");
    EXPECT_TRUE(test::readBytes(themeHost(QStringLiteral("Ocean.theme")))
                    .contains("ActiveTitle=1 2 3\r\n"));
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("notes.txt"))), "the user's own file");
    EXPECT_EQ(themeFiles().size(), 4);
}

TEST_F(Save, PrepareAppliesThePresetAndReloadsTheDefaultReadMe) {
    m_doc.preset = 10;
    m_doc.readMe = QStringLiteral("typed but not stored");
    m_doc.includeReadMe = true;
    const SaveResult result = save();
    expectSaved(result);
    EXPECT_EQ(result.document.colours, presetColours(10));
    EXPECT_EQ(result.document.readMe,
              QStringLiteral("Enjoy this theme!\nIt was made with Paletteer 95."));
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("ReadMe.txt"))),
              "Enjoy this theme!\r\nIt was made with Paletteer 95.");
    EXPECT_TRUE(test::readBytes(themeHost(QStringLiteral("Ocean.theme")))
                    .contains(("ActiveTitle=" + presetColours(10)[0] + "\r\n").toLatin1()));
}

TEST_F(Save, AMissingDefaultReadMeKeepsTheDocumentsText) {
    QFile::remove(programHost() + QStringLiteral("/PersonalReadMe.txz"));
    m_doc.readMe = QStringLiteral("Mine\nonly");
    m_doc.includeReadMe = true;
    const SaveResult result = save();
    expectSaved(result);
    EXPECT_EQ(result.document.readMe, QStringLiteral("Mine\nonly"));
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("ReadMe.txt"))), "Mine\r\nonly");
}

TEST_F(Save, WithoutReadMeAnEarlierReadMeStaysAsItWas) {
    writeFile(themeHost(QStringLiteral("ReadMe.txt")), "earlier");
    expectSaved(save());
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("ReadMe.txt"))), "earlier");
}

TEST_F(Save, FilesThatExistUnderAnotherLetterCaseAreReplacedUnderTheirNames) {
    writeFile(onDrive(QStringLiteral("Program Files/Plus!/Themes/ocean/ocean.THEME")), "old");
    writeFile(onDrive(QStringLiteral("Program Files/Plus!/Themes/ocean/OCEAN HELP SELECT.cur")),
              "old");
    m_doc.pointers[1] = source(QStringLiteral("help.cur"), "help");
    expectSaved(save());
    const QDir dir(onDrive(QStringLiteral("Program Files/Plus!/Themes/ocean")));
    EXPECT_EQ(
        dir.entryList(QDir::Files, QDir::Name),
        (QStringList{QStringLiteral("OCEAN HELP SELECT.cur"), QStringLiteral("ocean.THEME")}));
    EXPECT_EQ(test::readBytes(dir.filePath(QStringLiteral("OCEAN HELP SELECT.cur"))), "help");
    EXPECT_FALSE(QFileInfo::exists(themeHost()));
}

TEST_F(Save, ARefusedNameTouchesNothing) {
    for (const char* name : {"", "Sea:Sky", "My.cur theme", "a,b"}) {
        m_doc.name = QString::fromLatin1(name);
        RecordingFiles files;
        const SaveResult result = save(files);
        EXPECT_EQ(result.outcome, SaveOutcome::Refused) << name;
        ASSERT_FALSE(result.status.ok());
        EXPECT_FALSE(result.status.error().reason.isEmpty());
        EXPECT_TRUE(files.log.isEmpty());
        EXPECT_EQ(result.document, m_doc);
    }
    EXPECT_TRUE(QDir(onDrive(QStringLiteral("Program Files/Plus!/Themes"))).isEmpty());
}

TEST_F(Save, TextThatWindows1252CannotHoldIsRefusedBeforeAnythingIsWritten) {
    m_doc.colourMode = ColourMode::Own;
    m_doc.colours[4] = QStringLiteral("0 0 \u4e00");
    const SaveResult result = save();
    EXPECT_EQ(result.outcome, SaveOutcome::Refused);
    EXPECT_FALSE(QFileInfo::exists(themeHost()));
    EXPECT_FALSE(scratchExists());
}

// Faults: each one must leave what was on disk before whole.

TEST_F(Save, MissingChosenFilesAreAllNamedAndNothingIsWritten) {
    m_doc.includeReadMe = true;
    m_doc.pointers[0] = source(QStringLiteral("arrow.cur"), "arrow");
    expectSaved(save());
    const QStringList earlierFiles = themeFiles();
    const QByteArray earlierTheme = test::readBytes(themeHost(QStringLiteral("Ocean.theme")));
    writeFile(programHost() + QStringLiteral("/PersonalReadMe.txz"), "new readme");

    m_doc.pointers[0] = source(QStringLiteral("arrow.cur"), "new arrow");
    m_doc.sounds[2] = tmp() + QStringLiteral("/src/gone.wav");
    m_doc.sounds[5] = source(QStringLiteral("bin.wav"), "bin");
    m_doc.icons[5] = QStringLiteral("D:\\Savers\\stars.scr"); // no drive D: missing too
    const SaveResult result = save();
    EXPECT_EQ(result.outcome, SaveOutcome::MissingFiles);
    EXPECT_EQ(result.missing, (QList<SlotRef>{{SlotFamily::Sound, 2}, {SlotFamily::Icons, 5}}));
    EXPECT_EQ(missingFilesText(m_doc, result.missing),
              QStringLiteral("Critical Stop: ") + m_doc.sounds[2] +
                  QStringLiteral("\nScreen Saver: D:\\Savers\\stars.scr"));
    EXPECT_FALSE(scratchExists());
    EXPECT_EQ(themeFiles(), earlierFiles);
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("Ocean.theme"))), earlierTheme);
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("Ocean Normal Select.cur"))), "arrow");
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("ReadMe.txt"))),
              "Enjoy this theme!\r\nIt was made with Paletteer 95.");

    // Told to, the save leaves them out and says which it left.
    FileSystem files;
    const SaveResult skipped =
        saveTheme(m_doc, files, SaveSettings{kProgram, 200, /*skipMissing=*/true});
    expectSaved(skipped);
    EXPECT_EQ(skipped.missing, result.missing);
    EXPECT_TRUE(skipped.document.sounds[2].isEmpty());
    EXPECT_TRUE(skipped.document.icons[5].isEmpty());
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("Ocean Empty Recycle Bin.wav"))), "bin");
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("Ocean.theme"))),
              themeFileBytes(skipped.document).value());
}

// The theme itself is whole: the save says so, and what did not complete.
TEST_F(Save, AReadMeThatCannotBeWrittenLeavesASavedThemeThatSaysWhatDidNotComplete) {
    m_doc.includeReadMe = true;
    m_doc.sounds[0] = source(QStringLiteral("a.wav"), "a");
    QDir().mkpath(themeHost(QStringLiteral("ReadMe.txt"))); // a folder where the file goes
    const SaveResult result = save();
    EXPECT_EQ(result.outcome, SaveOutcome::SavedIncomplete);
    ASSERT_FALSE(result.status.ok());
    EXPECT_EQ(result.status.error().step, QStringLiteral("Writing the ReadMe file"));
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("Ocean.theme"))),
              themeFileBytes(result.document).value());
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("Ocean Asterisk.wav"))), "a");
    EXPECT_FALSE(scratchExists());
}

TEST_F(Save, AMissingThemesRootIsReportedWithItsHostFolderAndCanBeCreated) {
    QDir(onDrive(QStringLiteral("Program Files/Plus!"))).removeRecursively();
    m_doc.includeReadMe = true;
    m_doc.sounds[0] = source(QStringLiteral("a.wav"), "a");
    FileSystem files;
    const SaveResult result = save(files);
    EXPECT_EQ(result.outcome, SaveOutcome::NoThemesRoot);
    ASSERT_FALSE(result.status.ok());
    EXPECT_TRUE(result.status.error().reason.contains(
        QDir::toNativeSeparators(onDrive(QStringLiteral("Program Files/Plus!/Themes")))))
        << result.status.error().text().toStdString();
    EXPECT_FALSE(QFileInfo::exists(onDrive(QStringLiteral("Program Files/Plus!"))));
    EXPECT_FALSE(scratchExists());

    EXPECT_TRUE(createThemesRoot(files).ok());
    EXPECT_TRUE(themesRootExists(files));
    expectSaved(save(files));
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("Ocean Asterisk.wav"))), "a");
}

// A theme opened from its own directory names its own standard files; the
// user may exchange them between slots, or put one file into several.
TEST_F(Save, FilesExchangedBetweenSlotsOfTheThemeItselfAreAllKept) {
    m_doc.pointers[0] = source(QStringLiteral("arrow.cur"), "arrow");
    m_doc.pointers[3] = source(QStringLiteral("busy.cur"), "busy");
    m_doc.sounds[0] = source(QStringLiteral("ding.wav"), "ding");
    m_doc.sounds[1] = source(QStringLiteral("chord.wav"), "chord");
    m_doc.icons[1] = source(QStringLiteral("pc.ico"), "pc");
    m_doc.icons[2] = source(QStringLiteral("net.ico"), "net");
    expectSaved(save());

    const auto own = [&](const char* file) { return kOceanDir + QString::fromLatin1(file); };
    m_doc.pointers[0] = own("Ocean Busy.cur");
    m_doc.pointers[3] = own("Ocean Normal Select.cur");
    m_doc.sounds[0] = own("Ocean Close Program.wav");
    m_doc.sounds[1] = own("Ocean Asterisk.wav");
    m_doc.sounds[2] = own("Ocean Asterisk.wav"); // one file, two slots
    m_doc.icons[1] = own("Ocean Network Neighbourhood.ico");
    m_doc.icons[2] = own("Ocean My Computer.ico");
    m_doc.icons[3] = own("Ocean My Computer.ico");
    m_doc.icons[4] = own("Ocean Recycle Bin Full.ico"); // its own standard file: missing here
    EXPECT_EQ(save().outcome, SaveOutcome::MissingFiles);
    m_doc.icons[4].clear();
    expectSaved(save());

    const struct {
        const char* file;
        const char* holds;
    } expected[] = {
        {"Ocean Normal Select.cur", "busy"},       {"Ocean Busy.cur", "arrow"},
        {"Ocean Asterisk.wav", "chord"},           {"Ocean Close Program.wav", "ding"},
        {"Ocean Critical Stop.wav", "ding"},       {"Ocean My Computer.ico", "net"},
        {"Ocean Network Neighbourhood.ico", "pc"}, {"Ocean Recycle Bin Empty.ico", "pc"}};
    for (const auto& e : expected)
        EXPECT_EQ(test::readBytes(themeHost(QString::fromLatin1(e.file))), e.holds) << e.file;

    // A slot that names its own standard file keeps it as it is.
    m_doc = ThemeDocument();
    m_doc.name = QStringLiteral("Ocean");
    m_doc.pointers[3] = own("Ocean Busy.cur");
    expectSaved(save());
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("Ocean Busy.cur"))), "arrow");
}

TEST_F(Save, AReadOnlyThemeDirectoryLeavesEveryEarlierFileAndTheNextSaveReusesTheScratch) {
    m_doc.includeReadMe = true;
    m_doc.pointers[13] = source(QStringLiteral("up.cur"), "up");
    expectSaved(save());
    const QByteArray earlierTheme = test::readBytes(themeHost(QStringLiteral("Ocean.theme")));

    source(QStringLiteral("up.cur"), "new up");
    ReadOnlyThemeDirectory readOnly(kOceanDir);
    const SaveResult result = save(readOnly);
    EXPECT_EQ(result.outcome, SaveOutcome::Failed);
    ASSERT_FALSE(result.status.ok());
    EXPECT_EQ(result.status.error().step, QStringLiteral("Copying into the theme directory"));
    EXPECT_TRUE(result.status.error().reason.contains(QStringLiteral("Permission")));
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("Ocean Alternate Select.cur"))), "up");
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("Ocean.theme"))), earlierTheme);
    // Not a missing file: the scratch folder stays, with the scratch copy in it.
    EXPECT_TRUE(QFileInfo::exists(programHost() +
                                  QStringLiteral("/AAAAAA/zzzzzz/Ocean Alternate Select.ani")));

    expectSaved(save());
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("Ocean Alternate Select.cur"))), "new up");
    EXPECT_FALSE(scratchExists());
}

TEST_F(Save, ALeftoverScratchFolderIsEmptiedAndReused) {
    writeFile(programHost() + QStringLiteral("/AAAAAA/zzzzzz/Old Busy.ani"), "left behind");
    m_doc.pointers[3] = source(QStringLiteral("busy.ani"), "busy");
    expectSaved(save());
    EXPECT_EQ(themeFiles(),
              (QStringList{QStringLiteral("Ocean Busy.ani"), QStringLiteral("Ocean.theme")}));
    EXPECT_FALSE(scratchExists());

    // Only the outer folder left behind.
    QDir().mkpath(programHost() + QStringLiteral("/AAAAAA"));
    expectSaved(save());
    EXPECT_FALSE(scratchExists());
}

TEST_F(Save, ADiskThatFillsWhileTheThemeFileIsWrittenLeavesTheEarlierOneWhole) {
    m_doc.includeReadMe = true;
    m_doc.sounds[7] = source(QStringLiteral("exit.wav"), QByteArray(5000, 'e'));
    expectSaved(save());
    const QByteArray earlierTheme = test::readBytes(themeHost(QStringLiteral("Ocean.theme")));
    const QByteArray earlierReadMe = test::readBytes(themeHost(QStringLiteral("ReadMe.txt")));
    ASSERT_FALSE(earlierTheme.isEmpty());

    // Room for both copies of the sound and 100 bytes of the new .theme file.
    m_doc.colourMode = ColourMode::Own;
    m_doc.colours[0] = QStringLiteral("9 9 9");
    FileSystem files;
    files.setWriteLimit(2 * 5000 + 100);
    const SaveResult result = save(files);
    EXPECT_EQ(result.outcome, SaveOutcome::Failed);
    ASSERT_FALSE(result.status.ok());
    EXPECT_EQ(result.status.error().step, QStringLiteral("Writing the theme file"));
    EXPECT_TRUE(result.status.error().reason.contains(QStringLiteral("No space")));

    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("Ocean.theme"))), earlierTheme);
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("ReadMe.txt"))), earlierReadMe);
    EXPECT_EQ(themeFiles(),
              (QStringList{QStringLiteral("Ocean Exit Windows.wav"), QStringLiteral("Ocean.theme"),
                           QStringLiteral("ReadMe.txt")}));
}

TEST_F(Save, ASecondSaveWaitsThenReportsThatAnotherIsRunning) {
    QLockFile other(programHost() + QStringLiteral("/save.lock"));
    ASSERT_TRUE(other.tryLock());
    const SaveResult blocked = save();
    EXPECT_EQ(blocked.outcome, SaveOutcome::Failed);
    ASSERT_FALSE(blocked.status.ok());
    EXPECT_TRUE(blocked.status.error().reason.contains(
        QStringLiteral("another save or install is running")));
    EXPECT_FALSE(QFileInfo::exists(themeHost()));
    EXPECT_FALSE(scratchExists());

    other.unlock();
    expectSaved(save());

    // A program directory that cannot be written says which folder, and
    // where it is on this computer (here: a file stands where a folder of
    // its path should be).
    writeFile(onDrive(QStringLiteral("Blocked")), "a file");
    const QString elsewhere = QStringLiteral("C:\\Blocked\\Paletteer 95");
    FileSystem files;
    const SaveResult unwritable = saveTheme(m_doc, files, SaveSettings{elsewhere, 200});
    EXPECT_EQ(unwritable.outcome, SaveOutcome::Failed);
    ASSERT_FALSE(unwritable.status.ok());
    EXPECT_EQ(unwritable.status.error().file, elsewhere);
    EXPECT_EQ(unwritable.status.error().reason,
              QStringLiteral("the folder cannot be written; on this computer it is ") +
                  QDir::toNativeSeparators(onDrive(QStringLiteral("Blocked/Paletteer 95"))));
}
