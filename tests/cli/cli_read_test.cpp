#include "cli/cli_test_support.h"
#include "drive_support.h"
#include "platform/test_pictures.h"
#include "test_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <unistd.h>

using namespace p95;
using p95::test::runCli;

namespace {

const QString kThemes = QStringLiteral("Program Files/Plus!/Themes/");
const QString kLoadProblem = QStringLiteral(
    "There was a slight problem while loading this theme (one or more files couldn't be found "
    "or were corrupt). The rest of the theme should be functioning correctly");

class CliRead : public test::DriveFixture {
protected:
    // Ocean.theme in its theme directory on drive C, with a cursor that loads.
    QString writeOcean(const QByteArray& extra = {}) {
        writeFile(onDrive(kThemes + QStringLiteral("Ocean/Ocean Help Select.cur")),
                  test::curBytes());
        const QString path = onDrive(kThemes + QStringLiteral("Ocean/Ocean.theme"));
        writeFile(path, "[Control Panel\\Cursors]\r\n"
                        "Help=%ThemeDir%Ocean\\Ocean Help Select.cur\r\n"
                        "Wait=%ThemeDir%Ocean\\Ocean Busy.ani\r\n" +
                            extra +
                            "[AppEvents\\Schemes\\Apps\\.Default\\SystemStart\\.Current]\r\n"
                            "DefaultValue=%WinDir%media\\tada.wav\r\n"
                            "[Control Panel\\Colors]\r\nMenu=1 2 3\r\n");
        return path;
    }

    static QJsonObject json(const test::CliRun& run) {
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return QJsonDocument::fromJson(run.out).object();
    }

    static QStringList strings(const QJsonValue& value) {
        QStringList out;
        for (const QJsonValue& v : value.toArray())
            out << v.toString();
        return out;
    }
};

} // namespace

TEST_F(CliRead, PrintsTheDocumentAndNoMessagesWhenEverythingLoads) {
    const QJsonObject doc = json(runCli({QStringLiteral("read"), writeOcean()}));
    EXPECT_EQ(doc[QStringLiteral("name")].toString(), QStringLiteral("Ocean"));
    const QStringList pointers = strings(doc[QStringLiteral("pointers")]);
    ASSERT_EQ(pointers.size(), 14);
    EXPECT_EQ(pointers[1],
              QStringLiteral("C:\\Program Files\\Plus!\\Themes\\Ocean\\Ocean Help Select.cur"));
    EXPECT_EQ(pointers[3],
              QStringLiteral("C:\\Program Files\\Plus!\\Themes\\Ocean\\Ocean Busy.ani"));
    EXPECT_EQ(strings(doc[QStringLiteral("sounds")])[19],
              QStringLiteral("C:\\Windows\\media\\tada.wav"));
    EXPECT_EQ(strings(doc[QStringLiteral("colours")])[9], QStringLiteral("1 2 3"));
    EXPECT_EQ(doc[QStringLiteral("colourMode")].toString(), QStringLiteral("own"));
    EXPECT_EQ(doc[QStringLiteral("messages")].toArray(), QJsonArray());
}

TEST_F(CliRead, MessagesComeInTheOrderTheReadingShowsThem) {
    const QString path =
        writeOcean("Arrow=%ThemeDir%Ocean\\gone.cur\r\n"
                   "[AppEvents\\Schemes\\Apps\\.Default\\SystemAsterisk\\.Current]\r\n"
                   "DefaultValue=%ThemeDir%x.WAV\r\n"
                   "[AppEvents\\Schemes\\Apps\\.Default\\Maximize\\.Current]\r\n"
                   "DefaultValue=C:\\a.wav\\zzzzzzzzzzzzz\r\n");
    const QJsonObject doc = json(runCli({QStringLiteral("read"), path}));
    EXPECT_EQ(
        strings(doc[QStringLiteral("messages")]),
        (QStringList{QStringLiteral("C:\\a.wav\\.wav"), QStringLiteral(".wav"), kLoadProblem}));
    EXPECT_EQ(strings(doc[QStringLiteral("pointers")])[0], QString());
}

TEST_F(CliRead, WindowsPathIsFoundOnDriveCInAnyCaseAndNamesTheTheme) {
    writeOcean();
    const QJsonObject doc =
        json(runCli({QStringLiteral("read"),
                     QStringLiteral("c:\\PROGRAM FILES\\plus!\\Themes\\ocean\\Ocean.theme")}));
    EXPECT_EQ(doc[QStringLiteral("name")].toString(), QStringLiteral("Ocean"));
    EXPECT_EQ(doc[QStringLiteral("messages")].toArray(), QJsonArray());
}

