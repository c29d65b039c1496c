// Hostile input: files that other people made, broken or made to hurt. Each
// is handled with at most a clear message, nothing changes that should not,
// and time and memory stay bounded: a .theme file over 16 MB is refused
// before a byte is read (other files over 64 MB, the tip file over 4 MB),
// and the reader's cost on a 10 MB theme is printed, not asserted.

#include "app/tip_file/tip_file.h"
#include "cli/cli_test_support.h"
#include "colour/scheme_file.h"
#include "drive_support.h"
#include "platform/drive.h"
#include "platform/text_file.h"
#include "test_support.h"
#include "theme/get_colors.h"
#include "theme/theme_name.h"
#include "theme/theme_reader.h"
#include "theme/theme_save.h"
#include "theme/theme_writer.h"

#include <QElapsedTimer>

#include <chrono>
#include <future>
#include <random>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace p95;
using p95::test::runCli;

namespace {

const QString kThemesFolder = QStringLiteral("Program Files/Plus!/Themes/");

// Loads what exists on the mapped drive, as the real probe would find it,
// and remembers the host paths it looked at.
class DiskProbe : public PictureProbe {
public:
    Status probe(const QString& path) const override {
        const auto host = hostPath(path);
        if (!host)
            return host.error();
        m_looked << host.value();
        if (QFileInfo(host.value()).isFile())
            return {};
        return Error{QStringLiteral("Loading a picture"), path, fileNotFoundReason()};
    }
    QStringList looked() const { return m_looked; }

private:
    mutable QStringList m_looked;
};

// Runs work on its own thread; when it has not returned within the limit,
// opens the FIFO for writing so that a reader stuck in open() is set free,
// and fails the test.
template <typename T, typename Work>
std::optional<T> withinSeconds(int seconds, const QString& fifo, Work work) {
    auto future = std::async(std::launch::async, work);
    if (future.wait_for(std::chrono::seconds(seconds)) == std::future_status::ready)
        return future.get();
    ADD_FAILURE() << "still waiting on " << fifo.toStdString();
    const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0)
        ::close(fd);
    future.wait();
    return std::nullopt;
}

ThemeDocument documentBefore() {
    ThemeDocument doc;
    doc.name = QStringLiteral("Before");
    doc.colours.fill(QStringLiteral("1 2 3"));
    doc.iconMetrics = QStringLiteral("metrics before");
    return doc;
}

class Hostile : public test::DriveFixture {
protected:
    Hostile() {
        driveCFolder();
        QDir().mkpath(onDrive(QStringLiteral("Program Files/Paletteer 95")));
    }
    QString themeFile(const QString& name, const QByteArray& bytes) {
        const QString path = onDrive(kThemesFolder + name);
        writeFile(path, bytes);
        return path;
    }
    static void expectOneLine(const test::CliRun& run) {
        EXPECT_TRUE(run.err.endsWith('\n')) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.left(300).toStdString();
    }
};

// A string literal with NUL bytes in it, all of it.
template <std::size_t N> QByteArray withNuls(const char (&text)[N]) {
    return QByteArray(text, qsizetype(N - 1));
}

// The most memory this test program has held so far, in MB.
long peakMegabytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

QByteArray seed(const char* name) {
    return test::readBytes(QStringLiteral(P95_FUZZ_DIR "/seeds/theme_reader/") +
                           QString::fromLatin1(name));
}

} // namespace

TEST_F(Hostile, ATenMegabyteThemeIsReadAndItsMessagesStayBounded) {
    // A real theme's sections over and over, every sound failing each time.
    QByteArray bytes;
    const QByteArray full = seed("writer-full.theme");
    const QByteArray broken = "[AppEvents\\Schemes\\Apps\\.Default\\SystemHand\\.Current]\r\n"
                              "DefaultValue=%ThemeDir%x.WAV\r\n";
    while (bytes.size() < 10 * 1024 * 1024)
        bytes += full + broken;
    const QString path = themeFile(QStringLiteral("Big.theme"), bytes);

    QElapsedTimer timer;
    timer.start();
    const auto read = readThemeFile(path);
    ASSERT_TRUE(read.ok()) << read.error().text().toStdString();
    const ThemeReading reading = readTheme(documentBefore(), read.value(), DiskProbe());
    std::cout << "[ figures ] reading a " << bytes.size() << "-byte theme took " << timer.elapsed()
              << " ms, peak memory " << peakMegabytes() << " MB\n";
    // Thousands of failing sound sections, one message for their slot.
    EXPECT_EQ(reading.messages,
              (QStringList{QStringLiteral(".wav"), toQString(kLoadProblemMessage)}));
    EXPECT_FALSE(reading.document.sounds[2].isEmpty()); // the earlier match stays
    EXPECT_EQ(reading.document.sounds[4],
              QStringLiteral("C:\\Program Files\\Plus!\\Themes\\Sea\\Sea "
                             "Default Sound.wav"));

    // One line of 10 MB, no comma, no line end.
    const QString line = themeFile(QStringLiteral("Line.theme"), QByteArray(10 << 20, 'A'));
    timer.restart();
    const ThemeReading one = readTheme(documentBefore(), readThemeFile(line).value(), DiskProbe());
    std::cout << "[ figures ] reading one 10 MB line took " << timer.elapsed()
              << " ms, peak memory " << peakMegabytes() << " MB\n";
    EXPECT_TRUE(one.messages.isEmpty());
    EXPECT_EQ(one.document.colours, documentBefore().colours);
}

