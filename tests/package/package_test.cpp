// Packing and installing theme packages on a private drive C: the round
// trip, the layouts packages come in, and everything an install must refuse.

#include "package/pack.h"
#include "package_test_support.h"
#include "test_support.h"

#include <QDateTime>
#include <QElapsedTimer>

#include <iostream>

namespace p95::test {
namespace {

using Package = PackageFixture;

QString themesPath(const QString& relative) {
    return toQString(kThemesRoot) + relative;
}

// Every file below a host folder with its bytes.
QMap<QString, QByteArray> tree(const QString& folder) {
    QMap<QString, QByteArray> files;
    const QDir top(folder);
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(top.relativeFilePath(path), readBytes(path));
    }
    return files;
}

// --------------------------------------------------------------- packing

TEST_F(Package, PackThenInstallOnAFreshDriveGivesTheSameDirectoryByteForByte) {
    const QString name = QStringLiteral("Café Sea"); // é is in code page 437
    writeSavedTheme(drive(), name);
    const QString folder = themesHost() + QLatin1Char('/') + name;
    writeFile(folder + QStringLiteral("/ReadMe.txt"), "Enjoy\r\n");
    writeFile(folder + QStringLiteral("/Notes \u00A9.txt"), "(c) is not"); // © is not
    writeFile(folder + QStringLiteral("/Extras/Map.txt"), "map");
    const QDateTime stamp(QDate(1995, 8, 24), QTime(11, 30, 20));
    {
        QFile theme(folder + QLatin1Char('/') + name + QStringLiteral(".theme"));
        ASSERT_TRUE(theme.open(QIODevice::ReadWrite));
        ASSERT_TRUE(theme.setFileTime(stamp, QFileDevice::FileModificationTime));
    }

    const QString zipPath = tmp() + QStringLiteral("/out/Café Sea.zip");
    QDir().mkpath(tmp() + QStringLiteral("/out"));
    const PackResult packed = packTheme(QStringLiteral("café sea"), zipPath, m_files);
    ASSERT_FALSE(packed.problem) << packed.problem->message.toStdString();
    EXPECT_EQ(packed.files, 9);

    const QByteArray zip = readBytes(zipPath);
    QMap<QByteArray, ZipLocalHeader> headers;
    for (const ZipLocalHeader& h : zipLocalHeaders(zip))
        headers.insert(h.name, h);
    const QByteArray cafe = "Caf\x82 Sea/"; // code page 437, no UTF-8 flag
    ASSERT_TRUE(headers.contains(cafe)) << "the folder comes first, in code page 437";
    ASSERT_TRUE(headers.contains(cafe + "Caf\x82 Sea.theme"));
    ASSERT_TRUE(headers.contains(cafe + "Extras/Map.txt"));
    const QByteArray notes = "Caf\xc3\xa9 Sea/Notes \xc2\xa9.txt";
    ASSERT_TRUE(headers.contains(notes)) << "a name code page 437 cannot hold is UTF-8";
    constexpr quint16 kUtf8Flag = 0x0800;
    for (const ZipLocalHeader& h : std::as_const(headers))
        EXPECT_EQ(h.flags & kUtf8Flag, h.name == notes ? kUtf8Flag : 0) << h.name.toStdString();
    // A DOS date stamp (local time, seconds halved) from the file.
    const ZipLocalHeader& theme = headers[cafe + "Caf\x82 Sea.theme"];
    EXPECT_EQ(theme.dosDate, ((1995 - 1980) << 9) | (8 << 5) | 24);
    EXPECT_EQ(theme.dosTime, (11 << 11) | (30 << 5) | (20 / 2));

    // Unpacked on another machine's drive C.
    ScopedEnv otherDrive("PALETTEER95_DRIVE_C", (tmp() + QStringLiteral("/drive2")).toUtf8());
    driveCFolder();
    const InstallResult result = install(zipPath);
    ASSERT_FALSE(result.problem) << result.problem->message.toStdString();
    ASSERT_EQ(result.themes.size(), 1);
    EXPECT_EQ(result.themes[0].themeFile, themesPath(name + QLatin1Char('\\') + name + ".theme"));
    EXPECT_TRUE(result.themes[0].unfound.isEmpty());
    const QString installed = tmp() + QStringLiteral("/drive2/Program Files/Plus!/Themes/") + name;
    EXPECT_EQ(tree(installed), tree(folder));
    EXPECT_EQ(tree(installed).size(), 9);
    expectOpensWhole(result.themes[0].themeFile);
}

TEST_F(Package, PackRefusesAMissingThemeAndOneThatNamesFilesItLacks) {
    const QString zipPath = tmp() + QStringLiteral("/Sea.zip");
    PackResult result = packTheme(QStringLiteral("Sea"), zipPath, m_files);
    ASSERT_TRUE(result.problem);
    EXPECT_EQ(result.problem->outcome, PackageOutcome::Refused);
    EXPECT_TRUE(result.problem->message.contains(QStringLiteral("does not exist")));

    writeSavedTheme(drive(), QStringLiteral("Sea"));
    QFile::remove(themesHost() + QStringLiteral("/Sea/Sea Busy.ani"));
    QFile::remove(themesHost() + QStringLiteral("/Sea/Sea asterisk.wav"));
    result = packTheme(QStringLiteral("Sea"), zipPath, m_files);
    ASSERT_TRUE(result.problem);
    EXPECT_EQ(result.problem->outcome, PackageOutcome::Refused);
    EXPECT_EQ(result.missing, QStringList({QStringLiteral("Sea\\Sea Busy.ani"),
                                           QStringLiteral("Sea\\Sea asterisk.wav")}));
    EXPECT_TRUE(result.problem->message.contains(QStringLiteral("Sea\\Sea Busy.ani")));
    EXPECT_FALSE(QFile::exists(zipPath));

    result = packTheme(QStringLiteral("../Sea"), zipPath, m_files);
    ASSERT_TRUE(result.problem);
    EXPECT_EQ(result.problem->outcome, PackageOutcome::Refused);
}

TEST_F(Package, PackRefusesWhatTheInstallWouldRefuse) {
    // Two names one letter case apart: one file on Windows.
    writeSavedTheme(drive(), QStringLiteral("Sea"));
    writeFile(themesHost() + QStringLiteral("/Sea/a.txt"), "a");
    writeFile(themesHost() + QStringLiteral("/Sea/A.txt"), "A");
    const QString zipPath = tmp() + QStringLiteral("/Sea.zip");
    const PackResult result = packTheme(QStringLiteral("Sea"), zipPath, m_files);
    ASSERT_TRUE(result.problem);
    EXPECT_EQ(result.problem->outcome, PackageOutcome::Refused);
    EXPECT_TRUE(result.problem->message.contains(QStringLiteral("another file")))
        << result.problem->message.toStdString();
    EXPECT_FALSE(QFile::exists(zipPath));
}

// --------------------------------------------------------------- layouts

TEST_F(Package, EveryLayoutInstallsSoThatEveryNameFindsItsFile) {
    struct Case {
        const char* layout;
        QByteArray package;
        QString themeFile; // below the themes root
        QString unreached; // where the ReadMe no name reaches goes
    };
    QList<Case> cases;
    {
        // Plus!: Sea.theme beside its files at the top, names in upper case.
        ArchiveBuilder zip(ArchiveBuilder::Zip);
        zip.file("Sea.theme", themeText(QStringLiteral("Sea"), QString()));
        addThemeFiles(zip, QStringLiteral("Sea"), QString(), true);
        zip.file("README.TXT", "read me");
        cases.append({"Plus! flat (zip)", zip.bytes(), QStringLiteral("Sea.theme"),
                      QStringLiteral("README.TXT")});
    }
    {
        // The flat names inside one folder.
        ArchiveBuilder tgz(ArchiveBuilder::Tar, "gzip");
        tgz.folder("Sea").file("Sea/Sea.theme", themeText(QStringLiteral("Sea"), QString()));
        addThemeFiles(tgz, QStringLiteral("Sea"), QStringLiteral("Sea/"));
        tgz.file("Sea/ReadMe.txt", "read me");
        cases.append({"flat in a folder (tar.gz)", tgz.bytes(), QStringLiteral("Sea.theme"),
                      QStringLiteral("ReadMe.txt")});
    }
    {
        // This program's layout.
        ArchiveBuilder sevenZip(ArchiveBuilder::SevenZip);
        sevenZip.file("Sea/Sea.theme", themeText(QStringLiteral("Sea"), QStringLiteral("Sea\\")));
        addThemeFiles(sevenZip, QStringLiteral("Sea"), QStringLiteral("Sea/"));
        sevenZip.file("Sea/ReadMe.txt", "read me");
        cases.append({"own layout (7z)", sevenZip.bytes(), QStringLiteral("Sea\\Sea.theme"),
                      QStringLiteral("Sea\\ReadMe.txt")});
    }
    {
        // The same under a folder of the packer's, "\" between folders.
        ArchiveBuilder zip(ArchiveBuilder::Zip);
        zip.file("Pack\\Sea\\Sea.theme", themeText(QStringLiteral("Sea"), QStringLiteral("Sea\\")));
        addThemeFiles(zip, QStringLiteral("Sea"), QStringLiteral("Pack\\Sea\\"));
        zip.file("Pack\\ReadMe.txt", "read me");
        cases.append({"own layout in a folder, backslashes (zip)", zip.bytes(),
                      QStringLiteral("Sea\\Sea.theme"), QStringLiteral("Sea\\ReadMe.txt")});
    }
    {
        // This program's names, with the files at the top of the archive.
        ArchiveBuilder tbz(ArchiveBuilder::Tar, "bzip2");
        tbz.file("Sea.theme", themeText(QStringLiteral("Sea"), QStringLiteral("Sea\\")));
        addThemeFiles(tbz, QStringLiteral("Sea"), QString());
        tbz.file("ReadMe.txt", "read me");
        cases.append({"own names, flat archive (tar.bz2)", tbz.bytes(),
                      QStringLiteral("Sea\\Sea.theme"), QStringLiteral("Sea\\ReadMe.txt")});
    }

    for (const Case& c : cases) {
        SCOPED_TRACE(c.layout);
        QDir(themesHost()).removeRecursively();
        QDir().mkpath(themesHost());
        const InstallResult result = install(writePackage(c.package));
        ASSERT_FALSE(result.problem) << result.problem->message.toStdString();
        ASSERT_EQ(result.themes.size(), 1);
        EXPECT_EQ(result.themes[0].name, QStringLiteral("Sea"));
        EXPECT_EQ(result.themes[0].themeFile, themesPath(c.themeFile));
        EXPECT_TRUE(result.themes[0].unfound.isEmpty())
            << result.themes[0].unfound.join(u',').toStdString();
        expectOpensWhole(result.themes[0].themeFile);
        EXPECT_TRUE(m_files.fileExists(themesPath(c.unreached)));
        // Nothing else: the staging folder is gone.
        EXPECT_EQ(QDir(onDrive(QStringLiteral("Program Files/Plus!")))
                      .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("Themes")});
    }
}

