// paletteer95-cli with drive C on a disk image, on images the tests make:
// save, open, install, pack, preview, list and check in every layout; every
// refusal leaves the image byte for byte as it was; a save or an install
// killed anywhere leaves it exactly before or after, and fsck-clean.

#include "cli/cli_test_support.h"
#include "package/package_test_support.h"
#include "platform/disk_image.h"
#include "platform/image_journal.h"
#include "platform/image_support.h"
#include "platform/sound_files.h"
#include "platform/test_pictures.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <csignal>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

namespace p95::test {
namespace {

const QString kTheme = QStringLiteral("Ocean Deep");
const QString kThemeFolder = QStringLiteral("Program Files/Plus!/Themes/Ocean Deep/");

class ImageCli : public DriveFixture {
public:
    ImageCli() : m_dataHome("XDG_DATA_HOME", (tmp() + QStringLiteral("/xdg")).toUtf8()) {
        writeFile(tmp() + QStringLiteral("/no-vfat"), "MTOOLS_NO_VFAT=1\n");
    }

    // The CLI as a user with an mtools configuration that would drop every
    // long name, and a locale that has no characters beyond ASCII: neither
    // may count.
    CliRun cli(const QStringList& args) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("MTOOLSRC"), tmp() + QStringLiteral("/no-vfat"));
        env.insert(QStringLiteral("MTOOLS_NO_VFAT"), QStringLiteral("1"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        return runCli(args, {}, env);
    }

    // A document of 40 files (14 pointers, 20 sounds, 6 icons) on the host;
    // the first sound is C:\Windows\chimes.wav, on drive C. `variant` changes
    // every file's bytes.
    QString writeDocument(const QString& name, int variant = 0) {
        const QString src = tmp() + QStringLiteral("/src%1/").arg(variant);
        QJsonArray pointers, sounds, icons;
        for (int i = 0; i < 14; ++i) {
            QByteArray bytes = curBytes();
            bytes.append(char(i)).append(char(variant));
            writeFile(src + QStringLiteral("p%1.cur").arg(i), bytes);
            pointers.append(src + QStringLiteral("p%1.cur").arg(i));
        }
        sounds.append(QStringLiteral("C:\\Windows\\chimes.wav"));
        for (int i = 1; i < 20; ++i) {
            writeFile(src + QStringLiteral("s%1.wav").arg(i),
                      sineWave(200 + 10 * i + variant, 0.2));
            sounds.append(src + QStringLiteral("s%1.wav").arg(i));
        }
        QImage wallpaper(64 + variant, 48, QImage::Format_RGB32);
        wallpaper.fill(qRgb(0, 64, 128));
        wallpaper.save(src + QStringLiteral("wall.bmp"), "BMP");
        icons.append(src + QStringLiteral("wall.bmp"));
        for (int i = 1; i < 5; ++i) {
            writeFile(src + QStringLiteral("i%1.ico").arg(i), icoBytes() + char(i) + char(variant));
            icons.append(src + QStringLiteral("i%1.ico").arg(i));
        }
        writeFile(src + QStringLiteral("saver.scr"),
                  QByteArray("MZ screen saver ") + char(variant));
        icons.append(src + QStringLiteral("saver.scr"));
        QJsonObject doc{{QStringLiteral("name"), name},
                        {QStringLiteral("pointers"), pointers},
                        {QStringLiteral("sounds"), sounds},
                        {QStringLiteral("icons"), icons},
                        {QStringLiteral("includeReadMe"), true},
                        {QStringLiteral("readMe"), QStringLiteral("Deep water.")}};
        const QString path = src + QStringLiteral("doc.json");
        writeFile(path, QJsonDocument(doc).toJson());
        return path;
    }

    // chimes.wav and forest.bmp in C:\Windows of the image.
    void putWindowsFiles(const TestImage& image) {
        writeFile(tmp() + QStringLiteral("/chimes.wav"), sineWave(660, 0.3));
        QImage forest(32, 32, QImage::Format_RGB32);
        forest.fill(qRgb(0, 128, 0));
        forest.save(tmp() + QStringLiteral("/forest.bmp"), "BMP");
        putOnVolume(image, tmp() + QStringLiteral("/chimes.wav"), QStringLiteral("Windows/"));
        putOnVolume(image, tmp() + QStringLiteral("/forest.bmp"), QStringLiteral("Windows/"));
    }

    // What a save to a drive C folder puts into the theme directory.
    QMap<QString, QByteArray> savedToFolder(const QString& document) {
        const QString folder = tmp() + QStringLiteral("/folder_c");
        QDir().mkpath(folder + QStringLiteral("/Program Files/Plus!/Themes"));
        writeFile(folder + QStringLiteral("/Windows/chimes.wav"), sineWave(660, 0.3));
        const CliRun run =
            cli({QStringLiteral("save"), document, QStringLiteral("--drive-c"), folder});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        QMap<QString, QByteArray> files;
        QDirIterator it(folder + QLatin1Char('/') + kThemeFolder, QDir::Files);
        while (it.hasNext()) {
            it.next();
            files.insert(kThemeFolder + it.fileName(), fileBytes(it.filePath()));
        }
        return files;
    }

    static QMap<QString, QByteArray> themeFiles(const QMap<QString, QByteArray>& tree) {
        QMap<QString, QByteArray> files;
        for (auto it = tree.cbegin(); it != tree.cend(); ++it) {
            if (it.key().startsWith(kThemeFolder) && !it.key().endsWith(QLatin1Char('/')))
                files.insert(it.key(), it.value());
        }
        return files;
    }

private:
    ScopedEnv m_dataHome;
};

class ImageLayoutCli : public ImageCli, public ::testing::WithParamInterface<Layout> {};

TEST_P(ImageLayoutCli, ASavedThemeOpensInstallsPacksAndPreviewsFromTheImage) {
    const Layout layout = GetParam();
    const TestImage image = makeImage(tmp() + QStringLiteral("/machine.img"), layout,
                                      layout == Layout::Fat32At2048 ? 64
                                      : layout == Layout::Fat12     ? 8
                                                                    : 32);
    putWindowsFiles(image);
    const QByteArray headBefore = fileBytes(image.path).left(4096);
    const QByteArray tailBefore = fileBytes(image.path).right(512);
    const QString drive = QStringLiteral("--drive-c");
    const QString document = writeDocument(kTheme);

    CliRun run = cli({QStringLiteral("save"), document, drive, image.path});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(fsckProblems(image), QString());
    EXPECT_FALSE(QFile::exists(journalPath(image.path)));
    // The same files, long names and bytes as a save to a folder.
    const QMap<QString, QByteArray> saved = themeFiles(volumeTree(image));
    EXPECT_EQ(saved.size(), 42); // 40 files, the .theme file and ReadMe.txt
    EXPECT_EQ(saved, savedToFolder(document));
    if (layout == Layout::FixedVhd) {
        EXPECT_EQ(fileBytes(image.path).right(512), tailBefore);
    }
    if (layout == Layout::Hdx || layout == Layout::Hdi) {
        EXPECT_EQ(fileBytes(image.path).left(image.volumeOffset - 2048 * 512),
                  headBefore.left(image.volumeOffset - 2048 * 512));
    }
    // Nothing of the program's own went into the machine.
    EXPECT_FALSE(volumeTree(image).contains(QStringLiteral("Program Files/Paletteer 95/")));

    // Opened back from the image: every picture and sound found there.
    const QString themeFile =
        QStringLiteral("C:\\Program Files\\Plus!\\Themes\\Ocean Deep\\Ocean Deep.theme");
    run = cli({QStringLiteral("read"), themeFile, drive, image.path});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QJsonObject opened = QJsonDocument::fromJson(run.out).object();
    EXPECT_EQ(opened.value(QStringLiteral("messages")).toArray(), QJsonArray());
    EXPECT_TRUE(opened.value(QStringLiteral("icons"))
                    .toArray()
                    .at(0)
                    .toString()
                    .startsWith(QStringLiteral("C:\\Program Files\\Plus!\\Themes\\Ocean Deep\\")));

    // %WinDir% files of a theme put there by hand.
    writeFile(tmp() + QStringLiteral("/Win.theme"),
              "[Control Panel\\Desktop]\r\nWallpaper=%WinDir%forest.bmp\r\nTileWallpaper=0\r\n"
              "[AppEvents\\Schemes\\Apps\\.Default\\SystemAsterisk\\.Current]\r\n"
              "DefaultValue=%WinDir%chimes.wav\r\n");
    putOnVolume(image, tmp() + QStringLiteral("/Win.theme"), QStringLiteral("Windows/"));
    run =
        cli({QStringLiteral("read"), QStringLiteral("C:\\WINDOWS\\win.theme"), drive, image.path});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    opened = QJsonDocument::fromJson(run.out).object();
    EXPECT_EQ(opened.value(QStringLiteral("messages")).toArray(), QJsonArray())
        << run.out.toStdString();
    EXPECT_TRUE(opened.value(QStringLiteral("icons"))
                    .toArray()
                    .at(0)
                    .toString()
                    .endsWith(QStringLiteral("forest.bmp")));

    // A preview draws the opened theme's pictures from the image.
    writeFile(tmp() + QStringLiteral("/opened.json"), QJsonDocument(opened).toJson());
    run = cli({QStringLiteral("preview"), tmp() + QStringLiteral("/opened.json"),
               QStringLiteral("-o"), tmp() + QStringLiteral("/p.png"), drive, image.path});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.err, QByteArray());

