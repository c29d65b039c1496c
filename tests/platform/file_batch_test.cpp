// Files made durable together: nothing of a batch's folder changes before
// commit(), then every file takes its place whole; a batch dropped or cut
// short by a full disk leaves each target old or wholly new, and no litter.

#include "drive_support.h"
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
    FileSystem files;
    FileSystem::Batch batch(files, kTheme);
    files.setWriteLimit(9 + 1024 * 1024);
    EXPECT_TRUE(files.writeFile(kTheme + QStringLiteral("\\Ocean.theme"), "new theme").ok());
    const Status full = files.copyFile(tmp() + QStringLiteral("/big.cur"),
                                       kTheme + QStringLiteral("\\Ocean Busy.cur"));
    ASSERT_FALSE(full.ok());
    EXPECT_TRUE(full.error().reason.contains(QStringLiteral("No space")));
    EXPECT_EQ(entries(), m_before);

    EXPECT_TRUE(batch.commit().ok());
    EXPECT_EQ(test::readBytes(themeFile("Ocean.theme")), "new theme");
    EXPECT_EQ(test::readBytes(themeFile("Ocean Busy.cur")), "old busy");
    EXPECT_EQ(entries(), m_before);
}
