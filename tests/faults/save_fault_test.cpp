// Faults in the middle of a save: the disk filling at every point, a chosen
// file or its scratch copy vanishing after the save began. Each is reported,
// and every file that existed before is afterwards either as it was or wholly
// new, never lost or half-written, and nothing is left beside it.

#include "drive_support.h"
#include "faults/disk_faults.h"
#include "platform/drive.h"
#include "test_support.h"
#include "theme/theme_save.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFile>

#include <sys/file.h>

#include <functional>
#include <map>

using namespace p95;

namespace {

const QString kProgram = QStringLiteral("C:\\Program Files\\Paletteer 95");

// Runs a hook before each copy, so a test can take a file away just then.
class HookedFiles : public FileSystem {
public:
    std::function<void(const QString& source)> beforeCopy;
    Status copyFile(const QString& source, const QString& target) override {
        if (beforeCopy)
            beforeCopy(source);
        return FileSystem::copyFile(source, target);
    }
};

using Contents = std::map<QString, QByteArray>;

class SaveFaults : public test::DriveFixture {
protected:
    SaveFaults() {
        driveCFolder();
        QDir().mkpath(programHost());
        m_doc.name = QStringLiteral("Ocean");
        m_doc.includeReadMe = true;
        m_doc.pointers[1] = source(QStringLiteral("help.cur"), QByteArray(2000, 'h'));
        m_doc.sounds[0] = source(QStringLiteral("asterisk.wav"), QByteArray(3000, 'a'));
        m_doc.icons[kWallpaperIndex] = source(QStringLiteral("sea.bmp"), QByteArray(1500, 'w'));
        writeFile(defaultReadMe(), "old readme");
    }

    QString programHost() const { return onDrive(QStringLiteral("Program Files/Paletteer 95")); }
    QString themeHost() const {
        return onDrive(QStringLiteral("Program Files/Plus!/Themes/Ocean"));
    }
    QString defaultReadMe() const { return programHost() + QStringLiteral("/PersonalReadMe.txz"); }
    QString source(const QString& name, const QByteArray& bytes) {
        const QString path = tmp() + QStringLiteral("/src/") + name;
        writeFile(path, bytes);
        return path;
    }
    // Every file in the theme directory, by name.
    Contents themeContents() const {
        Contents contents;
        for (const QString& name : QDir(themeHost()).entryList(QDir::Files | QDir::Hidden))
            contents[name] = test::readBytes(themeHost() + QLatin1Char('/') + name);
        return contents;
    }
    void restore(const Contents& contents) {
        QDir(themeHost()).removeRecursively();
        for (const auto& [name, bytes] : contents)
            writeFile(themeHost() + QLatin1Char('/') + name, bytes);
    }
    SaveResult save(FileSystem& files) {
        return saveTheme(m_doc, files, SaveSettings{kProgram, 200});
    }
    // A first save, then new contents for every file it wrote.
    std::pair<Contents, Contents> oldAndNew() {
        FileSystem files;
        EXPECT_EQ(save(files).outcome, SaveOutcome::Saved);
        const Contents before = themeContents();
        source(QStringLiteral("help.cur"), QByteArray(2000, 'H'));
        source(QStringLiteral("asterisk.wav"), QByteArray(3000, 'A'));
        source(QStringLiteral("sea.bmp"), QByteArray(1500, 'W'));
        writeFile(defaultReadMe(), "new readme");
        m_doc.colourMode = ColourMode::Own;
        m_doc.colours[0] = QStringLiteral("9 9 9");
        FileSystem again;
        EXPECT_EQ(save(again).outcome, SaveOutcome::Saved);
        const Contents after = themeContents();
        restore(before);
        return {before, after};
    }

    // Each file is as it was or wholly new; no file is missing or added.
    void expectOldOrNew(const Contents& before, const Contents& after, const std::string& when) {
        const Contents now = themeContents();
        EXPECT_EQ(now.size(), before.size()) << when;
        for (const auto& [name, bytes] : now) {
            ASSERT_TRUE(before.count(name)) << when << ": a new file " << name.toStdString();
            EXPECT_TRUE(bytes == before.at(name) || bytes == after.at(name))
                << when << ": " << name.toStdString() << " is half-written";
        }
    }

    ThemeDocument m_doc;
};

} // namespace

