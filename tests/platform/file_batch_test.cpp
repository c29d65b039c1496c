// Files made durable together: nothing of a batch's folder changes before
// commit(), then every file takes its place whole; a batch dropped or cut
// short by a full disk leaves each target old or wholly new, and no litter.

#include "drive_support.h"
#include "faults/disk_faults.h"
#include "platform/drive.h"
#include "platform/file_system.h"
#include "test_support.h"

using namespace p95;

namespace {

const QString kTheme = QStringLiteral("C:\\Themes\\Ocean");

class Batches : public test::DriveFixture {
protected:
    Batches() {
        driveCFolder();
        writeFile(themeFile("Ocean.theme"), "old theme");
        writeFile(themeFile("Ocean Busy.cur"), "old busy");
        writeFile(tmp() + QStringLiteral("/busy.cur"), "new busy");
    }
    QString themeFile(const char* name) const {
        return onDrive(QStringLiteral("Themes/Ocean/") + QLatin1String(name));
    }
    // Every entry of the theme folder, hidden and unfinished files included.
    QStringList entries() const {
        return QDir(onDrive(QStringLiteral("Themes/Ocean")))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    }
    // Two files into the batch's folder, one (a scratch copy) elsewhere.
    void writeAll(FileSystem& files) {
        EXPECT_TRUE(files.writeFile(kTheme + QStringLiteral("\\Ocean.theme"), "new theme").ok());
        EXPECT_TRUE(files
                        .copyFile(tmp() + QStringLiteral("/busy.cur"),
                                  kTheme + QStringLiteral("\\Ocean Busy.cur"))
                        .ok());
        EXPECT_TRUE(files
                        .copyFile(tmp() + QStringLiteral("/busy.cur"),
                                  QStringLiteral("C:\\Scratch\\Ocean Busy.ani"))
                        .ok());
    }
    const QStringList m_before{QStringLiteral("Ocean Busy.cur"), QStringLiteral("Ocean.theme")};
};

} // namespace

TEST_F(Batches, NothingOfTheFolderChangesBeforeCommitThenEveryFileTakesItsPlace) {
    QDir().mkpath(onDrive(QStringLiteral("Scratch")));
    QFile(themeFile("Ocean Busy.cur")).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    FileSystem files;
    FileSystem::Batch batch(files, kTheme);
    writeAll(files);

    EXPECT_EQ(test::readBytes(themeFile("Ocean.theme")), "old theme");
    EXPECT_EQ(test::readBytes(themeFile("Ocean Busy.cur")), "old busy");
    EXPECT_EQ(entries(), m_before);
    // A file outside the folder is there at once.
    EXPECT_EQ(test::readBytes(onDrive(QStringLiteral("Scratch/Ocean Busy.ani"))), "new busy");

    EXPECT_TRUE(batch.commit().ok());
    EXPECT_EQ(test::readBytes(themeFile("Ocean.theme")), "new theme");
    EXPECT_EQ(test::readBytes(themeFile("Ocean Busy.cur")), "new busy");
    EXPECT_EQ(entries(), m_before);
    // A replaced file keeps its permissions.
    const QFileDevice::Permissions ownerGroupOther(0x7077);
    EXPECT_EQ(QFile(themeFile("Ocean Busy.cur")).permissions() & ownerGroupOther,
              QFile::ReadOwner | QFile::WriteOwner);

    // Once committed, the batch is over: writes are ordinary again.
    EXPECT_TRUE(files.writeFile(kTheme + QStringLiteral("\\Ocean.theme"), "later").ok());
    EXPECT_EQ(test::readBytes(themeFile("Ocean.theme")), "later");
}

TEST_F(Batches, ABatchEndedWithoutCommitLeavesEveryTargetAsItWas) {
    QDir().mkpath(onDrive(QStringLiteral("Scratch")));
    FileSystem files;
    {
        FileSystem::Batch batch(files, kTheme);
        writeAll(files);
        // A folder where a file should go is refused before anything is written.
        QDir().mkpath(themeFile("ReadMe.txt"));
        EXPECT_FALSE(files.writeFile(kTheme + QStringLiteral("\\ReadMe.txt"), "text").ok());
    }
    EXPECT_EQ(test::readBytes(themeFile("Ocean.theme")), "old theme");
    EXPECT_EQ(test::readBytes(themeFile("Ocean Busy.cur")), "old busy");
    EXPECT_EQ(entries(),
              (QStringList{QStringLiteral("Ocean Busy.cur"), QStringLiteral("Ocean.theme"),
                           QStringLiteral("ReadMe.txt")}));
}

