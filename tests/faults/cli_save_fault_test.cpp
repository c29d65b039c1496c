// paletteer95-cli save under faults from outside: killed with SIGKILL at
// several points of a long save, and target files that the user may not
// write (as an unprivileged user). Afterwards every file that existed before
// is whole (as it was, or wholly new), and a later save goes through despite
// the scratch folder and the lock a killed save leaves.

#include "drive_support.h"
#include "platform/drive.h"
#include "test_support.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <map>

#include <signal.h>
#include <unistd.h>

using namespace p95;

namespace {

using Contents = std::map<QString, QByteArray>;

class CliSaveFaults : public test::DriveFixture {
protected:
    CliSaveFaults() { driveCFolder(); }
    QString themeHost(const QString& file = {}) const {
        return onDrive(QStringLiteral("Program Files/Plus!/Themes/Ocean/") + file);
    }
    QString programHost() const { return onDrive(QStringLiteral("Program Files/Paletteer 95")); }
    QString work() const { return tmp() + QStringLiteral("/work"); }

    // Twenty sounds of size bytes each, filled with fill; the document names them.
    void writeSounds(qint64 size, char fill) {
        for (int i = 0; i < 20; ++i)
            writeFile(work() + QStringLiteral("/s%1.wav").arg(i), QByteArray(size, fill));
    }
    static QByteArray document() {
        QByteArray sounds;
        for (int i = 0; i < 20; ++i)
            sounds += (i ? "," : "") + QByteArray("\"s") + QByteArray::number(i) + ".wav\"";
        return R"({"name": "Ocean", "includeReadMe": true, "sounds": [)" + sounds + "]}";
    }
    void setReadMe(const QByteArray& text) {
        writeFile(programHost() + QStringLiteral("/PersonalReadMe.txz"), text);
    }

    QProcess* start(const QStringList& wrapper = {}) {
        writeFile(work() + QStringLiteral("/doc.json"), document());
        auto* process = new QProcess;
        process->setWorkingDirectory(work());
        QStringList all = wrapper;
        all << QStringLiteral(P95_CLI_PATH) << QStringLiteral("save") << QStringLiteral("doc.json");
        process->start(all.takeFirst(), all);
        EXPECT_TRUE(process->waitForStarted());
        return process;
    }
    // Exit code, or -1 when it did not exit normally.
    static int finish(QProcess* process, QByteArray* err = nullptr) {
        if (!process->waitForFinished(120000))
            process->kill();
        process->waitForFinished();
        if (err)
            *err = process->readAllStandardError();
        const int code = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
        delete process;
        return code;
    }
    int saveNow(const QStringList& wrapper = {}, QByteArray* err = nullptr) {
        return finish(start(wrapper), err);
    }

    int scratchCopies() const {
        return int(
            QDir(programHost() + QStringLiteral("/AAAAAA/zzzzzz")).entryList(QDir::Files).size());
    }

    Contents themeContents() const {
        Contents contents;
        for (const QString& name : QDir(themeHost()).entryList(QDir::Files | QDir::Hidden))
            contents[name] = test::readBytes(themeHost(name));
        return contents;
    }
};

} // namespace

