// paletteer95-cli pack and install as a user runs them: exit statuses, what
// they print, one line on standard error for each failure.

#include "cli/cli_test_support.h"
#include "package_test_support.h"
#include "test_support.h"

namespace p95::test {
namespace {

using PackageCli = PackageFixture;

void expectFailure(const CliRun& run, int status, const char* says) {
    EXPECT_EQ(run.exitCode, status) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(says)) << run.err.toStdString();
}

TEST_F(PackageCli, PackAndInstallExitWithTheirStatusAndSayWhatWentWrongInOneLine) {
    writeSavedTheme(drive(), QStringLiteral("Sea"));
    const QString zip = tmp() + QStringLiteral("/Sea.zip");
    CliRun run = runCli({QStringLiteral("pack"), QStringLiteral("Sea"), QStringLiteral("-o"), zip});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty());
    ASSERT_TRUE(QFile::exists(zip));

    expectFailure(runCli({QStringLiteral("pack"), QStringLiteral("Nobody")}), 2, "does not exist");
    expectFailure(runCli({QStringLiteral("pack")}), 2, "needs a theme name");
    expectFailure(runCli({QStringLiteral("pack"), QStringLiteral("Sea"), QStringLiteral("-x")}), 2,
                  "unknown option");

    // Into a fresh drive, then again.
    ScopedEnv otherDrive("PALETTEER95_DRIVE_C", (tmp() + QStringLiteral("/drive2")).toUtf8());
    run = runCli({QStringLiteral("install"), zip});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "installed Sea: C:\\Program Files\\Plus!\\Themes\\Sea\\Sea.theme\n");
    expectFailure(runCli({QStringLiteral("install"), zip}), 2, "--force");
    run = runCli({QStringLiteral("install"), zip, QStringLiteral("--force")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();

    ArchiveBuilder climbing(ArchiveBuilder::Zip);
    climbing.file("Sea/Sea.theme", themeText(QStringLiteral("Sea"), QString()));
    climbing.file("../../evil", "x");
    expectFailure(runCli({QStringLiteral("install"), writePackage(climbing.bytes())}), 2,
                  "climbs out");
    expectFailure(runCli({QStringLiteral("install"), writePackage("not a zip", "text.zip")}), 1,
                  "not an archive");
    expectFailure(runCli({QStringLiteral("install"), tmp() + QStringLiteral("/none.zip")}), 1,
                  "cannot be read");
    expectFailure(runCli({QStringLiteral("install")}), 2, "needs a package");

    // Names the package has no file for are listed, and it still installs.
    ArchiveBuilder partial(ArchiveBuilder::Zip);
    partial.file("Wave/Wave.theme", themeText(QStringLiteral("Wave"), QStringLiteral("Wave\\")));
    run = runCli({QStringLiteral("install"), writePackage(partial.bytes())});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("  not in the package: %ThemeDir%Wave\\Wave Busy.ani\n"))
        << run.out.toStdString();
}

} // namespace
} // namespace p95::test