TEST_F(Package, APlacementFindsWhatItCanReportsTheRestAndKeepsClashingFilesApart) {
    // Own layout with one file missing, and a second theme in the flat
    // layout inside its folder whose ReadMe would clash with the first.
    ArchiveBuilder zip(ArchiveBuilder::Zip);
    zip.file("Sea/Sea.theme", themeText(QStringLiteral("Sea"), QStringLiteral("Sea\\")));
    for (const QString& file : kThemeFileNames) {
        if (file != QStringLiteral(" Busy.ani"))
            zip.file("Sea/Sea" + file.toUtf8(), "sea");
    }
    zip.file("Sky/Sky.theme", themeText(QStringLiteral("Sky"), QString()));
    addThemeFiles(zip, QStringLiteral("Sky"), QStringLiteral("Sky/"));
    zip.file("Sun/Sun.theme", themeText(QStringLiteral("Sun"), QString()));
    addThemeFiles(zip, QStringLiteral("Sun"), QStringLiteral("Sun/"));
    zip.file("Sky/ReadMe.txt", "sky").file("Sun/ReadMe.txt", "sun");
    // Sea Busy.ani is in a folder of its own: found by its name alone.
    zip.file("Sea/Lost/Sea Busy.ani", "found by its name alone");
    const QString package = writePackage(zip.bytes());
    const InstallPlan plan = planInstall(package, m_files);
    ASSERT_FALSE(plan.problem) << plan.problem->message.toStdString();

    const InstallResult result = installPackage(plan, m_files, false);
    ASSERT_FALSE(result.problem) << result.problem->message.toStdString();
    ASSERT_EQ(result.themes.size(), 3);
    for (const InstalledTheme& theme : result.themes) {
        SCOPED_TRACE(theme.name.toStdString());
        EXPECT_TRUE(theme.unfound.isEmpty());
        expectOpensWhole(theme.themeFile);
    }
    EXPECT_EQ(readBytes(themesHost() + QStringLiteral("/ReadMe.txt")), "sky");
    EXPECT_EQ(readBytes(themesHost() + QStringLiteral("/Sun/ReadMe.txt")), "sun");
    EXPECT_EQ(readBytes(themesHost() + QStringLiteral("/Sea/Sea Busy.ani")),
              "found by its name alone");

    // A name no file answers is reported, the rest installed.
    ArchiveBuilder partial(ArchiveBuilder::Zip);
    partial.file("Wave/Wave.theme", themeText(QStringLiteral("Wave"), QStringLiteral("Wave\\")));
    partial.file("Wave/Wave Busy.ani", "busy");
    const InstallResult some = install(writePackage(partial.bytes()));
    ASSERT_FALSE(some.problem) << some.problem->message.toStdString();
    ASSERT_EQ(some.themes.size(), 1);
    EXPECT_EQ(some.themes[0].unfound, QStringList({QStringLiteral("Wave\\Wave Normal Select.cur"),
                                                   QStringLiteral("Wave\\Wave asterisk.wav"),
                                                   QStringLiteral("Wave\\Wave wallpaper.bmp"),
                                                   QStringLiteral("WAVE\\WAVE MY COMPUTER.ICO")}));
    EXPECT_TRUE(QFile::exists(themesHost() + QStringLiteral("/Wave/Wave Busy.ani")));
}