TEST_F(SaveFaults, WhereverTheDiskFillsEveryEarlierFileIsOldOrWholeAndTheFailureIsReported) {
    const auto [before, after] = oldAndNew();
    ASSERT_EQ(before.size(), 5u); // three copies, the .theme file, ReadMe.txt
    qint64 total = 0;
    for (const auto& [name, bytes] : after)
        total += bytes.size();
    total += 2000 + 3000 + 1500; // the scratch copies

    // The copies go through the kernel's copy_file_range, or plain writes.
    for (const bool kernelCopy : {true, false}) {
        int failures = 0;
        int copiesCut = 0;
        for (qint64 limit = 0; limit < total; limit += limit < 100 ? 1 : 97) {
            restore(before);
            test::DiskFaults disk;
            disk.kernelCopy = kernelCopy;
            disk.room = limit;
            FileSystem files(disk);
            const SaveResult result = save(files);
            const std::string when =
                (kernelCopy ? "copy_file_range, limit " : "write, limit ") + std::to_string(limit);
            ASSERT_EQ(result.outcome, SaveOutcome::Failed) << when;
            ASSERT_FALSE(result.status.ok());
            EXPECT_TRUE(result.status.error().reason.contains(QStringLiteral("No space"))) << when;
            EXPECT_FALSE(result.status.error().file.isEmpty()) << when;
            expectOldOrNew(before, after, when);
            ++failures;
            copiesCut += disk.copiesCut;
        }
        EXPECT_GT(failures, 100);
        if (kernelCopy) {
            EXPECT_GT(copiesCut, 100);
        } else {
            EXPECT_EQ(copiesCut, 0);
        }
    }

    // Room again: the save goes through, the scratch folder it left is reused.
    FileSystem files;
    EXPECT_EQ(save(files).outcome, SaveOutcome::Saved);
    EXPECT_EQ(themeContents(), after);
    EXPECT_FALSE(QFileInfo::exists(programHost() + QStringLiteral("/AAAAAA")));
}

// The flush before the renames, or a rename, fails: the save fails naming
// what failed, and no file is half-written.
TEST_F(SaveFaults, AFailedFlushOrRenameFailsTheSave) {
    const auto [before, after] = oldAndNew();
    const struct {
        const char* failing;
        QString named;
    } cases[] = {
        {"flush file system", QStringLiteral("C:\\Program Files\\Plus!\\Themes\\Ocean")},
        {"rename Ocean.theme", QStringLiteral("Ocean.theme")},
        {"rename Ocean Asterisk.wav", QStringLiteral("Ocean Asterisk.wav")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failing);
        restore(before);
        test::DiskFaults disk;
        disk.failing = {QString::fromLatin1(c.failing)};
        FileSystem files(disk);
        const SaveResult result = save(files);
        EXPECT_EQ(result.outcome, SaveOutcome::Failed);
        ASSERT_FALSE(result.status.ok());
        EXPECT_TRUE(result.status.error().file.endsWith(c.named))
            << result.status.error().text().toStdString();
        expectOldOrNew(before, after, c.failing);
        if (c.named.startsWith(QLatin1Char('C'))) { // the flush failed: nothing was renamed
            EXPECT_EQ(themeContents(), before);
        }
    }
}

TEST_F(SaveFaults, AChosenFileThatVanishesAfterTheSaveBeganIsReportedAsMissing) {
    const auto [before, after] = oldAndNew();
    HookedFiles files;
    const QString victim = m_doc.sounds[0];
    files.beforeCopy = [&](const QString& from) {
        if (from == victim)
            QFile::remove(victim);
    };
    const SaveResult result = save(files);
    EXPECT_EQ(result.outcome, SaveOutcome::Failed);
    ASSERT_FALSE(result.status.ok());
    EXPECT_TRUE(isFileNotFound(result.status.error()))
        << result.status.error().text().toStdString();
    EXPECT_EQ(result.status.error().file, victim);
    expectOldOrNew(before, after, "vanished source");
    // Every chosen file reaches the scratch folder before any reaches the
    // theme, so none was replaced; the ReadMe step ran.
    const Contents now = themeContents();
    EXPECT_EQ(now.at(QStringLiteral("Ocean Help Select.cur")),
              before.at(QStringLiteral("Ocean Help Select.cur")));
    EXPECT_EQ(now.at(QStringLiteral("Ocean.theme")), before.at(QStringLiteral("Ocean.theme")));
    EXPECT_EQ(now.at(QStringLiteral("ReadMe.txt")), "new readme");
    EXPECT_FALSE(QFileInfo::exists(programHost() + QStringLiteral("/AAAAAA")));

    source(QStringLiteral("asterisk.wav"), QByteArray(3000, 'A'));
    FileSystem plain;
    EXPECT_EQ(save(plain).outcome, SaveOutcome::Saved);
    EXPECT_EQ(themeContents(), after);
}