TEST_F(Batches, AFullDiskFailsOneFileAndCommitPlacesTheOnesWrittenBeforeIt) {
    const QByteArray big(2 * 1024 * 1024 + 3, 'b');
    writeFile(tmp() + QStringLiteral("/big.cur"), big);
    for (const bool kernelCopy : {true, false}) {
        SCOPED_TRACE(kernelCopy ? "copy_file_range" : "write");
        writeFile(themeFile("Ocean.theme"), "old theme");
        test::DiskFaults disk;
        disk.kernelCopy = kernelCopy;
        FileSystem files(disk);
        FileSystem::Batch batch(files, kTheme);
        disk.room = 9 + 1024 * 1024;
        EXPECT_TRUE(files.writeFile(kTheme + QStringLiteral("\\Ocean.theme"), "new theme").ok());
        const Status full = files.copyFile(tmp() + QStringLiteral("/big.cur"),
                                           kTheme + QStringLiteral("\\Ocean Busy.cur"));
        ASSERT_FALSE(full.ok());
        EXPECT_TRUE(full.error().reason.contains(QStringLiteral("No space")));
        EXPECT_EQ(disk.copiesCut, kernelCopy ? 1 : 0);
        EXPECT_EQ(entries(), m_before);

        EXPECT_TRUE(batch.commit().ok());
        EXPECT_EQ(test::readBytes(themeFile("Ocean.theme")), "new theme");
        EXPECT_EQ(test::readBytes(themeFile("Ocean Busy.cur")), "old busy");
        EXPECT_EQ(entries(), m_before);
    }
}

TEST_F(Batches, TheFolderIsOpenedFirstAndOneFlushComesBeforeAnyRename) {
    QDir().mkpath(onDrive(QStringLiteral("Scratch")));
    test::DiskFaults disk;
    FileSystem files(disk);
    FileSystem::Batch batch(files, kTheme);
    writeAll(files);
    EXPECT_TRUE(batch.commit().ok());

    // Opened when the batch began, so a write-back error of its files reaches the flush.
    EXPECT_EQ(disk.log.indexOf(QStringLiteral("open folder Ocean")), 0);
    EXPECT_EQ(disk.count(QStringLiteral("open folder Ocean")), 1);
    const qsizetype flushed = disk.log.indexOf(QStringLiteral("flush file system"));
    ASSERT_GE(flushed, 0);
    EXPECT_LT(flushed, disk.log.indexOf(QStringLiteral("rename Ocean.theme")));
    EXPECT_LT(flushed, disk.log.indexOf(QStringLiteral("rename Ocean Busy.cur")));
    EXPECT_EQ(disk.count(QStringLiteral("flush file system")), 1);
    EXPECT_EQ(disk.count(QStringLiteral("flush file")), 0);
}

// A failed flush, of the file system or (on FUSE, whose syncfs does not
// reach the disk) of one file, renames nothing and names what failed.
TEST_F(Batches, AFailedFlushRenamesNothingAndOnFuseEachFileIsFlushedOnItsOwn) {
    QDir().mkpath(onDrive(QStringLiteral("Scratch")));
    const struct {
        long fileSystem;
        const char* failing;
        QString named;
    } cases[] = {
        {0, "flush file system", kTheme},
        {0x65735546, "flush file", kTheme + QStringLiteral("\\Ocean.theme")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failing);
        test::DiskFaults disk;
        disk.fileSystem = c.fileSystem;
        disk.failing = {QString::fromLatin1(c.failing)};
        FileSystem files(disk);
        FileSystem::Batch batch(files, kTheme);
        writeAll(files);
        const Status failed = batch.commit();
        ASSERT_FALSE(failed.ok());
        EXPECT_EQ(failed.error().file, c.named);
        EXPECT_EQ(test::readBytes(themeFile("Ocean.theme")), "old theme");
        EXPECT_EQ(test::readBytes(themeFile("Ocean Busy.cur")), "old busy");
        EXPECT_EQ(entries(), m_before);
    }

    test::DiskFaults fuse;
    fuse.fileSystem = 0x65735546;
    FileSystem files(fuse);
    FileSystem::Batch batch(files, kTheme);
    writeAll(files);
    EXPECT_TRUE(batch.commit().ok());
    EXPECT_EQ(fuse.count(QStringLiteral("flush file system")), 0);
    EXPECT_EQ(fuse.count(QStringLiteral("flush file")), 2);
    EXPECT_LT(fuse.log.lastIndexOf(QStringLiteral("flush file")),
              fuse.log.indexOf(QStringLiteral("rename Ocean.theme")));
    EXPECT_EQ(test::readBytes(themeFile("Ocean.theme")), "new theme");
    EXPECT_EQ(test::readBytes(themeFile("Ocean Busy.cur")), "new busy");
}