// --------------------------------------------------------------- refusals

TEST_F(Package, UnsafeOrBrokenPackagesAreRefusedWholeAndTheDriveStaysAsItWas) {
    // Each package holds a whole theme first, so that it is the bad entry
    // that stops the install.
    auto withTheme = [](ArchiveBuilder::Format format, const char* options = nullptr) {
        auto builder = std::make_unique<ArchiveBuilder>(format, nullptr, options);
        builder->file("Sea/Sea.theme", themeText(QStringLiteral("Sea"), QStringLiteral("Sea\\")));
        addThemeFiles(*builder, QStringLiteral("Sea"), QStringLiteral("Sea/"));
        return builder;
    };
    struct Case {
        const char* label;
        QByteArray package;
        PackageOutcome outcome;
        const char* says;
        PackageLimits limits = PackageLimits();
    };
    QList<Case> cases;
    auto zipWith = [&](const char* label, const QByteArray& name, const char* says) {
        auto b = withTheme(ArchiveBuilder::Zip);
        b->file(name, "x");
        cases.append({label, b->bytes(), PackageOutcome::Refused, says});
    };
    zipWith("climbs", "../evil.txt", "climbs out");
    zipWith("climbs from a folder", "Sea/../../evil.txt", "climbs out");
    zipWith("climbs with backslashes", "Sea\\..\\..\\evil.txt", "climbs out");
    zipWith("drive letter", "C:\\Windows\\evil.txt", "names a drive");
    zipWith("drive-relative", "c:evil.txt", "names a drive");
    zipWith("absolute (zip)", "\\Windows\\evil.txt", "absolute path");
    zipWith("wildcard", "Sea/a*b.wav", "not a name Windows can hold");
    zipWith("device name", "Sea/con.wav", "device");
    zipWith("control character", "Sea/x\x01y.wav", "control character");
    zipWith("trailing dot", "Sea/x.", "blank or a dot");
    zipWith("same name in another case", "SEA/SEA BUSY.ANI", "another file");
    zipWith("a file where a folder is", "Sea/Sea Busy.ani/x", "below a file");
    auto tarWith = [&](const char* label, auto add, const char* says) {
        auto b = withTheme(ArchiveBuilder::Tar);
        add(*b);
        cases.append({label, b->bytes(), PackageOutcome::Refused, says});
    };
    tarWith(
        "absolute (tar)", [](ArchiveBuilder& b) { b.file("/etc/evil", "x"); }, "absolute");
    tarWith(
        "symbolic link", [](ArchiveBuilder& b) { b.symlink("Sea/up", "../../.."); },
        "symbolic link");
    tarWith(
        "hard link", [](ArchiveBuilder& b) { b.hardlink("Sea/again", "/etc/passwd"); },
        "hard link");
    tarWith(
        "device", [](ArchiveBuilder& b) { b.special("Sea/disk", AE_IFBLK); }, "device");
    tarWith(
        "named pipe", [](ArchiveBuilder& b) { b.special("Sea/pipe", AE_IFIFO); }, "named pipe");
    {
        auto b = withTheme(ArchiveBuilder::Zip);
        b->symlink("Sea/up", "../../..");
        cases.append({"symbolic link (zip)", b->bytes(), PackageOutcome::Refused, "symbolic link"});
    }
    cases.append({"encrypted", withTheme(ArchiveBuilder::Zip, "zip:encryption=zipcrypt")->bytes(),
                  PackageOutcome::Refused, "encrypted"});
    {
        ArchiveBuilder b(ArchiveBuilder::Zip);
        b.file("Sea/ReadMe.txt", "no theme here");
        cases.append({"no .theme file", b.bytes(), PackageOutcome::Refused, "no .theme"});
    }
    const QByteArray good = withTheme(ArchiveBuilder::Zip)->bytes();
    cases.append({"truncated", good.left(good.size() / 2), PackageOutcome::Failed, ""});
    {
        // One byte of the first file's compressed data changed.
        QByteArray corrupt = good;
        const qsizetype data = corrupt.indexOf("Sea/Sea.theme") + 13 + 40;
        corrupt[data] = char(corrupt[data] ^ 0x55);
        cases.append({"corrupt", corrupt, PackageOutcome::Failed, "damaged"});
    }
    cases.append({"not an archive", "[Control Panel\\Cursors]\r\n", PackageOutcome::Failed,
                  "not an archive"});
    cases.append({"empty file", QByteArray(), PackageOutcome::Failed, "not an archive"});
    PackageLimits few;
    few.entries = 4;
    cases.append({"too many entries", good, PackageOutcome::Refused, "more than 4 entries", few});
    PackageLimits small;
    small.entryBytes = 40;
    cases.append({"an entry too large", good, PackageOutcome::Refused, "larger than", small});
    PackageLimits little;
    little.totalBytes = 200;
    cases.append({"too much in all", good, PackageOutcome::Refused, "more than 200 bytes", little});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const auto before = driveContents();
        const QString package = writePackage(c.package);
        const InstallResult result = install(package, true, c.limits);
        ASSERT_TRUE(result.problem);
        EXPECT_EQ(result.problem->outcome, c.outcome) << result.problem->message.toStdString();
        EXPECT_TRUE(result.problem->message.contains(QString::fromLatin1(c.says)))
            << result.problem->message.toStdString();
        EXPECT_EQ(driveContents(), before);
    }
}