TEST_F(CliRead, IntoKeepsWhatTheFileDoesNotSayAndClearsPathSlots) {
    const QString into = tmp() + QStringLiteral("/doc.json");
    writeFile(into, R"({"name":"Old","tiled":true,"readMe":"Hello","jpegWallpaper":true,
                        "sounds":["a.wav","","","","","","","","","","","","","","","","","","",""],
                        "colours":["9 9 9","","","","","","","","","","","","","","","","","","","","","","","",""]})");
    const QJsonObject doc =
        json(runCli({QStringLiteral("read"), writeOcean(), QStringLiteral("--into"), into}));
    EXPECT_EQ(doc[QStringLiteral("name")].toString(), QStringLiteral("Ocean"));
    EXPECT_TRUE(doc[QStringLiteral("tiled")].toBool());
    EXPECT_TRUE(doc[QStringLiteral("jpegWallpaper")].toBool());
    EXPECT_EQ(doc[QStringLiteral("readMe")].toString(), QStringLiteral("Hello"));
    EXPECT_EQ(strings(doc[QStringLiteral("sounds")])[0], QString());
    EXPECT_EQ(strings(doc[QStringLiteral("colours")])[0], QStringLiteral("9 9 9"));
    EXPECT_EQ(strings(doc[QStringLiteral("colours")])[9], QStringLiteral("1 2 3"));
}

TEST_F(CliRead, OutputFeedsBackIntoWrite) {
    const auto read = runCli({QStringLiteral("read"), writeOcean("Arrow=nothing.cur\r\n")});
    ASSERT_EQ(read.exitCode, 0);
    const auto write = runCli({QStringLiteral("write"), QStringLiteral("-")}, read.out);
    EXPECT_EQ(write.exitCode, 0) << write.err.toStdString();
    EXPECT_TRUE(write.out.contains("\r\nHelp=%ThemeDir%Ocean\\Ocean Help Select.cur\r\n"));
    EXPECT_TRUE(write.out.contains("\r\nMenu=1 2 3\r\n"));
}

TEST_F(CliRead, UnreadableFileExitsOneAndPrintsNoDocument) {
    for (const QString& path : {tmp() + QStringLiteral("/none.theme"), tmp(),
                                QStringLiteral("D:\\Themes\\Ocean.theme")}) {
        SCOPED_TRACE(path.toStdString());
        const auto run = runCli({QStringLiteral("read"), path});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(path.toUtf8())) << run.err.toStdString();
    }
}

TEST_F(CliRead, AFileThatIsNoThemeExitsTwoAndPrintsNoDocument) {
    const QString letter = tmp() + QStringLiteral("/letter.theme");
    writeFile(letter, "Dear Ann,\nhere is the theme.\n");
    const auto run = runCli({QStringLiteral("read"), letter});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("is not a theme file")) << run.err.toStdString();
}

TEST_F(CliRead, FileWithoutReadPermissionExitsOne) {
    const QString theme = writeOcean();
    ASSERT_TRUE(QFile(theme).setPermissions(QFile::WriteOwner));
    QStringList command{QStringLiteral(P95_CLI_PATH), QStringLiteral("read"), theme};
    if (geteuid() == 0) {
        // Root reads whatever the permission bits say: read as nobody, who
        // may pass through the folders but not read the file.
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty())
            GTEST_SKIP() << "setpriv is not installed; it runs the reading as nobody";
        command = QStringList{setpriv, QStringLiteral("--reuid=nobody"),
                              QStringLiteral("--regid=nogroup"), QStringLiteral("--clear-groups")} +
                  command;
        for (QString dir = QFileInfo(theme).absolutePath(); dir != QStringLiteral("/");
             dir = QFileInfo(dir).absolutePath())
            QFile(dir).setPermissions(QFile(dir).permissions() | QFile::ExeOther);
    }
    QProcess process;
    process.start(command.takeFirst(), command);
    ASSERT_TRUE(process.waitForFinished(60000));
    const QByteArray err = process.readAllStandardError();
    EXPECT_EQ(process.exitCode(), 1) << err.toStdString();
    EXPECT_TRUE(process.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(err.contains("Ocean.theme") && err.contains("denied")) << err.toStdString();
}

TEST_F(CliRead, BadUsageOrDocumentExitsTwo) {
    const QString theme = writeOcean();
    const QString bad = tmp() + QStringLiteral("/bad.json");
    writeFile(bad, R"({"pointers": 3})");
    const QList<QStringList> cases{
        {QStringLiteral("read")},
        {QStringLiteral("read"), theme, QStringLiteral("other.theme")},
        {QStringLiteral("read"), theme, QStringLiteral("--into")},
        {QStringLiteral("read"), theme, QStringLiteral("--bogus")},
        {QStringLiteral("read"), theme, QStringLiteral("--into"), bad},
        {QStringLiteral("read"), theme, QStringLiteral("--into"), tmp() + QStringLiteral("/none")},
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        const auto run = runCli(args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    }
}

TEST_F(CliRead, RealWorldThemeNamesItselfAndReportsItsMissingFiles) {
    const QString file = QStringLiteral(P95_REALWORLD_THEMES "/Nature (high color).theme");
    P95_SKIP_WITHOUT_REALWORLD(QFile::exists(file),
                               "no real-world themes at " P95_REALWORLD_THEMES);
    const QJsonObject doc = json(runCli({QStringLiteral("read"), file}));
    EXPECT_EQ(doc[QStringLiteral("name")].toString(), QStringLiteral("Nature (high color)"));
    EXPECT_EQ(strings(doc[QStringLiteral("messages")]), QStringList{kLoadProblem});
}