TEST_F(CliSaveFaults, ASaveKilledAtAnyPointLeavesEveryEarlierFileWholeAndTheNextSaveGoesThrough) {
    const qint64 size = 4 << 20; // 20 sounds, copied twice: 160 MB written per save
    writeSounds(size, 'o');
    setReadMe("old readme");
    QByteArray err;
    ASSERT_EQ(saveNow({}, &err), 0) << err.toStdString();
    const Contents before = themeContents();
    ASSERT_EQ(before.size(), 22u);

    QElapsedTimer timer;
    writeSounds(size, 'n');
    setReadMe("new readme");
    timer.start();
    ASSERT_EQ(saveNow(), 0);
    std::cout << "[ figures ] a save of 20 sounds of 4 MB took " << timer.elapsed() << " ms\n";
    const Contents after = themeContents();

    // Kill points by the save's progress, not by the clock: at once, then
    // when the scratch folder holds that many of the twenty copies.
    int killedMidway = 0;
    for (const int copies : {0, 1, 5, 10, 15, 20}) {
        const std::string when = "killed after " + std::to_string(copies) + " scratch copies";
        // Back to the earlier theme, then a new save to be killed.
        QDir(themeHost()).removeRecursively();
        for (const auto& [name, bytes] : before)
            writeFile(themeHost(name), bytes);
        QProcess* process = start();
        QElapsedTimer waited;
        waited.start();
        while (copies > 0 && scratchCopies() < copies && !process->waitForFinished(0) &&
               waited.elapsed() < 60000)
            QThread::usleep(200);
        ::kill(pid_t(process->processId()), SIGKILL);
        if (finish(process) == -1)
            ++killedMidway;

        for (const auto& [name, bytes] : before) {
            const QByteArray now = test::readBytes(themeHost(name));
            EXPECT_TRUE(now == bytes || now == after.at(name))
                << when << ": " << name.toStdString() << " is lost or half-written";
        }
        // What a killed save may leave: its scratch folder, its lock, and
        // unfinished copies beside their targets, never under a target's name.
        for (const auto& [name, bytes] : themeContents()) {
            if (!before.count(name))
                std::cout << "[ figures ] " << when << " left " << name.toStdString() << '\n';
        }
        std::cout << "[ figures ] " << when << ": scratch folder "
                  << (QFileInfo::exists(programHost() + QStringLiteral("/AAAAAA")) ? "left"
                                                                                   : "gone")
                  << ", lock file "
                  << (QFileInfo::exists(programHost() + QStringLiteral("/save.lock")) ? "left"
                                                                                      : "gone")
                  << '\n';

        // The next save is not blocked by what the killed one left behind.
        ASSERT_EQ(saveNow({}, &err), 0) << when << ": " << err.toStdString();
        for (const auto& [name, bytes] : after)
            EXPECT_EQ(test::readBytes(themeHost(name)), bytes)
                << when << ": " << name.toStdString();
        EXPECT_FALSE(QFileInfo::exists(programHost() + QStringLiteral("/AAAAAA"))) << when;
        EXPECT_FALSE(QFileInfo::exists(programHost() + QStringLiteral("/save.lock"))) << when;
    }
    // All but perhaps the last kill land inside a save.
    EXPECT_GE(killedMidway, 5);
}

TEST_F(CliSaveFaults, TargetFilesTheUserMayNotWriteStayAsTheyWere) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to run the save as the unprivileged user nobody";
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (setpriv.isEmpty())
        GTEST_SKIP() << "setpriv is not installed (package util-linux)";
    writeSounds(1000, 'o');
    setReadMe("old readme");
    ASSERT_EQ(saveNow(), 0);
    const Contents before = themeContents();

    // nobody may use everything, but the .theme file and ReadMe.txt are read-only.
    for (QString dir = tmp(); !dir.isEmpty() && dir != QStringLiteral("/");
         dir = QFileInfo(dir).absolutePath())
        QFile(dir).setPermissions(QFile(dir).permissions() | QFile::ExeOther | QFile::ReadOther);
    QDirIterator it(drive(), QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile(path).setPermissions(QFileInfo(path).isDir() ? QFileDevice::Permissions(0x7777)
                                                           : QFileDevice::Permissions(0x6666));
    }
    QFile(drive()).setPermissions(QFileDevice::Permissions(0x7777));
    for (const char* name : {"Ocean.theme", "ReadMe.txt"})
        QFile(themeHost(QString::fromLatin1(name)))
            .setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    writeSounds(1000, 'n');
    setReadMe("new readme");

    QByteArray err;
    const int code = saveNow({setpriv, QStringLiteral("--reuid=nobody"),
                              QStringLiteral("--regid=nogroup"), QStringLiteral("--clear-groups")},
                             &err);
    EXPECT_EQ(code, 1) << err.toStdString();
    EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
    EXPECT_TRUE(err.contains("Ocean.theme") && err.contains("not writable")) << err.toStdString();
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("Ocean.theme"))),
              before.at(QStringLiteral("Ocean.theme")));
    EXPECT_EQ(test::readBytes(themeHost(QStringLiteral("ReadMe.txt"))), "old readme");
    EXPECT_EQ(themeContents().size(), before.size());
}