TEST_F(Package, AThemeAlreadyInstalledIsReplacedOnlyWhenAsked) {
    ArchiveBuilder zip(ArchiveBuilder::Zip);
    zip.file("Sea/Sea.theme", themeText(QStringLiteral("Sea"), QStringLiteral("Sea\\")));
    addThemeFiles(zip, QStringLiteral("Sea"), QStringLiteral("Sea/"));
    const QString package = writePackage(zip.bytes());
    ASSERT_FALSE(install(package).problem);
    const QString busy = themesHost() + QStringLiteral("/Sea/Sea Busy.ani");
    writeFile(busy, "the user's own");
    const auto before = driveContents();

    const InstallPlan plan = planInstall(package, m_files);
    ASSERT_FALSE(plan.problem);
    EXPECT_EQ(plan.existingThemes, QStringList{QStringLiteral("Sea")});
    EXPECT_EQ(plan.existing.size(), 6);
    const InstallResult refusedResult = installPackage(plan, m_files, false);
    ASSERT_TRUE(refusedResult.problem);
    EXPECT_EQ(refusedResult.problem->outcome, PackageOutcome::Refused);
    EXPECT_TRUE(refusedResult.problem->message.contains(
        QStringLiteral("the theme Sea is already installed")));
    EXPECT_EQ(driveContents(), before);

    ASSERT_FALSE(installPackage(plan, m_files, true).problem);
    EXPECT_EQ(readBytes(busy), "Sea Busy.ani");
}