    // Pack finds every file the theme names in the image.
    run = cli({QStringLiteral("pack"), kTheme, QStringLiteral("-o"),
               tmp() + QStringLiteral("/o.zip"), drive, image.path});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_GT(QFileInfo(tmp() + QStringLiteral("/o.zip")).size(), 1000);

    const QString package = tmp() + QStringLiteral("/two.zip");
    writeFile(package, twoThemes());
    run = cli({QStringLiteral("install"), package, drive, image.path});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(fsckProblems(image), QString());
    const QMap<QString, QByteArray> tree = volumeTree(image);
    EXPECT_EQ(tree.value(QStringLiteral("Program Files/Plus!/Themes/Sea/Sea Normal Select.cur")),
              QByteArray("Sea Normal Select.cur"));
    EXPECT_TRUE(tree.contains(QStringLiteral("Program Files/Plus!/Themes/Sky/Sky.theme")));

    run = cli({QStringLiteral("image"), QStringLiteral("list"), image.path});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "Ocean Deep\nSea\nSky\n");
    run = cli({QStringLiteral("image"), QStringLiteral("check"), image.path});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    run = cli({QStringLiteral("image"), QStringLiteral("info"), image.path});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains("label \"P95TEST\"")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("in use: no"));
}

INSTANTIATE_TEST_SUITE_P(DriveC, ImageLayoutCli,
                         ::testing::Values(Layout::Fat16At63, Layout::Fat32At2048, Layout::Logical,
                                           Layout::NoTable, Layout::Fat12, Layout::FixedVhd,
                                           Layout::Hdx, Layout::Hdi),
                         [](const auto& param) { return layoutName(param.param); });

