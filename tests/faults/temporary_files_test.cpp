// The temporary files a killed save can leave in a theme directory never
// travel: Pack leaves them out, and Install does not place one a package
// brings.

#include "faults/disk_faults.h"
#include "package/pack.h"
#include "package/package_test_support.h"

using namespace p95;

namespace {

class LeftoverFiles : public test::PackageFixture {};

} // namespace

TEST_F(LeftoverFiles, PackAndInstallSkipThem) {
    test::writeSavedTheme(drive(), QStringLiteral("Sea"));
    writeFile(themesHost() + QStringLiteral("/Sea/~P95C0DE.TMP"), "killed");
    const QString archive = tmp() + QStringLiteral("/Sea.zip");
    const PackResult packed = packTheme(QStringLiteral("Sea"), archive, m_files);
    ASSERT_FALSE(packed.problem);
    const InstallPlan plan = planInstall(archive, m_files);
    ASSERT_FALSE(plan.problem);
    ASSERT_FALSE(plan.entries.isEmpty());
    for (const PackageEntry& entry : plan.entries)
        EXPECT_FALSE(isTemporaryFileName(entry.components.last())) << entry.name.toStdString();

    test::ArchiveBuilder zip(test::ArchiveBuilder::Zip);
    zip.file("Sky/Sky.theme", test::themeText(QStringLiteral("Sky"), QStringLiteral("Sky\\")));
    test::addThemeFiles(zip, QStringLiteral("Sky"), QStringLiteral("Sky/"));
    zip.file("Sky/~p95beef.tmp", "killed");
    const InstallResult installed = install(writePackage(zip.bytes()));
    ASSERT_FALSE(installed.problem);
    EXPECT_TRUE(QFileInfo::exists(themesHost() + QStringLiteral("/Sky/Sky.theme")));
    EXPECT_FALSE(QFileInfo::exists(themesHost() + QStringLiteral("/Sky/~p95beef.tmp")));
}