// A small archive that unpacks to gigabytes is refused without unpacking
// it: by its headers where they tell, by counting where they lie. The
// figures are printed, not asserted.
TEST_F(Package, BombsAreRefusedBeforeAnythingIsWritten) {
    ArchiveBuilder sparse(ArchiveBuilder::Tar, "gzip");
    sparse.file("Sea/Sea.theme", themeText(QStringLiteral("Sea"), QString()));
    sparse.sparse("Sea/Sea wallpaper.bmp", qint64(8) << 30);
    const QByteArray honest = sparse.bytes();

    ArchiveBuilder many(ArchiveBuilder::Tar, "xz");
    many.file("Sea/Sea.theme", themeText(QStringLiteral("Sea"), QString()));
    for (int i = 0; i < 40; ++i)
        many.sparse(QStringLiteral("Sea/%1.wav").arg(i).toUtf8(), qint64(60) << 20);
    const QByteArray wide = many.bytes();

    // A zip entry of 96 MiB of zeros whose headers claim 1 KiB.
    ArchiveBuilder deflated(ArchiveBuilder::Zip, nullptr, "zip:compression-level=1");
    deflated.file("Sea/Sea.theme", themeText(QStringLiteral("Sea"), QString()));
    deflated.zeros("Sea/Sea asterisk.wav", qint64(96) << 20);
    QByteArray lying = deflated.bytes();
    const QByteArray name = "Sea/Sea asterisk.wav";
    for (qsizetype at = lying.indexOf(name); at >= 0; at = lying.indexOf(name, at + 1)) {
        const bool central = lying.mid(at - 46, 4) == "PK\1\2";
        const bool local = lying.mid(at - 30, 4) == "PK\3\4";
        ASSERT_TRUE(central || local);
        const qsizetype size = central ? at - 46 + 24 : at - 30 + 22; // uncompressed size
        lying[size] = char(0x00);
        lying[size + 1] = char(0x04);
        lying[size + 2] = lying[size + 3] = char(0);
    }

    const struct {
        const char* label;
        QByteArray package;
        const char* says;
    } bombs[] = {{"8 GiB in one sparse file (tar.gz)", honest, "larger than 64 MiB"},
                 {"40 files of 60 MiB (tar.xz)", wide, "more than 512 MiB"},
                 {"96 MiB behind a 1 KiB header (zip)", lying, "larger than 64 MiB"}};
    for (const auto& bomb : bombs) {
        SCOPED_TRACE(bomb.label);
        const auto before = driveContents();
        const QString package = writePackage(bomb.package);
        QElapsedTimer timer;
        timer.start();
        const InstallResult result = install(package);
        const qint64 ms = timer.elapsed();
        ASSERT_TRUE(result.problem);
        EXPECT_EQ(result.problem->outcome, PackageOutcome::Refused);
        EXPECT_TRUE(result.problem->message.contains(QString::fromLatin1(bomb.says)))
            << result.problem->message.toStdString();
        EXPECT_EQ(driveContents(), before);
        std::cout << "[ figures  ] " << bomb.label << ": " << bomb.package.size()
                  << " bytes of package, refused in " << ms << " ms\n";
    }
}