TEST_F(ImageCli, EveryRefusalLeavesTheImageByteForByteAsItWas) {
    const QString drive = QStringLiteral("--drive-c");
    const QString document = writeDocument(kTheme);
    const QString fresh = tmp() + QStringLiteral("/fresh.img");
    const TestImage base = makeImage(fresh, Layout::Fat16At63);
    putWindowsFiles(base);

    struct Case {
        const char* what;
        const char* says;
        std::function<void(const TestImage&)> before;
        QString themeName;
    };
    QProcess writer;
    int readerFd = -1;
    const QList<Case> cases{
        {"a process has it open for writing", "open for writing",
         [&](const TestImage& image) {
             writer.start(QStringLiteral("sh"),
                          {QStringLiteral("-c"),
                           QStringLiteral("exec 3<>\"$0\"; echo ready; exec sleep 30"),
                           image.path});
             ASSERT_TRUE(writer.waitForReadyRead(10000));
         },
         kTheme},
        {"an OFD lock", "lock",
         [&](const TestImage& image) {
             // As QEMU holds an image it reads: a shared lock on its "write" byte.
             readerFd = ::open(QFile::encodeName(image.path).constData(), O_RDONLY);
             struct flock shared {};
             shared.l_type = F_RDLCK;
             shared.l_whence = SEEK_SET;
             shared.l_start = 201;
             shared.l_len = 1;
             ASSERT_EQ(fcntl(readerFd, F_OFD_SETLK, &shared), 0);
         },
         kTheme},
        {"a dirty volume", "dirty",
         [&](const TestImage& image) {
             QFile f(image.path);
             ASSERT_TRUE(f.open(QIODevice::ReadWrite) && f.seek(image.volumeOffset + 37));
             f.write("\x01");
         },
         kTheme},
        {"an inconsistent volume", "inconsistent",
         [&](const TestImage& image) {
             const QByteArray boot = fileBytes(image.path).mid(image.volumeOffset, 512);
             const qint64 reserved = uchar(boot[14]) | uchar(boot[15]) << 8;
             QFile f(image.path);
             ASSERT_TRUE(f.open(QIODevice::ReadWrite) &&
                         f.seek(image.volumeOffset + reserved * 512 + 300));
             f.write("\xff\xff"); // a lost cluster in the first FAT
         },
         kTheme},
        {"a read-only image", "read-only",
         [&](const TestImage& image) {
             QFile::setPermissions(image.path, QFileDevice::ReadOwner | QFileDevice::ReadUser);
         },
         kTheme},
        {"a full volume", "full",
         [&](const TestImage& image) {
             auto volume = FatVolume::open(image.path, image.volumeOffset);
             ASSERT_TRUE(volume.ok());
             const QString filler = tmp() + QStringLiteral("/filler.bin");
             writeFile(filler, QByteArray(volume.value()->freeBytes() - 64 * 1024, 'f'));
             putOnVolume(image, filler, QStringLiteral("filler.bin"));
         },
         kTheme},
        {"a name the volume cannot hold", "cannot hold the name", [](const TestImage&) {},
         QStringLiteral("€uro")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = tmp() + QStringLiteral("/refuse.img");
        QFile::remove(path);
        ASSERT_TRUE(QFile::copy(fresh, path));
        const TestImage image{path, base.volumeOffset, base.volumeBytes, base.partition};
        c.before(image);
        const QByteArray before = fileBytes(path);
        const QString doc = c.themeName == kTheme ? document : writeDocument(c.themeName, 1);
        const CliRun run = cli({QStringLiteral("save"), doc, drive, path});
        EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.says)) << run.err.toStdString();
        EXPECT_TRUE(fileBytes(path) == before) << "the image changed";
        EXPECT_FALSE(QFile::exists(journalPath(path)));
        if (writer.state() != QProcess::NotRunning) {
            writer.kill();
            writer.waitForFinished();
        }
        if (readerFd >= 0)
            ::close(readerFd);
        readerFd = -1;
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    // A read-only image still reads.
    const QString readOnly = tmp() + QStringLiteral("/ro.img");
    ASSERT_TRUE(QFile::copy(fresh, readOnly));
    ASSERT_EQ(cli({QStringLiteral("save"), document, drive, readOnly}).exitCode, 0);
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadUser);
    EXPECT_EQ(cli({QStringLiteral("image"), QStringLiteral("list"), readOnly}).out, "Ocean Deep\n");
    EXPECT_EQ(cli({QStringLiteral("read"),
                   QStringLiteral("C:\\Program Files\\Plus!\\Themes\\Ocean Deep\\Ocean Deep.theme"),
                   drive, readOnly})
                  .exitCode,
              0);

    // Bad input and usage.
    EXPECT_EQ(cli({QStringLiteral("image"), QStringLiteral("list"), fresh,
                   QStringLiteral("--partition"), QStringLiteral("3")})
                  .exitCode,
              2);
    EXPECT_EQ(cli({QStringLiteral("image"), QStringLiteral("frob"), fresh}).exitCode, 2);
    EXPECT_EQ(cli({QStringLiteral("save"), document, drive, tmp() + QStringLiteral("/none.img")})
                  .exitCode,
              2);
}