TEST_F(Hostile, AThemeFileOverTheSizeCapIsRefusedBeforeItIsRead) {
    const QString path = onDrive(kThemesFolder + QStringLiteral("Huge.theme"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(kMaxThemeFileBytes + 1)); // sparse: costs no disk
    file.close();
    const auto read = readThemeFile(path);
    ASSERT_FALSE(read.ok());
    EXPECT_TRUE(read.error().reason.contains(QStringLiteral("larger than")));
    const QString message = unreadableThemeMessage(path, read.error());
    EXPECT_TRUE(message.contains(QStringLiteral("Nothing has been changed")));

    const test::CliRun run = runCli({QStringLiteral("read"), path});
    EXPECT_EQ(run.exitCode, 1);
    expectOneLine(run);
    EXPECT_TRUE(run.out.isEmpty());
}

TEST_F(Hostile, LinesOfAHundredThousandCharactersAreTakenWhereTheRulesTakeThem) {
    const QByteArray name(100000, 'n');
    const QByteArray bytes = "Arrow=C:\\" + name + ".cur\r\n" +
                             "[AppEvents\\Schemes\\Apps\\.Default\\.Default\\.Current]\r\n" +
                             "DefaultValue=C:\\" + name + ".wav\r\n" + "Menu=" + name + "\r\n" +
                             "IconMetrics=" + name + "\r\n";
    const ThemeReading reading = readTheme(documentBefore(), bytes, DiskProbe());
    EXPECT_EQ(reading.document.pointers[0], QString()); // no such picture
    EXPECT_EQ(reading.document.sounds[4].size(), 100000 + 7);
    EXPECT_EQ(reading.document.colours[9].size(), 100000);
    EXPECT_EQ(reading.document.iconMetrics.size(), 100000);
    EXPECT_EQ(reading.messages, QStringList{toQString(kLoadProblemMessage)});

    // Saving it names the missing sound, clearly, and writes no .theme.
    ThemeDocument doc = reading.document;
    doc.name = QStringLiteral("Long");
    FileSystem files;
    const SaveResult saved = saveTheme(doc, files, SaveSettings{programDirectory(), 200});
    EXPECT_EQ(saved.outcome, SaveOutcome::MissingFiles);
    EXPECT_EQ(saved.missing, QList<SlotRef>{(SlotRef{SlotFamily::Sound, 4})});
    EXPECT_FALSE(QFileInfo::exists(onDrive(kThemesFolder + QStringLiteral("Long/Long.theme"))));
}

TEST_F(Hostile, NulBytesAndBinaryGarbageGiveAtMostTheBoundedMessages) {
    std::mt19937 random(95);
    QByteArray garbage(1 << 20, '\0');
    for (char& c : garbage)
        c = char(random() & 0xff);
    // Keys with NUL bytes in their values, inside the garbage.
    garbage += withNuls("\r\nArrow=C:\\a\0b.cur\r\nWallpaper=C:\\\0.bmp\r\n"
                        "[AppEvents\\Schemes\\Apps\\.Default\\Open\\.Current]\r\n"
                        "DefaultValue=C:\\x\0y.wav\r\nActiveTitle=\0\0\0\r\n");
    const ThemeReading reading = readTheme(documentBefore(), garbage, DiskProbe());
    EXPECT_LE(reading.messages.size(), kSoundCount + 1);
    EXPECT_EQ(reading.document.pointers[0], QString());
    EXPECT_EQ(reading.document.sounds[12],
              QStringLiteral("C:\\x") + QChar(0) + QStringLiteral("y.wav"));
    EXPECT_EQ(reading.document.colours[0], QString(3, QChar(0)));
    // What was read can be written again: every byte is Windows-1252.
    EXPECT_TRUE(themeFileBytes(reading.document).ok());

    const QString path = themeFile(QStringLiteral("Garbage.theme"), garbage);
    const test::CliRun run = runCli({QStringLiteral("read"), path});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith('{'));
}