TEST_F(SaveFaults, AScratchCopyThatVanishesBetweenTheTwoStagesIsReported) {
    const auto [before, after] = oldAndNew();
    HookedFiles files;
    const QString scratch = scratchFolder(kProgram);
    files.beforeCopy = [&](const QString& from) {
        if (from.startsWith(scratch) && from.endsWith(QStringLiteral(".wav")))
            QFile::remove(hostPath(from).value());
    };
    const SaveResult result = save(files);
    EXPECT_EQ(result.outcome, SaveOutcome::Failed);
    ASSERT_FALSE(result.status.ok());
    EXPECT_EQ(result.status.error().step, QStringLiteral("Copying into the theme directory"));
    EXPECT_TRUE(result.status.error().file.endsWith(QStringLiteral("Ocean Asterisk.wav")));
    expectOldOrNew(before, after, "vanished scratch copy");
    EXPECT_EQ(themeContents().at(QStringLiteral("Ocean Asterisk.wav")),
              before.at(QStringLiteral("Ocean Asterisk.wav")));

    FileSystem plain;
    EXPECT_EQ(save(plain).outcome, SaveOutcome::Saved);
    EXPECT_EQ(themeContents(), after);
}

TEST_F(SaveFaults, ALockThatNamesNoOwnerBlocksOnlyWhileAProcessHoldsIt) {
    // What a save killed right after creating its lock leaves: an empty file.
    // While a live holder has it locked (the moment before it writes its
    // owner) it blocks; once no one holds it, the next save takes it over.
    const QString lock = programHost() + QStringLiteral("/save.lock");
    writeFile(lock, QByteArray());
    QFile holder(lock);
    ASSERT_TRUE(holder.open(QIODevice::ReadOnly));
    ASSERT_EQ(::flock(holder.handle(), LOCK_EX | LOCK_NB), 0);
    FileSystem files;
    const SaveResult blocked = save(files);
    EXPECT_EQ(blocked.outcome, SaveOutcome::Failed);
    ASSERT_FALSE(blocked.status.ok());
    EXPECT_TRUE(blocked.status.error().reason.contains(
        QStringLiteral("another save or install is running")));

    holder.close();
    EXPECT_EQ(save(files).outcome, SaveOutcome::Saved);
    EXPECT_FALSE(QFileInfo::exists(lock));
}

// What a save killed on a disk without unnamed files (vfat) leaves beside
// its targets is removed by the next save of the theme; a file of the user's
// that only looks alike stays.
TEST_F(SaveFaults, TheNextSaveRemovesTheTemporaryFilesAKilledSaveLeft) {
    const auto [before, after] = oldAndNew();
    writeFile(themeHost() + QStringLiteral("/~P95C0DE.TMP"), "killed");
    writeFile(themeHost() + QStringLiteral("/~p95beef.tmp"), "killed");
    writeFile(themeHost() + QStringLiteral("/~P95 notes.TMP"), "the user's");
    test::DiskFaults disk;
    disk.unnamedFiles = false;
    FileSystem files(disk);
    EXPECT_EQ(save(files).outcome, SaveOutcome::Saved);
    Contents expected = after;
    expected[QStringLiteral("~P95 notes.TMP")] = "the user's";
    EXPECT_EQ(themeContents(), expected);
}

// The longest name the check accepts: its longest file name is 255 bytes
// (75 × "€", three bytes each, and " Diagonal Resize 2 (SW-NE).cur").
TEST_F(SaveFaults, TheLongestAcceptedNameSavesWholeWithOrWithoutUnnamedFiles) {
    m_doc.name = QString(75, QChar(0x20AC));
    m_doc.pointers[11] = source(QStringLiteral("nesw.cur"), QByteArray(700, 'd'));
    const QString pointer = m_doc.name + QStringLiteral(" Diagonal Resize 2 (SW-NE).cur");
    ASSERT_EQ(QFile::encodeName(pointer).size(), 255);
    const QString folder = onDrive(QStringLiteral("Program Files/Plus!/Themes/") + m_doc.name);
    for (const bool unnamedFiles : {true, false}) {
        SCOPED_TRACE(unnamedFiles ? "O_TMPFILE" : "temporary names");
        QDir(folder).removeRecursively();
        test::DiskFaults disk;
        disk.unnamedFiles = unnamedFiles;
        FileSystem files(disk);
        const SaveResult result = save(files);
        ASSERT_EQ(result.outcome, SaveOutcome::Saved)
            << (result.status.ok() ? std::string() : result.status.error().text().toStdString());
        EXPECT_EQ(test::readBytes(folder + QLatin1Char('/') + pointer), QByteArray(700, 'd'));
        // Four copies, the .theme file and ReadMe.txt: nothing else.
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 6);
    }
    // One letter more is refused before anything is written.
    m_doc.name += QChar(0x20AC);
    FileSystem files;
    EXPECT_EQ(save(files).outcome, SaveOutcome::Refused);
}