TEST_F(ImageCli, TheCheckNamesWhatIsWrong) {
    const TestImage image = makeImage(tmp() + QStringLiteral("/c.img"), Layout::Fat32At2048, 64);
    CliRun run = cli({QStringLiteral("image"), QStringLiteral("check"), image.path});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "partition 1: consistent\n");
    QFile f(image.path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite) && f.seek(image.volumeOffset + 512 + 488));
    f.write(QByteArray("\x07\0\0\0", 4)); // the FSInfo free count
    f.close();
    run = cli({QStringLiteral("image"), QStringLiteral("check"), image.path,
               QStringLiteral("--partition"), QStringLiteral("1")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("free cluster count is 7")) << run.err.toStdString();
}

// Runs `args` on copies of `base`, killed after growing delays, and checks
// each copy once the next command has run.
void killLoop(ImageCli& fixture, const char* what, const TestImage& base, const QStringList& args,
              const QString& work) {
    const QMap<QString, QByteArray> before = volumeTree(base);
    const auto fresh = [&] {
        QFile::remove(work);
        QFile::remove(journalPath(work));
        QFile::remove(journalPath(work) + QStringLiteral(".part"));
        EXPECT_EQ(
            runTool(QStringLiteral("cp"), {QStringLiteral("--sparse=always"), base.path, work}), 0);
    };
    const TestImage image{work, base.volumeOffset, base.volumeBytes, base.partition};
    fresh();
    QElapsedTimer timer;
    timer.start();
    const CliRun whole = fixture.cli(args);
    const qint64 full = timer.nsecsElapsed() / 1000;
    ASSERT_EQ(whole.exitCode, 0) << whole.err.toStdString();
    const QMap<QString, QByteArray> after = volumeTree(image);
    ASSERT_NE(after, before);

    constexpr int kPoints = 24;
    int sawBefore = 0;
    int sawAfter = 0;
    for (int i = 0; i < kPoints; ++i) {
        fresh();
        QProcess process;
        process.start(QStringLiteral(P95_CLI_PATH), args);
        ASSERT_TRUE(process.waitForStarted());
        // From early in the start to past the whole run's length.
        QThread::usleep(quint64(full * (0.1 + 1.5 * i / (kPoints - 1))));
        ::kill(pid_t(process.processId()), SIGKILL);
        process.waitForFinished();
        // The next command rolls a cut-off write back.
        const CliRun next = fixture.cli({QStringLiteral("image"), QStringLiteral("list"), work});
        EXPECT_EQ(next.exitCode, 0) << next.err.toStdString();
        // Nothing left beside the image, not even a journal cut off half-written.
        EXPECT_FALSE(QFile::exists(journalPath(work)));
        EXPECT_FALSE(QFile::exists(journalPath(work) + QStringLiteral(".part")));
        EXPECT_EQ(fsckProblems(image), QString()) << what << " killed at point " << i;
        const QMap<QString, QByteArray> now = volumeTree(image);
        EXPECT_TRUE(now == before || now == after) << what << " killed at point " << i;
        sawBefore += now == before;
        sawAfter += now == after;
    }
    std::cout << what << " (" << full / 1000 << " ms) killed at " << kPoints
              << " points: " << sawBefore << " before, " << sawAfter << " after\n";
}