// A file system whose rename into the themes root fails after a number of
// files are in place, as a full or failing disk would.
class FailingRenames : public FileSystem {
public:
    explicit FailingRenames(int allowed) : m_allowed(allowed) {}
    Status rename(const QString& from, const QString& to) override {
        const QString root = hostPath(toQString(kThemesRoot)).value();
        if (!m_failed && to.startsWith(root) && !from.startsWith(root) && m_allowed-- <= 0) {
            m_failed = true; // once: putting things back works
            return Error{QStringLiteral("Renaming the file"), from, QStringLiteral("I/O error")};
        }
        return FileSystem::rename(from, to);
    }

private:
    int m_allowed;
    bool m_failed = false;
};

TEST_F(Package, AFailureWhileInstallingLeavesTheThemesRootAsItWas) {
    ArchiveBuilder zip(ArchiveBuilder::Zip);
    zip.file("Sea/Sea.theme", themeText(QStringLiteral("Sea"), QStringLiteral("Sea\\")));
    addThemeFiles(zip, QStringLiteral("Sea"), QStringLiteral("Sea/"));
    zip.file("Sky/Sky.theme", themeText(QStringLiteral("Sky"), QStringLiteral("Sky\\")));
    addThemeFiles(zip, QStringLiteral("Sky"), QStringLiteral("Sky/"));
    const QString package = writePackage(zip.bytes());
    // Sea is installed already and the user changed it; Sky is new.
    writeSavedTheme(drive(), QStringLiteral("Sea"));
    writeFile(themesHost() + QStringLiteral("/Sea/Sea Busy.ani"), "the user's own");
    const auto before = driveContents();

    // The disk fills while the files are staged.
    FileSystem full;
    full.setWriteLimit(30);
    InstallResult result = installPackage(planInstall(package, full), full, true);
    ASSERT_TRUE(result.problem);
    EXPECT_EQ(result.problem->outcome, PackageOutcome::Failed);
    EXPECT_TRUE(result.problem->message.contains(QStringLiteral("No space left on device")))
        << result.problem->message.toStdString();
    EXPECT_EQ(driveContents(), before);

    // A move into place fails after some files were moved and some of the
    // user's replaced: all of it is undone.
    for (const int allowed : {0, 3, 9}) {
        SCOPED_TRACE(allowed);
        FailingRenames failing(allowed);
        result = installPackage(planInstall(package, failing), failing, true);
        ASSERT_TRUE(result.problem);
        EXPECT_EQ(result.problem->outcome, PackageOutcome::Failed);
        EXPECT_EQ(driveContents(), before);
    }
}

} // namespace
} // namespace p95::test