TEST_F(Hostile, AFolderOrAFifoIsRefusedAtOnceWhereverAFileIsRead) {
    const QString folder = onDrive(kThemesFolder + QStringLiteral("Folder.theme"));
    QDir().mkpath(folder);
    const QString fifo = onDrive(kThemesFolder + QStringLiteral("Pipe.theme"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    for (const QString& path : {folder, fifo}) {
        const auto read =
            withinSeconds<Result<QByteArray>>(5, fifo, [&] { return readThemeFile(path); });
        ASSERT_TRUE(read.has_value());
        ASSERT_FALSE(read->ok());
        EXPECT_EQ(read->error().reason, QStringLiteral("not a regular file"));

        const test::CliRun run = runCli({QStringLiteral("read"), path});
        EXPECT_EQ(run.exitCode, 1);
        expectOneLine(run);
    }

    // Opened after it was checked (a FIFO put in place of the file): still no wait.
    QFile file;
    const auto opened = withinSeconds<Status>(5, fifo, [&] { return openRegularFile(file, fifo); });
    ASSERT_TRUE(opened.has_value());
    ASSERT_FALSE(opened->ok());
    EXPECT_EQ(opened->error().reason, QStringLiteral("not a regular file"));

    // A scheme file, a tip file and a file chosen for a slot.
    FileSystem files;
    ThemeDocument doc = documentBefore();
    const auto scheme = withinSeconds<Status>(5, fifo, [&] {
        ThemeDocument copy = doc;
        return loadColourScheme(files, fifo, copy);
    });
    ASSERT_TRUE(scheme.has_value());
    EXPECT_FALSE(scheme->ok());
    const auto tips = withinSeconds<TipFile>(5, fifo, [&] { return readTipFile(fifo); });
    ASSERT_TRUE(tips.has_value());
    EXPECT_TRUE(tips->empty());

    doc.name = QStringLiteral("Piped");
    doc.sounds[0] = fifo;
    const auto saved = withinSeconds<SaveResult>(10, fifo, [&] {
        FileSystem saving;
        return saveTheme(doc, saving, SaveSettings{programDirectory(), 200});
    });
    // A FIFO is no file to copy: it is named with the missing ones.
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->outcome, SaveOutcome::MissingFiles);
    EXPECT_EQ(saved->missing, QList<SlotRef>{(SlotRef{SlotFamily::Sound, 0})});
}

TEST_F(Hostile, AThemeNameOfThreeHundredCharactersIsRefusedBeforeAnythingIsWritten) {
    ThemeDocument doc;
    doc.name = QString(300, QLatin1Char('n'));
    const Status named = checkThemeName(doc.name);
    ASSERT_FALSE(named.ok());
    EXPECT_TRUE(named.error().reason.contains(QStringLiteral("too long")));
    FileSystem files;
    const SaveResult result = saveTheme(doc, files, SaveSettings{programDirectory(), 200});
    EXPECT_EQ(result.outcome, SaveOutcome::Refused);
    EXPECT_TRUE(QDir(onDrive(kThemesFolder)).isEmpty());

    writeFile(tmp() + QStringLiteral("/long.json"), "{\"name\": \"" + QByteArray(300, 'n') + "\"}");
    const test::CliRun run = runCli({QStringLiteral("save"), tmp() + QStringLiteral("/long.json")});
    EXPECT_EQ(run.exitCode, 2);
    expectOneLine(run);
    EXPECT_TRUE(QDir(onDrive(kThemesFolder)).isEmpty());
}

TEST_F(Hostile, PathsInAThemeNeverReachAboveDriveC) {
    // Pictures beside and above the drive folder, where climbing would find them.
    const QString outside = tmp() + QStringLiteral("/outside.cur");
    writeFile(outside, "a picture outside drive C");
    writeFile(tmp() + QStringLiteral("/secret.wav"), "a sound outside drive C");
    const QByteArray tmpPath = QFile::encodeName(tmp());
    const QByteArray bytes = "Help=%ThemeDir%..\\..\\..\\..\\..\\..\\..\\..\\outside.cur\r\n"
                             "Wait=C:\\..\\..\\..\\outside.cur\r\n"
                             "No=C:/../../outside.cur\r\n"
                             "SizeNS=../outside.cur\r\n"
                             "SizeWE=" +
                             tmpPath + "/outside.cur\r\n" +
                             "[AppEvents\\Schemes\\Apps\\.Default\\.Default\\.Current]\r\n"
                             "DefaultValue=" +
                             tmpPath + "/secret.wav\r\n" +
                             "[AppEvents\\Schemes\\Apps\\.Default\\Open\\.Current]\r\n"
                             "DefaultValue=%WinDir%..\\..\\..\\secret.wav\r\n";

    const DiskProbe probe;
    const ThemeReading reading = readTheme(documentBefore(), bytes, probe);
    for (const QString& host : probe.looked())
        EXPECT_TRUE(host.startsWith(drive() + QLatin1Char('/'))) << host.toStdString();
    for (const QString& pointer : reading.document.pointers)
        EXPECT_EQ(pointer, QString()); // nothing outside was found
    for (const QString& sound : reading.document.sounds) {
        if (sound.isEmpty())
            continue;
        EXPECT_TRUE(isWindowsPath(sound)) << sound.toStdString();
        EXPECT_TRUE(hostPath(sound).value().startsWith(drive() + QLatin1Char('/')));
    }
    EXPECT_EQ(reading.document.sounds[4], QStringLiteral("C:") + tmp() + "/secret.wav");

    // ".." stops at the root of drive C: the same names there are found.
    writeFile(onDrive(QStringLiteral("outside.cur")), "a picture at the root of drive C");
    const ThemeReading again = readTheme(documentBefore(), bytes, DiskProbe());
    for (int i : {1, 3, 7, 8}) // Help, Wait, No, SizeNS
        EXPECT_FALSE(again.document.pointers[i].isEmpty()) << i;
    EXPECT_EQ(hostPath(again.document.pointers[1]).value(), onDrive(QStringLiteral("outside.cur")));

    // Saving never copies the host's file into the theme.
    ThemeDocument doc = reading.document;
    doc.name = QStringLiteral("Climb");
    FileSystem files;
    const SaveResult saved = saveTheme(doc, files, SaveSettings{programDirectory(), 200});
    EXPECT_EQ(saved.outcome, SaveOutcome::MissingFiles);
    EXPECT_FALSE(saved.missing.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(
        onDrive(kThemesFolder + QStringLiteral("Climb/Climb Default Sound.wav"))));
}

TEST_F(Hostile, ASchemeFileOfBinaryJunkIsRefusedAndChangesNothing) {
    FileSystem files;
    std::mt19937 random(25);
    QByteArray junk(4096, '\0');
    for (char& c : junk)
        c = char(random() & 0xff);
    const QString noLines = tmp() + QStringLiteral("/junk.scheme");
    writeFile(noLines, junk.replace('\n', 'x').replace('\r', 'y'));
    const QString big = tmp() + QStringLiteral("/big.scheme");
    writeFile(big, QByteArray(10 << 20, '\x9d'));

    for (const QString& path : {noLines, big}) {
        ThemeDocument doc = documentBefore();
        const Status status = loadColourScheme(files, path, doc);
        ASSERT_FALSE(status.ok());
        EXPECT_TRUE(status.error().reason.contains(QStringLiteral("not a color scheme")));
        EXPECT_EQ(doc, documentBefore());
    }

    // Junk with enough line ends is refused too: its lines are no colours.
    QByteArray lines;
    for (int i = 0; i < 30; ++i)
        lines += junk.mid(i * 100, 100) + "\r\n";
    const QString many = tmp() + QStringLiteral("/many.scheme");
    writeFile(many, lines);
    ThemeDocument doc = documentBefore();
    const Status status = loadColourScheme(files, many, doc);
    ASSERT_FALSE(status.ok());
    EXPECT_TRUE(status.error().reason.contains(QStringLiteral("line 1,")));
    EXPECT_EQ(doc, documentBefore());
}

TEST_F(Hostile, ATipFileWithAHundredThousandDigitsInLineOneGivesTheTipsItHas) {
    const QString path = tmp() + QStringLiteral("/tipofday.txz");
    writeFile(path, QByteArray(100000, '9') + "\r\nOne\r\nTwo\r\n");
    const TipFile file = readTipFile(path);
    EXPECT_EQ(file.tips, (QStringList{QStringLiteral("One"), QStringLiteral("Two")}));
    writeFile(path, "-" + QByteArray(100000, '9') + "\r\nOne\r\n");
    EXPECT_TRUE(readTipFile(path).empty());
}