TEST_F(ImageCli, ASaveOrAnInstallKilledAnywhereLeavesTheImageBeforeOrAfter) {
    const TestImage base = makeImage(tmp() + QStringLiteral("/base.img"), Layout::Fat16At63, 16);
    putWindowsFiles(base);
    // A theme already there, so that the killed save replaces its files.
    ASSERT_EQ(cli({QStringLiteral("save"), writeDocument(kTheme, 0), QStringLiteral("--drive-c"),
                   base.path})
                  .exitCode,
              0);
    const QString work = tmp() + QStringLiteral("/work.img");
    killLoop(*this, "save", base,
             {QStringLiteral("save"), writeDocument(kTheme, 1), QStringLiteral("--drive-c"), work},
             work);
    const QString package = tmp() + QStringLiteral("/two.zip");
    writeFile(package, twoThemes());
    killLoop(*this, "install", base,
             {QStringLiteral("install"), package, QStringLiteral("--drive-c"), work}, work);
}

// Each command is a process of its own that has read nothing of the image
// before: a theme already there must still be seen as there.
TEST_F(ImageCli, AnInstallOverAThemeOnTheImageIsRefusedWithoutForceAsOnAFolder) {
    const TestImage image = makeImage(tmp() + QStringLiteral("/machine.img"), Layout::Fat16At63);
    const QString drive = QStringLiteral("--drive-c");
    const QString package = tmp() + QStringLiteral("/two.zip");
    writeFile(package, twoThemes());
    ASSERT_EQ(cli({QStringLiteral("install"), package, drive, image.path}).exitCode, 0);
    const QByteArray before = fileBytes(image.path);

    ArchiveBuilder changed(ArchiveBuilder::Zip);
    changed.file("Sea/Sea.theme", themeText(QStringLiteral("Sea"), QStringLiteral("Sea\\")));
    changed.file("Sea/Sea Normal Select.cur", "a new pointer");
    const QString again = tmp() + QStringLiteral("/again.zip");
    writeFile(again, changed.bytes());
    CliRun run = cli({QStringLiteral("install"), again, drive, image.path});
    EXPECT_EQ(run.exitCode, 2) << run.out.toStdString() << run.err.toStdString();
    EXPECT_EQ(fileBytes(image.path), before);

    run = cli({QStringLiteral("install"), again, QStringLiteral("--force"), drive, image.path});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(volumeTree(image).value(
                  QStringLiteral("Program Files/Plus!/Themes/Sea/Sea Normal Select.cur")),
              QByteArray("a new pointer"));
    EXPECT_EQ(fsckProblems(image), QString());
}

