// paletteer95-cli install killed (SIGKILL) at points spread over its run, a
// fresh install and a --force over an older version: no moment shows a
// theme that looks installed but is incomplete, and the next install or
// save leaves the themes root exactly as before or as after, with nothing
// hidden left over.

#include "cli/cli_test_support.h"
#include "package_test_support.h"
#include "test_support.h"
#include "theme/theme_save.h"

#include <QElapsedTimer>
#include <QThread>

#include <iostream>

namespace p95::test {
namespace {

using PackageKill = PackageFixture;

using Contents = QMap<QString, QByteArray>;

// Sea with 300 further files; version marks every file's bytes.
QByteArray bigSea(const QByteArray& version) {
    ArchiveBuilder tar(ArchiveBuilder::Tar);
    tar.file("Sea/Sea.theme",
             themeText(QStringLiteral("Sea"), QStringLiteral("Sea\\")) + "; " + version + "\r\n");
    for (const QString& file : kThemeFileNames)
        tar.file(("Sea/Sea" + file).toUtf8(), version + file.toUtf8());
    for (int i = 0; i < 300; ++i)
        tar.file("Sea/Extras/" + QByteArray::number(i) + ".txt", version + QByteArray::number(i));
    return tar.bytes();
}

class KillLoop : public PackageKill {
protected:
    // On a memory file system where there is one: the flushes of some fifty
    // installs and saves would otherwise take most of a minute, and a kill
    // lands in the same steps either way.
    void SetUp() override {
        if (m_shm.isValid()) {
            m_drive = m_shm.path() + QStringLiteral("/drive_c");
            m_shmEnv.emplace("PALETTEER95_DRIVE_C", m_drive.toUtf8());
        }
        PackageKill::SetUp();
    }

    // The drive as it stands, without the other theme a save writes.
    Contents state() const {
        Contents contents = driveContents();
        for (auto it = contents.begin(); it != contents.end();) {
            if (it.key().contains(QLatin1String("Themes/Zed")))
                it = contents.erase(it);
            else
                ++it;
        }
        return contents;
    }

    void restore(const Contents& contents) {
        QDir(onDrive(QStringLiteral("Program Files/Plus!"))).removeRecursively();
        for (auto it = contents.cbegin(); it != contents.cend(); ++it) {
            if (it.key().endsWith(QLatin1Char('/')))
                QDir().mkpath(onDrive(it.key()));
            else
                writeFile(onDrive(it.key()), it.value());
        }
    }

    // With its .theme file in place as after, every file is as after.
    void expectNoVisibleHalfTheme(const Contents& after) {
        const QString theme = QStringLiteral("Program Files/Plus!/Themes/Sea/Sea.theme");
        const Contents now = driveContents();
        if (now.value(theme) != after.value(theme))
            return;
        for (auto it = after.cbegin(); it != after.cend(); ++it) {
            if (it.key().startsWith(QLatin1String("Program Files/Plus!/Themes/"))) {
                ASSERT_EQ(now.value(it.key(), "(missing)"), it.value()) << it.key().toStdString();
            }
        }
    }

    QTemporaryDir m_shm{QStringLiteral("/dev/shm/p95-kill-XXXXXX")};
    std::optional<ScopedEnv> m_shmEnv;

    void run(const QString& package, const QStringList& args, int kills) {
        const Contents before = state();
        QElapsedTimer timer;
        timer.start();
        CliRun whole = runCli(QStringList{QStringLiteral("install"), package} + args);
        const qint64 wholeUs = timer.nsecsElapsed() / 1000;
        ASSERT_EQ(whole.exitCode, 0) << whole.err.toStdString();
        const Contents after = state();
        ASSERT_NE(after, before);
        restore(before);
        int sawBefore = 0;
        int sawAfter = 0;
        int inMoves = 0; // kills that left a journal: cut off while moving files into place
        for (int i = 0; i < kills; ++i) {
            SCOPED_TRACE(i);
            QProcess cli;
            cli.start(QStringLiteral(P95_CLI_PATH),
                      QStringList{QStringLiteral("install"), package} + args);
            ASSERT_TRUE(cli.waitForStarted());
            // From a fifth of the run on: before that the program is starting.
            QThread::usleep(unsigned(wholeUs / 5 + wholeUs * 4 / 5 * (i + 1) / (kills + 1)));
            cli.kill();
            cli.waitForFinished();
            expectNoVisibleHalfTheme(after);
            inMoves += QFile::exists(
                onDrive(QStringLiteral("Program Files/Plus!/.paletteer95-install/journal")));

            // The next operation on the themes root: a save, or the install again.
            if (i % 2 == 0) {
                ThemeDocument doc;
                doc.name = QStringLiteral("Zed");
                const SaveResult saved = saveTheme(doc, m_files);
                ASSERT_TRUE(saved.status.ok()) << saved.status.error().text().toStdString();
                const Contents now = state();
                EXPECT_TRUE(now == before || now == after);
                sawBefore += now == before;
                sawAfter += now == after;
                QDir(themesHost() + QStringLiteral("/Zed")).removeRecursively();
            } else {
                const CliRun again = runCli(QStringList{QStringLiteral("install"), package} + args);
                const Contents now = state();
                // Refused only where the killed install had finished.
                EXPECT_TRUE(now == after) << again.err.toStdString();
            }
            restore(before);
        }
        std::cout << "[ figures  ] " << kills << " kills over " << wholeUs / 1000 << " ms, "
                  << inMoves << " of them while moving files into place; a save found "
                  << "the root as before " << sawBefore << " times, as after " << sawAfter
                  << " times\n";
    }
};

TEST_F(KillLoop, AnInstallKilledAnywhereIsFinishedOrUndoneByTheNextInstallOrSave) {
    const QString fresh = writePackage(bigSea("new"), QStringLiteral("new.tar"));
    run(fresh, {}, 12);

    // Over an older version: a --force killed half-way gets the old theme back.
    ASSERT_EQ(
        runCli({QStringLiteral("install"), writePackage(bigSea("old"), QStringLiteral("old.tar"))})
            .exitCode,
        0);
    run(fresh, {QStringLiteral("--force")}, 12);
}

} // namespace
} // namespace p95::test