TEST_F(Batches, ARenameThatFailsAtCommitIsReportedAndLeavesItsTargetAsItWas) {
    FileSystem files;
    FileSystem::Batch batch(files, kTheme);
    EXPECT_TRUE(files.writeFile(kTheme + QStringLiteral("\\Ocean.theme"), "new theme").ok());
    EXPECT_TRUE(files.writeFile(kTheme + QStringLiteral("\\ReadMe.txt"), "new readme").ok());
    EXPECT_TRUE(files
                    .copyFile(tmp() + QStringLiteral("/busy.cur"),
                              kTheme + QStringLiteral("\\Ocean Busy.cur"))
                    .ok());
    // Made after the write: the rename onto it fails.
    QDir().mkpath(themeFile("ReadMe.txt"));
    const Status failed = batch.commit();
    ASSERT_FALSE(failed.ok());
    EXPECT_EQ(failed.error().file, kTheme + QStringLiteral("\\ReadMe.txt"));
    EXPECT_EQ(test::readBytes(themeFile("Ocean.theme")), "new theme");
    EXPECT_EQ(test::readBytes(themeFile("Ocean Busy.cur")), "old busy");
    EXPECT_TRUE(QFileInfo(themeFile("ReadMe.txt")).isDir());
    EXPECT_EQ(entries(), QStringList(m_before) << QStringLiteral("ReadMe.txt"));
}

TEST_F(Batches, ATargetThatIsALinkWaitsForCommitAndIsFlushedLikeAnyOther) {
    const QString elsewhere = tmp() + QStringLiteral("/elsewhere/Ocean.theme");
    writeFile(elsewhere, "linked theme");
    QFile::remove(themeFile("Ocean.theme"));
    ASSERT_TRUE(QFile::link(elsewhere, themeFile("Ocean.theme")));
    test::DiskFaults disk;
    FileSystem files(disk);
    FileSystem::Batch batch(files, kTheme);
    EXPECT_TRUE(files.writeFile(kTheme + QStringLiteral("\\Ocean.theme"), "new theme").ok());
    EXPECT_EQ(test::readBytes(elsewhere), "linked theme");

    EXPECT_TRUE(batch.commit().ok());
    EXPECT_EQ(test::readBytes(elsewhere), "new theme");
    EXPECT_TRUE(QFileInfo(themeFile("Ocean.theme")).isSymLink());
    // The folder's flush may not reach the link's target: it is flushed itself.
    const qsizetype flushed = disk.log.indexOf(QStringLiteral("flush file"));
    ASSERT_GE(flushed, 0);
    EXPECT_LT(flushed, disk.log.indexOf(QStringLiteral("rename Ocean.theme")));
}

// Where the file system has no unnamed files (vfat, ntfs-3g).
TEST_F(Batches, WaitingFilesWithoutUnnamedFilesHaveShortMarkedNamesAndLeaveNone) {
    QDir().mkpath(onDrive(QStringLiteral("Scratch")));
    test::DiskFaults disk;
    disk.unnamedFiles = false;
    FileSystem files(disk);
    {
        FileSystem::Batch batch(files, kTheme);
        writeAll(files);
        QStringList waiting = entries();
        for (const QString& name : m_before)
            waiting.removeOne(name);
        ASSERT_EQ(waiting.size(), 2);
        for (const QString& name : std::as_const(waiting))
            EXPECT_TRUE(isTemporaryFileName(name)) << name.toStdString();
    } // dropped, as by a failed save
    EXPECT_EQ(entries(), m_before);
    EXPECT_EQ(test::readBytes(themeFile("Ocean.theme")), "old theme");

    FileSystem::Batch batch(files, kTheme);
    writeAll(files);
    EXPECT_TRUE(batch.commit().ok());
    EXPECT_EQ(entries(), m_before);
    EXPECT_EQ(test::readBytes(themeFile("Ocean.theme")), "new theme");
    EXPECT_EQ(QDir(onDrive(QStringLiteral("Scratch"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("Ocean Busy.ani")});
}

TEST_F(Batches, OnlyTheLeftoversOfAKilledWriteAreTemporaryAndRemoved) {
    for (const char* name : {"~P95A1B2.TMP", "~p95ff0e.tmp"})
        EXPECT_TRUE(isTemporaryFileName(QLatin1String(name))) << name;
    for (const char* name : {"~P95A1B2.TMP.cur", "~P95XY12.TMP", "P95A1B2.TMP", "~P95A1B.TMP",
                             "~P95A1B2C.TMP", ".Ocean.theme.p95-0a1b2c3d"})
        EXPECT_FALSE(isTemporaryFileName(QLatin1String(name))) << name;

    writeFile(themeFile("~P95A1B2.TMP"), "left");
    writeFile(themeFile("~p95ff0e.tmp"), "left");
    writeFile(themeFile("~P95XY12.TMP"), "the user's");
    FileSystem files;
    EXPECT_TRUE(files.removeTemporaryFiles(kTheme).ok());
    EXPECT_EQ(entries(), QStringList(m_before) << QStringLiteral("~P95XY12.TMP"));
}