TEST_F(ImageCli, AQcow2OrVdiImageIsReadThroughQemuImgAndNeverWritten) {
    const QString drive = QStringLiteral("--drive-c");
    const QString document = writeDocument(kTheme);
    const TestImage raw = makeImage(tmp() + QStringLiteral("/machine.img"), Layout::Fat16At63);
    putWindowsFiles(raw);
    ASSERT_EQ(cli({QStringLiteral("save"), document, drive, raw.path}).exitCode, 0);
    const QString themeFile =
        QStringLiteral("C:\\Program Files\\Plus!\\Themes\\Ocean Deep\\Ocean Deep.theme");

    for (const char* format : {"qcow2", "vdi"}) {
        SCOPED_TRACE(format);
        const QString image = tmp() + QStringLiteral("/machine.") + QLatin1String(format);
        ASSERT_EQ(
            runTool(QStringLiteral("qemu-img"), {QStringLiteral("convert"), QStringLiteral("-O"),
                                                 QLatin1String(format), raw.path, image}),
            0);
        const QByteArray before = fileBytes(image);

        CliRun run = cli({QStringLiteral("image"), QStringLiteral("list"), image});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.out, "Ocean Deep\n");
        run = cli({QStringLiteral("image"), QStringLiteral("info"), image});
        EXPECT_TRUE(run.out.contains("read through qemu-img")) << run.out.toStdString();
        EXPECT_TRUE(run.out.contains("label \"P95TEST\""));
        run = cli({QStringLiteral("read"), themeFile, drive, image});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(
            QJsonDocument::fromJson(run.out).object().value(QStringLiteral("messages")).toArray(),
            QJsonArray())
            << run.out.toStdString();

        // Writing is refused with the way to convert it, and nothing changes.
        run = cli({QStringLiteral("save"), document, drive, image});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains("qemu-img convert -O raw")) << run.err.toStdString();
        EXPECT_EQ(fileBytes(image), before);
    }
}

} // namespace
} // namespace p95::test
