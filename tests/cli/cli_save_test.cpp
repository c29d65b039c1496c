#include "drive_support.h"
#include "platform/drive.h"
#include "test_support.h"

#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>

#include <unistd.h>

using namespace p95;

namespace {

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs the CLI in a working directory, optionally through a wrapper command
// (setpriv, to run as an unprivileged user).
CliRun runIn(const QString& workDir, const QStringList& args, const QStringList& wrapper = {}) {
    QProcess process;
    process.setWorkingDirectory(workDir);
    QStringList all = wrapper;
    all << QStringLiteral(P95_CLI_PATH) << args;
    process.start(all.takeFirst(), all);
    CliRun run;
    if (!process.waitForStarted() || !process.waitForFinished(60000)) {
        ADD_FAILURE() << "paletteer95-cli did not run";
        process.kill();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

class CliSave : public test::DriveFixture {
protected:
    QString themeHost(const QString& file = {}) const {
        return onDrive(QStringLiteral("Program Files/Plus!/Themes/Ocean/") + file);
    }
    QString programHost() const { return onDrive(QStringLiteral("Program Files/Paletteer 95")); }

    CliRun save(const QByteArray& json, const QStringList& wrapper = {}) {
        writeFile(tmp() + QStringLiteral("/work/doc.json"), json);
        return runIn(tmp() + QStringLiteral("/work"),
                     {QStringLiteral("save"), QStringLiteral("doc.json")}, wrapper);
    }

    static void expectOneLine(const CliRun& run) {
        EXPECT_TRUE(run.err.endsWith('\n')) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    }
};

const QByteArray kOcean = R"({"name": "Ocean", "includeReadMe": true, "readMe": "from json",
  "pointers": ["media/arrow.cur","","","","","","","","","","","","",""],
  "sounds": ["","","","","","","","","","","","","","","","","","","","media/start.wav"]})";

} // namespace

TEST_F(CliSave, SavesWithRelativePathsFromTheWorkingDirectory) {
    driveCFolder();
    writeFile(programHost() + QStringLiteral("/PersonalReadMe.txz"), "my default\r\nReadMe");
    writeFile(tmp() + QStringLiteral("/work/media/arrow.cur"), "arrow");
    writeFile(tmp() + QStringLiteral("/work/media/start.wav"), "start");
    const CliRun run = save(kOcean);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty());
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("Ocean Normal Select.cur"))), "arrow");
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("Ocean Start Windows.wav"))), "start");
    EXPECT_TRUE(test::readBytes(themeHost(QStringLiteral("Ocean.theme")))
                    .endsWith("[MasterThemeSelector]\r\nMTSM = DABJDKT\r\n"));
    // Prepare replaced the document's ReadMe with the default one.
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("ReadMe.txt"))), "my default\r\nReadMe");
    EXPECT_FALSE(QFileInfo::exists(programHost() + QStringLiteral("/AAAAAA")));
}

TEST_F(CliSave, ADataFileThatCannotBePutInPlaceIsToldAndTheSaveGoesOn) {
    driveCFolder();
    writeFile(programHost() + QStringLiteral("/PersonalReadMe.txz"), "my default");
    QDir().mkpath(programHost() + QStringLiteral("/tipofday.txz")); // the tips cannot be copied
    const CliRun run = save(R"({"name": "Ocean", "includeReadMe": true})");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    expectOneLine(run);
    EXPECT_TRUE(run.err.contains("tipofday.txz")) << run.err.toStdString();
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("ReadMe.txt"))), "my default");
}

TEST_F(CliSave, BadInputExitsWithTwo) {
    for (const QByteArray& json :
         {QByteArray(R"({"name": "Sea:Sky"})"), QByteArray(R"({"name": "Ocean.cur"})"),
          QByteArray(R"({"name": 5})"), QByteArray("{")}) {
        const CliRun run = save(json);
        EXPECT_EQ(run.exitCode, 2) << json.toStdString();
        expectOneLine(run);
    }
    EXPECT_TRUE(QDir(onDrive(QStringLiteral("Program Files/Plus!/Themes"))).isEmpty());
    EXPECT_EQ(runIn(tmp(), {QStringLiteral("save")}).exitCode, 2);
    EXPECT_EQ(
        runIn(tmp(), {QStringLiteral("save"), QStringLiteral("a.json"), QStringLiteral("b.json")})
            .exitCode,
        2);
}

TEST_F(CliSave, MissingChosenFilesExitWithOneNamingEachOrAreLeftOutWhenAsked) {
    driveCFolder();
    const CliRun missing = save(kOcean);
    EXPECT_EQ(missing.exitCode, 1);
    expectOneLine(missing);
    for (const char* named :
         {"Normal Select: media/arrow.cur", "Start Windows: media/start.wav", "--skip-missing"})
        EXPECT_TRUE(missing.err.contains(named)) << missing.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(themeHost()));
    EXPECT_FALSE(QFileInfo::exists(programHost() + QStringLiteral("/AAAAAA")));

    writeFile(tmp() + QStringLiteral("/work/media/start.wav"), "start");
    const CliRun skipped =
        runIn(tmp() + QStringLiteral("/work"), {QStringLiteral("save"), QStringLiteral("doc.json"),
                                                QStringLiteral("--skip-missing")});
    EXPECT_EQ(skipped.exitCode, 0) << skipped.err.toStdString();
    expectOneLine(skipped);
    EXPECT_TRUE(skipped.err.contains("Normal Select: media/arrow.cur"))
        << skipped.err.toStdString();
    EXPECT_FALSE(skipped.err.contains("start.wav")) << skipped.err.toStdString();
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("Ocean Start Windows.wav"))), "start");
    EXPECT_FALSE(test::readBytes(themeHost(QStringLiteral("Ocean.theme"))).contains("Arrow="));
}

