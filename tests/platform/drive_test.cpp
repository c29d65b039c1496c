#include "drive_support.h"
#include "platform/drive.h"
#include "test_support.h"

using namespace p95;
using p95::test::DriveFixture;
using p95::test::ScopedEnv;

namespace {

QString mapped(const QString& path) {
    auto result = hostPath(path);
    EXPECT_TRUE(result.ok()) << result.error().text().toStdString();
    return result.ok() ? result.value() : QString();
}

} // namespace

using Drive = DriveFixture;

TEST_F(Drive, IsCreatedWithTheThemesRootAndWindowsFolderOnFirstUse) {
    EXPECT_FALSE(QFileInfo::exists(drive()));
    EXPECT_EQ(driveCFolder(), drive());
    EXPECT_TRUE(QFileInfo(onDrive(QStringLiteral("Program Files/Plus!/Themes"))).isDir());
    EXPECT_TRUE(QFileInfo(onDrive(QStringLiteral("Windows"))).isDir());
}

TEST_F(Drive, AnExistingFolderIsTakenAsItIs) {
    // A mounted Windows disk or a Wine prefix: the platform adds nothing to it.
    QDir().mkpath(drive());
    EXPECT_EQ(driveCFolder(), drive());
    EXPECT_FALSE(QFileInfo::exists(onDrive(QStringLiteral("Program Files"))));
    EXPECT_FALSE(QFileInfo::exists(onDrive(QStringLiteral("Windows"))));
}

TEST(DriveDefault, LivesInTheUsersDataFolder) {
    QTemporaryDir home;
    ScopedEnv noDrive("PALETTEER95_DRIVE_C", QByteArray());
    ScopedEnv dataHome("XDG_DATA_HOME", home.path().toUtf8());
    EXPECT_EQ(driveCFolder(), home.path() + QStringLiteral("/paletteer95/drive_c"));
    EXPECT_TRUE(QFileInfo(home.path() + QStringLiteral("/paletteer95/drive_c/Windows")).isDir());
}

TEST_F(Drive, ComponentsAreFoundRegardlessOfLetterCase) {
    driveCFolder();
    writeFile(onDrive(QStringLiteral("Windows/Media/Ding.WAV")), "x");
    EXPECT_EQ(mapped(QStringLiteral("C:\\WINDOWS\\MEDIA\\DING.WAV")),
              onDrive(QStringLiteral("Windows/Media/Ding.WAV")));
    EXPECT_EQ(mapped(QStringLiteral("c:/program files/PLUS!/themes/")),
              onDrive(QStringLiteral("Program Files/Plus!/Themes/")));
    // Both separators, doubled ones and "." components.
    EXPECT_EQ(mapped(QStringLiteral("C:\\windows/.\\\\media//ding.wav")),
              onDrive(QStringLiteral("Windows/Media/Ding.WAV")));
}

TEST_F(Drive, AnExactMatchWinsOverOneThatDiffersInCase) {
    driveCFolder();
    QDir().mkpath(onDrive(QStringLiteral("Themes/Ocean")));
    QDir().mkpath(onDrive(QStringLiteral("Themes/OCEAN")));
    EXPECT_EQ(mapped(QStringLiteral("C:\\themes\\Ocean")), onDrive(QStringLiteral("Themes/Ocean")));
    EXPECT_EQ(mapped(QStringLiteral("C:\\themes\\OCEAN")), onDrive(QStringLiteral("Themes/OCEAN")));
    const QString either = mapped(QStringLiteral("C:\\themes\\ocean"));
    EXPECT_TRUE(either == onDrive(QStringLiteral("Themes/Ocean")) ||
                either == onDrive(QStringLiteral("Themes/OCEAN")))
        << either.toStdString();
}

TEST_F(Drive, MissingComponentsKeepTheCaseGiven) {
    driveCFolder();
    EXPECT_EQ(mapped(QStringLiteral("C:\\PROGRAM FILES\\Plus!\\Themes\\New One\\New One.theme")),
              onDrive(QStringLiteral("Program Files/Plus!/Themes/New One/New One.theme")));
    // Below a missing folder nothing is looked up, even where a name would match.
    EXPECT_EQ(mapped(QStringLiteral("C:\\Nowhere\\windows")),
              onDrive(QStringLiteral("Nowhere/windows")));
}

TEST_F(Drive, DotDotNeverClimbsAboveTheRoot) {
    driveCFolder();
    EXPECT_EQ(mapped(QStringLiteral("C:\\..\\..\\windows")), onDrive(QStringLiteral("Windows")));
    EXPECT_EQ(mapped(QStringLiteral("C:\\Program Files\\..\\..\\..\\etc\\passwd")),
              onDrive(QStringLiteral("etc/passwd")));
    EXPECT_EQ(mapped(QStringLiteral("C:\\Program Files\\Plus!\\..\\..\\Windows\\")),
              onDrive(QStringLiteral("Windows/")));
    EXPECT_EQ(mapped(QStringLiteral("C:\\..")), drive());
}

