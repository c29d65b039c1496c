// What an install must hold to whatever the package or the drive does: the
// limits at their very edges, hostile names at bounded cost, damage called
// damage, the owner of a colliding file named, and a failed install that
// touches nothing it did not place.

#include "package/pack.h"
#include "package_test_support.h"
#include "test_support.h"
#include "theme/save_lock.h"
#include "theme/theme_save.h"

#include <QElapsedTimer>
#include <QProcess>

#include <iostream>

#include <sys/resource.h>

namespace p95::test {
namespace {

using PackageSafety = PackageFixture;

// A package of the theme Sea in this program's layout, plus extra files.
QByteArray seaPackage(ArchiveBuilder::Format format = ArchiveBuilder::Zip,
                      const QList<std::pair<QByteArray, QByteArray>>& extra = {}) {
    ArchiveBuilder builder(format);
    builder.file("Sea/Sea.theme", themeText(QStringLiteral("Sea"), QStringLiteral("Sea\\")));
    addThemeFiles(builder, QStringLiteral("Sea"), QStringLiteral("Sea/"));
    for (const auto& [name, data] : extra)
        builder.file(name, data);
    return builder.bytes();
}

long maxRssKiB() {
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// ------------------------------------------------------------ limits

TEST_F(PackageSafety, EveryLimitHoldsAtItsEdgeAndOneStepBeyondIsRefused) {
    const QByteArray package = seaPackage(ArchiveBuilder::Tar);
    const int entries = 6; // the .theme file and five files
    const qint64 themeBytes = themeText(QStringLiteral("Sea"), QStringLiteral("Sea\\")).size();
    struct Case {
        const char* label;
        PackageLimits limits;
        const char* says; // nullptr: installs
    };
    PackageLimits exactEntries;
    exactEntries.entries = entries;
    PackageLimits fewerEntries;
    fewerEntries.entries = entries - 1;
    PackageLimits exactTheme;
    exactTheme.themeFileBytes = themeBytes;
    PackageLimits smallerTheme;
    smallerTheme.themeFileBytes = themeBytes - 1;
    const Case cases[] = {
        {"exactly the entry limit", exactEntries, nullptr},
        {"one entry more", fewerEntries, "more than 5 entries"},
        {"a .theme file exactly at its cap", exactTheme, nullptr},
        {"a .theme file one byte over", smallerTheme, "is larger than a theme file can be"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const auto before = driveContents();
        const InstallResult result =
            install(writePackage(package, QStringLiteral("p.tar")), false, c.limits);
        if (!c.says) {
            EXPECT_FALSE(result.problem) << result.problem->message.toStdString();
            QDir(themesHost() + QStringLiteral("/Sea")).removeRecursively();
            continue;
        }
        ASSERT_TRUE(result.problem);
        EXPECT_EQ(result.problem->outcome, PackageOutcome::Refused);
        EXPECT_TRUE(result.problem->message.contains(QString::fromLatin1(c.says)))
            << result.problem->message.toStdString();
        EXPECT_EQ(driveContents(), before);
    }

    // Folders and "./" count as entries too.
    ArchiveBuilder dots(ArchiveBuilder::Tar);
    dots.folder("./").folder("./").folder("Sea/");
    dots.file("Sea/Sea.theme", themeText(QStringLiteral("Sea"), QStringLiteral("Sea\\")));
    PackageLimits four;
    four.entries = 3;
    const QByteArray dotted = dots.bytes();
    ASSERT_TRUE(install(writePackage(dotted, QStringLiteral("d.tar")), false, four).problem);
    four.entries = 4;
    EXPECT_FALSE(install(writePackage(dotted, QStringLiteral("d.tar")), false, four).problem);

    // The Windows path of an installed file: 259 characters install, 260 do not.
    const QString root = toQString(kThemesRoot);
    for (const int length : {259, 260}) {
        SCOPED_TRACE(length);
        QDir(themesHost() + QStringLiteral("/Sea")).removeRecursively();
        const qsizetype name = length - root.size() - 4 - 4; // "Sea\" and ".bmp"
        const QByteArray file = "Sea/" + QByteArray(name, 'w') + ".bmp";
        const InstallResult result =
            install(writePackage(seaPackage(ArchiveBuilder::Zip, {{file, "long"}})));
        EXPECT_EQ(root.size() + file.size(), length);
        if (length == 259) {
            EXPECT_FALSE(result.problem) << result.problem->message.toStdString();
        } else {
            ASSERT_TRUE(result.problem);
            EXPECT_TRUE(
                result.problem->message.contains(QStringLiteral("longer than Windows can open")));
        }
    }

    // An entry's name: 259 characters are read, 260 refused before any
    // bookkeeping, however deep.
    for (const int length : {259, 260}) {
        QByteArray deep;
        while (deep.size() + 3 <= length)
            deep += "ab/";
        deep += QByteArray(length - deep.size(), 'c');
        ArchiveBuilder zip(ArchiveBuilder::Zip);
        zip.file(deep, "x");
        const QByteArray bytes = zip.bytes();
        const ArchiveScan scan = scanArchive(ArchiveInput{&bytes, -1}, PackageLimits(), {});
        EXPECT_EQ(scan.problem.has_value(), length == 260) << length;
        if (scan.problem) {
            EXPECT_TRUE(scan.problem->message.contains(QStringLiteral("longer than Windows")));
        }
    }
}

TEST_F(PackageSafety, PackRefusesSymbolicLinksInTheThemeFolderNamingThem) {
    writeSavedTheme(drive(), QStringLiteral("Sea"));
    const QString folder = themesHost() + QStringLiteral("/Sea");
    writeFile(tmp() + QStringLiteral("/outside/secret.txt"), "secret");
    ASSERT_TRUE(QFile::link(tmp() + QStringLiteral("/outside/secret.txt"),
                            folder + QStringLiteral("/Link to file.txt")));
    ASSERT_TRUE(
        QFile::link(tmp() + QStringLiteral("/outside"), folder + QStringLiteral("/Linked")));
    const QString zip = tmp() + QStringLiteral("/Sea.zip");
    const PackResult result = packTheme(QStringLiteral("Sea"), zip, m_files);
    ASSERT_TRUE(result.problem);
    EXPECT_EQ(result.problem->outcome, PackageOutcome::Refused);
    const QString& message = result.problem->message;
    EXPECT_TRUE(message.contains(QStringLiteral("Sea\\Link to file.txt (not a file or a folder)")))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("Sea\\Linked (not a file or a folder)")))
        << message.toStdString();
    EXPECT_FALSE(QFile::exists(zip));
}

// ------------------------------------------------------------ hostile names

TEST_F(PackageSafety, HostileNamesAreRefusedAtOnceAndNamesAreKeptByteForByte) {
    // 200 000 folders deep in a tar.gz of a few KiB; four names of 60 000
    // characters in a zip. Figures printed, not asserted.
    ArchiveBuilder deepTar(ArchiveBuilder::Tar, "gzip");
    QByteArray deep;
    for (int i = 0; i < 200000; ++i)
        deep += "a/";
    deepTar.file(deep + "x.bmp", "x");
    ArchiveBuilder wideZip(ArchiveBuilder::Zip);
    for (char c : {'p', 'q', 'r', 's'})
        wideZip.file(QByteArray(60000, c), "x");
    const struct {
        const char* label;
        QByteArray bytes;
    } hostile[] = {{"a name 200 000 folders deep (tar.gz)", deepTar.bytes()},
                   {"four names of 60 000 characters (zip)", wideZip.bytes()}};
    for (const auto& h : hostile) {
        SCOPED_TRACE(h.label);
        const long rssBefore = maxRssKiB();
        QElapsedTimer timer;
        timer.start();
        const ArchiveScan scan = scanArchive(ArchiveInput{&h.bytes, -1}, PackageLimits(), {});
        const qint64 ms = timer.elapsed();
        ASSERT_TRUE(scan.problem);
        EXPECT_EQ(scan.problem->outcome, PackageOutcome::Refused);
        EXPECT_TRUE(scan.problem->message.contains(QStringLiteral("longer than Windows can open")))
            << scan.problem->message.toStdString();
        std::cout << "[ figures  ] " << h.label << ": " << h.bytes.size() << " bytes, refused in "
                  << ms << " ms, peak memory grew by " << (maxRssKiB() - rssBefore) << " KiB\n";
    }

    // Device names Windows keeps.
    for (const char* name :
         {"Sea/COM0", "Sea/lpt\xC2\xB9.txt", "Sea/com\xC2\xB3", "Sea/CONIN$", "Sea/conout$.wav"}) {
        SCOPED_TRACE(name);
        const InstallResult result =
            install(writePackage(seaPackage(ArchiveBuilder::Zip, {{name, "x"}})));
        ASSERT_TRUE(result.problem);
        EXPECT_EQ(result.problem->outcome, PackageOutcome::Refused);
        EXPECT_TRUE(result.problem->message.contains(QStringLiteral("for a device")))
            << result.problem->message.toStdString();
    }

    // A name in decomposed form comes back decomposed after pack and install.
    const QString nfd = QStringLiteral("Cafe\u0301 notes.txt");
    ASSERT_NE(nfd, nfd.normalized(QString::NormalizationForm_C));
    writeSavedTheme(drive(), QStringLiteral("Sea"));
    writeFile(themesHost() + QStringLiteral("/Sea/") + nfd, "notes");
    const QString zip = tmp() + QStringLiteral("/Sea.zip");
    const PackResult packed = packTheme(QStringLiteral("Sea"), zip, m_files);
    ASSERT_FALSE(packed.problem) << packed.problem->message.toStdString();
    ScopedEnv otherDrive("PALETTEER95_DRIVE_C", (tmp() + QStringLiteral("/drive2")).toUtf8());
    const InstallResult installed = install(zip);
    ASSERT_FALSE(installed.problem) << installed.problem->message.toStdString();
    const QStringList names = QDir(tmp() + QStringLiteral("/drive2/Program Files/Plus!/Themes/Sea"))
                                  .entryList(QDir::Files);
    EXPECT_TRUE(names.contains(nfd)) << names.join(u'|').toStdString();
}

// ------------------------------------------------------------ damage

TEST_F(PackageSafety, DamagedArchivesAreDamageNamingTheEntry) {
    // A tar whose second header's checksum is wrong.
    const QByteArray themeBytes = themeText(QStringLiteral("Sea"), QStringLiteral("Sea\\"));
    QByteArray badChecksum = seaPackage(ArchiveBuilder::Tar);
    const qsizetype second = 512 + (themeBytes.size() + 511) / 512 * 512;
    ASSERT_EQ(badChecksum.mid(second, 3), "Sea");
    badChecksum[second + 148] = badChecksum[second + 148] == '1' ? '2' : '1';

    const QByteArray zip = seaPackage();
    const qsizetype central = zip.lastIndexOf("PK\1\2");
    const QByteArray cutInDirectory = zip.left(central + 20);
    const QByteArray noEndRecord = zip.left(zip.size() - 22);
    const QByteArray tar = seaPackage(ArchiveBuilder::Tar);
    ArchiveBuilder gzipped(ArchiveBuilder::Tar, "gzip");
    gzipped.file("Sea/Sea.theme", themeBytes);
    const QByteArray tarGz = gzipped.bytes();
    ArchiveBuilder lz4(ArchiveBuilder::Tar, "lz4");
    lz4.file("Sea/Sea.theme", themeBytes);
    const QByteArray tarLz4 = lz4.bytes();
    // Whole, it installs: the end checks take nothing whole for cut.
    ASSERT_FALSE(install(writePackage(tarLz4)).problem);
    QDir(themesHost() + QStringLiteral("/Sea")).removeRecursively();

    // A deflated entry of 1000 bytes whose headers say 10.
    ArchiveBuilder lying(ArchiveBuilder::Zip);
    lying.file("Sea/Sea.theme", themeBytes);
    lying.file("Sea/Sea wallpaper.bmp", QByteArray(1000, 'x'));
    QByteArray lyingSize = lying.bytes();
    const QByteArray name = "Sea/Sea wallpaper.bmp";
    for (qsizetype at = lyingSize.indexOf(name); at >= 0; at = lyingSize.indexOf(name, at + 1)) {
        const bool inDirectory = lyingSize.mid(at - 46, 4) == "PK\1\2";
        const qsizetype size = inDirectory ? at - 46 + 24 : at - 30 + 22;
        lyingSize[size] = char(10);
        lyingSize[size + 1] = lyingSize[size + 2] = lyingSize[size + 3] = char(0);
    }

    // A tar wrapped in 40 layers of gzip.
    QByteArray stacked = seaPackage(ArchiveBuilder::Tar);
    for (int i = 0; i < 40; ++i) {
        QProcess gzip;
        gzip.start(QStringLiteral("gzip"), {QStringLiteral("-c"), QStringLiteral("-n")});
        ASSERT_TRUE(gzip.waitForStarted());
        gzip.write(stacked);
        gzip.closeWriteChannel();
        ASSERT_TRUE(gzip.waitForFinished());
        stacked = gzip.readAllStandardOutput();
    }

    const struct {
        const char* label;
        QByteArray bytes;
        const char* says;
    } cases[] = {{"a tar header with a wrong checksum", badChecksum, "damaged"},
                 {"a zip cut inside its central directory", cutInDirectory, "damaged"},
                 {"a zip without its end record", noEndRecord, "damaged"},
                 {"a tar without the last byte of its end", tar.chopped(1), "ends early"},
                 {"a tar.gz without its last byte", tarGz.chopped(1), "damaged"},
                 {"a tar.lz4 without its last byte", tarLz4.chopped(1), "ends early"},
                 {"a zip entry larger than its headers say", lyingSize, "Sea wallpaper.bmp"},
                 {"a tar in 40 layers of gzip", stacked, "damaged"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const auto before = driveContents();
        QElapsedTimer timer;
        timer.start();
        const InstallResult result = install(writePackage(c.bytes));
        ASSERT_TRUE(result.problem);
        EXPECT_EQ(result.problem->outcome, PackageOutcome::Failed)
            << result.problem->message.toStdString();
        EXPECT_TRUE(result.problem->message.contains(QString::fromLatin1(c.says)))
            << result.problem->message.toStdString();
        EXPECT_EQ(driveContents(), before);
        std::cout << "[ figures  ] " << c.label << ": refused in " << timer.elapsed() << " ms\n";
    }
}

// ------------------------------------------------------------ owners

TEST_F(PackageSafety, ACollidingFileNamesItsOwnerAndForceReplacesOnlyTheSameTheme) {
    writeSavedTheme(drive(), QStringLiteral("Good"));
    // Evil's .theme names Good's wallpaper, and the package brings it.
    ArchiveBuilder evil(ArchiveBuilder::Zip);
    evil.file("Evil/Evil.theme", themeText(QStringLiteral("Evil"), QStringLiteral("Evil\\"))
                                     .replace("%ThemeDir%Evil\\Evil wallpaper.bmp",
                                              "%ThemeDir%Good\\Good wallpaper.bmp"));
    evil.file("Good/Good wallpaper.bmp", "not Good's");
    const QString evilPackage = writePackage(evil.bytes());
    const auto before = driveContents();
    for (const bool force : {false, true}) {
        SCOPED_TRACE(force);
        const InstallResult result = install(evilPackage, force);
        ASSERT_TRUE(result.problem);
        EXPECT_EQ(result.problem->outcome, PackageOutcome::Refused);
        EXPECT_TRUE(result.problem->message.contains(
            QStringLiteral("Good\\Good wallpaper.bmp, a file of the installed theme Good")))
            << result.problem->message.toStdString();
        EXPECT_EQ(driveContents(), before);
    }

    // A file no installed theme names is "a file already in the themes
    // folder"; --force replaces it.
    writeFile(themesHost() + QStringLiteral("/Sea/Sea Busy.ani"), "left over");
    const QString sea = writePackage(seaPackage());
    InstallResult result = install(sea);
    ASSERT_TRUE(result.problem);
    EXPECT_TRUE(result.problem->message.contains(
        QStringLiteral("Sea\\Sea Busy.ani, a file already in the themes folder")))
        << result.problem->message.toStdString();
    result = install(sea, true);
    ASSERT_FALSE(result.problem) << result.problem->message.toStdString();
    EXPECT_EQ(readBytes(themesHost() + QStringLiteral("/Sea/Sea Busy.ani")), "Sea Busy.ani");
}

// ------------------------------------------------------------ lock and identity

// Fails the move of the third file into place; before it fails, a save is
// tried and another writer replaces a file the install already placed.
class InterruptedMoves : public FileSystem {
public:
    std::function<void()> atFailure;
    Status rename(const QString& from, const QString& to) override {
        const QString root = hostPath(toQString(kThemesRoot)).value();
        if (to.startsWith(root) && from.contains(QStringLiteral(".paletteer95-install")) &&
            !from.contains(QStringLiteral("/r")) && ++m_moves == 3) {
            atFailure();
            return Error{QStringLiteral("Renaming the file"), from, QStringLiteral("I/O error")};
        }
        return FileSystem::rename(from, to);
    }

private:
    int m_moves = 0;
};

TEST_F(PackageSafety, AFailedInstallUndoesOnlyWhatItPlacedAndHoldsTheSavesLockAllAlong) {
    const QString package = writePackage(seaPackage());
    const QString theme = themesHost() + QStringLiteral("/Sea/Sea.theme");
    QString placedFirst;
    SaveResult save;
    InterruptedMoves files;
    files.atFailure = [&] {
        // The save waits, then gives up: the install holds the lock.
        ThemeDocument doc;
        doc.name = QStringLiteral("Sky");
        SaveSettings settings;
        settings.lockWaitMs = 50;
        save = saveTheme(doc, m_files, settings);
        // Someone writes over the first file the install placed.
        const QStringList placed =
            QDir(themesHost() + QStringLiteral("/Sea")).entryList(QDir::Files);
        ASSERT_EQ(placed.size(), 2);
        placedFirst = themesHost() + QStringLiteral("/Sea/") + placed.first();
        // As a save writes: beside, then renamed over.
        writeFile(placedFirst + QStringLiteral(".new"), "someone's own");
        QFile::remove(placedFirst);
        QFile::rename(placedFirst + QStringLiteral(".new"), placedFirst);
    };
    const InstallResult result = installPackage(planInstall(package, files), files, false);
    ASSERT_TRUE(result.problem);
    EXPECT_EQ(result.problem->outcome, PackageOutcome::Failed);
    EXPECT_TRUE(
        result.problem->message.contains(QStringLiteral("C:\\Program Files\\Plus!\\Themes\\Sea\\")))
        << result.problem->message.toStdString();
    EXPECT_FALSE(result.problem->message.contains(QStringLiteral(".paletteer95-install")));
    ASSERT_FALSE(save.status.ok());
    EXPECT_TRUE(
        save.status.error().reason.contains(QStringLiteral("another save or install is running")));
    // The other writer's file stays; everything the install placed went.
    EXPECT_EQ(readBytes(placedFirst), "someone's own");
    EXPECT_EQ(QDir(themesHost() + QStringLiteral("/Sea")).entryList(QDir::Files).size(), 1);
    EXPECT_FALSE(QFile::exists(theme));
    EXPECT_FALSE(
        QFileInfo::exists(onDrive(QStringLiteral("Program Files/Plus!/.paletteer95-install"))));

    // While a save holds the lock, an install waits, then says so.
    SaveLock lock;
    ASSERT_TRUE(lock.acquire(m_files, programDirectory(), 0, QStringLiteral("Test")).ok());
    const InstallResult waiting =
        installPackage(planInstall(package, m_files), m_files, true, PackageLimits(), 50);
    ASSERT_TRUE(waiting.problem);
    EXPECT_TRUE(
        waiting.problem->message.contains(QStringLiteral("another save or install is running")))
        << waiting.problem->message.toStdString();
}

} // namespace
} // namespace p95::test