TEST_F(CliSave, AMissingThemesFolderExitsWithOneNamingItsHostFolder) {
    driveCFolder();
    QDir(onDrive(QStringLiteral("Program Files/Plus!"))).removeRecursively();
    const CliRun noRoot = save(R"({"name": "Ocean"})");
    EXPECT_EQ(noRoot.exitCode, 1);
    expectOneLine(noRoot);
    EXPECT_TRUE(noRoot.err.contains("C:\\Program Files\\Plus!\\Themes\\"))
        << noRoot.err.toStdString();
    EXPECT_TRUE(noRoot.err.contains(
        QFile::encodeName(onDrive(QStringLiteral("Program Files/Plus!/Themes")))))
        << noRoot.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(onDrive(QStringLiteral("Program Files/Plus!"))));
}

TEST_F(CliSave, AReadOnlyThemeDirectoryFailsAndLosesNothing) {
    writeFile(tmp() + QStringLiteral("/work/media/arrow.cur"), "arrow");
    writeFile(tmp() + QStringLiteral("/work/media/start.wav"), "start");
    ASSERT_EQ(save(kOcean).exitCode, 0);
    const QByteArray earlierTheme = test::readBytes(themeHost(QStringLiteral("Ocean.theme")));

    writeFile(tmp() + QStringLiteral("/work/media/arrow.cur"), "new arrow");
    QStringList wrapper;
    if (::geteuid() == 0) {
        // Root ignores permission bits: run the save as an unprivileged user
        // who may use the drive and program directory but not the theme.
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty())
            GTEST_SKIP() << "setpriv is not installed; it runs the save as nobody";
        wrapper << setpriv << QStringLiteral("--reuid=nobody") << QStringLiteral("--regid=nogroup")
                << QStringLiteral("--clear-groups");
        for (QString dir = tmp(); !dir.isEmpty() && dir != QStringLiteral("/");
             dir = QFileInfo(dir).absolutePath())
            QFile(dir).setPermissions(QFile(dir).permissions() | QFile::ExeOther |
                                      QFile::ReadOther);
        QFile(programHost()).setPermissions(QFileDevice::Permissions(0x7777));
    } else {
        QFile(themeHost())
            .setPermissions(QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                            QFile::ExeOther);
    }
    const CliRun run = save(kOcean, wrapper);
    QFile(themeHost()).setPermissions(QFileDevice::Permissions(0x7755));
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    expectOneLine(run);
    EXPECT_TRUE(run.err.contains("not writable") || run.err.contains("denied"))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("Ocean Normal Select.cur")) << run.err.toStdString();
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("Ocean Normal Select.cur"))), "arrow");
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("Ocean.theme"))), earlierTheme);
    EXPECT_EQ(QDir(themeHost()).entryList(QDir::Files | QDir::Hidden).size(), 4);
}

TEST_F(CliSave, ASaveWhileAnotherIsRunningReportsIt) {
    ASSERT_EQ(save(R"({"name": "Ocean"})").exitCode, 0);
    QFile::remove(themeHost(QStringLiteral("Ocean.theme")));
    QLockFile other(programHost() + QStringLiteral("/save.lock"));
    ASSERT_TRUE(other.tryLock());
    const CliRun run = save(R"({"name": "Ocean"})");
    EXPECT_EQ(run.exitCode, 1);
    expectOneLine(run);
    EXPECT_TRUE(run.err.contains("another save or install is running")) << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(themeHost(QStringLiteral("Ocean.theme"))));
}

// A real full disk: drive C is a small tmpfs, filled until a copy cannot finish.
class CliSaveFullDisk : public CliSave {
protected:
    void SetUp() override {
        QDir().mkpath(drive());
        QProcess mount;
        mount.start(QStringLiteral("mount"),
                    {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                     QStringLiteral("size=1m"), QStringLiteral("tmpfs"), drive()});
        if (!mount.waitForFinished() || mount.exitCode() != 0)
            GTEST_SKIP() << "cannot mount a small tmpfs here (needs root): "
                         << mount.readAllStandardError().toStdString();
        m_mounted = true;
        QDir().mkpath(onDrive(QStringLiteral("Program Files/Plus!/Themes")));
    }
    void TearDown() override {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), drive()});
    }
    bool m_mounted = false;
};

TEST_F(CliSaveFullDisk, ACopyThatFillsTheDiskHalfWayLosesNothing) {
    const QString sound = tmp() + QStringLiteral("/work/start.wav");
    writeFile(sound, QByteArray(64 * 1024, 'a'));
    const QByteArray json =
        R"({"name": "Ocean", "sounds": ["start.wav","","","","","","","","","","","","","","","","","","",""]})";
    ASSERT_EQ(save(json).exitCode, 0);
    const QByteArray earlierTheme = test::readBytes(themeHost(QStringLiteral("Ocean.theme")));

    // Leave room for half of the next copy.
    const qint64 room = QStorageInfo(drive()).bytesAvailable() - 32 * 1024;
    ASSERT_GT(room, 0);
    writeFile(onDrive(QStringLiteral("filler")), QByteArray(room, 'f'));
    writeFile(sound, QByteArray(64 * 1024, 'b'));

    const CliRun run = save(json);
    EXPECT_EQ(run.exitCode, 1);
    expectOneLine(run);
    EXPECT_TRUE(run.err.contains("No space left on device")) << run.err.toStdString();
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("Ocean Asterisk.wav"))),
              QByteArray(64 * 1024, 'a'));
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("Ocean.theme"))), earlierTheme);
    EXPECT_EQ(QDir(themeHost()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}