TEST_F(Drive, OtherDriveLettersFailLikeAMissingDrive) {
    for (const char* path : {"D:\\Themes\\x.theme", "a:/x", "Z:\\"}) {
        auto result = hostPath(QString::fromLatin1(path));
        EXPECT_FALSE(result.ok()) << path;
        if (!result.ok()) {
            EXPECT_TRUE(result.error().reason.contains(QString::fromLatin1(path).left(2).toUpper()))
                << result.error().text().toStdString();
        }
    }
}

TEST_F(Drive, HostPathsAreUsedAsTheyAre) {
    for (const char* path : {"/home/ann/Ocean.theme", "relative/arrow.cur", "C:", "C:relative",
                             "\\\\server\\share\\x.wav", ""}) {
        EXPECT_FALSE(isWindowsPath(QString::fromLatin1(path))) << path;
        EXPECT_EQ(mapped(QString::fromLatin1(path)), QString::fromLatin1(path));
    }
    EXPECT_TRUE(isWindowsPath(QStringLiteral("c:/")));
    EXPECT_TRUE(isWindowsPath(QStringLiteral("C:\\")));
}

TEST_F(Drive, ProgramDirectoryIsFilledAndTheUsersFilesAreKept) {
    const QString data = tmp() + QStringLiteral("/data");
    writeFile(data + QStringLiteral("/play.bmz"), "picture v1");
    writeFile(data + QStringLiteral("/PersonalReadMe.txz"), "installed readme");
    writeFile(data + QStringLiteral("/Pastel.scheme"), "installed scheme");
    ASSERT_TRUE(fillProgramDirectory(data).ok());

    const QString program = onDrive(QStringLiteral("Program Files/Paletteer 95"));
    EXPECT_EQ(test::readBytes(program + QStringLiteral("/play.bmz")), "picture v1");
    EXPECT_EQ(test::readBytes(program + QStringLiteral("/PersonalReadMe.txz")), "installed readme");

    // The user edits the default ReadMe and a scheme; a new installation
    // brings new program files. The stored copy of play.bmz has another case.
    writeFile(program + QStringLiteral("/PersonalReadMe.txz"), "my readme");
    writeFile(program + QStringLiteral("/Pastel.scheme"), "my scheme");
    QFile::rename(program + QStringLiteral("/play.bmz"), program + QStringLiteral("/PLAY.BMZ"));
    writeFile(data + QStringLiteral("/play.bmz"), "picture v2");
    writeFile(data + QStringLiteral("/PersonalReadMe.txz"), "new installed readme");
    ASSERT_TRUE(fillProgramDirectory(data).ok());

    EXPECT_EQ(test::readBytes(program + QStringLiteral("/PersonalReadMe.txz")), "my readme");
    EXPECT_EQ(test::readBytes(program + QStringLiteral("/Pastel.scheme")), "my scheme");
    EXPECT_EQ(test::readBytes(program + QStringLiteral("/PLAY.BMZ")), "picture v2");
    EXPECT_FALSE(QFileInfo::exists(program + QStringLiteral("/play.bmz")));

    // A deleted user file comes back from the installation.
    QFile::remove(program + QStringLiteral("/Pastel.scheme"));
    ASSERT_TRUE(fillProgramDirectory(data).ok());
    EXPECT_EQ(test::readBytes(program + QStringLiteral("/Pastel.scheme")), "installed scheme");
}

// A file that cannot be copied or refreshed does not stop the others, and each
// failure is told once.
TEST_F(Drive, FillingGoesOnPastFilesItCannotPutInPlaceAndNamesEach) {
    const QString data = tmp() + QStringLiteral("/data");
    for (const char* name : {"a.bmz", "b.bmz", "c.bmz", "d.bmz"})
        writeFile(data + QLatin1Char('/') + QLatin1String(name), "new");
    const QString program = onDrive(QStringLiteral("Program Files/Paletteer 95"));
    // Folders where two files belong: neither copy nor refresh can replace them.
    QDir().mkpath(program + QStringLiteral("/a.bmz"));
    QDir().mkpath(program + QStringLiteral("/C.BMZ"));

    const Status status = fillProgramDirectory(data);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(test::readBytes(program + QStringLiteral("/b.bmz")), "new");
    EXPECT_EQ(test::readBytes(program + QStringLiteral("/d.bmz")), "new");
    const QString text = status.error().text();
    EXPECT_EQ(text.count(QStringLiteral("a.bmz")), 1) << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("c.bmz")), 1) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("b.bmz")));
    EXPECT_FALSE(text.contains(QLatin1Char('\n')));

    // One failure is that file's own error.
    QDir(program + QStringLiteral("/C.BMZ")).removeRecursively();
    const Status one = fillProgramDirectory(data);
    ASSERT_FALSE(one.ok());
    EXPECT_TRUE(one.error().file.endsWith(QStringLiteral("a.bmz")))
        << one.error().text().toStdString();
    EXPECT_EQ(test::readBytes(program + QStringLiteral("/c.bmz")), "new");
}

TEST_F(Drive, AMissingDataFolderStillGivesAProgramDirectory) {
    EXPECT_TRUE(fillProgramDirectory(tmp() + QStringLiteral("/no-data")).ok());
    EXPECT_TRUE(QFileInfo(onDrive(QStringLiteral("Program Files/Paletteer 95"))).isDir());
    EXPECT_EQ(programDirectory(), QStringLiteral("C:\\Program Files\\Paletteer 95"));
}
