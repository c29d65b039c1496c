#include "test_support.h"
#include "theme/get_colors.h"
#include "theme/theme_writer.h"

#include <QTemporaryDir>

using namespace p95;
using p95::test::crlfLines;

namespace {

QStringList lines(const ThemeDocument& doc) {
    return themeFileLines(doc);
}

// Index of the first line equal to text, or -1.
qsizetype find(const QStringList& ls, const QString& text) {
    return ls.indexOf(text);
}

ThemeDocument everySlotSet() {
    ThemeDocument doc;
    doc.name = QStringLiteral("Ocean Breeze");
    for (int i = 0; i < kPointerCount; ++i)
        doc.pointers[i] = QStringLiteral("/src/pointer%1.cur").arg(i);
    doc.pointers[0] = QStringLiteral("C:\\CURSORS\\ARROW.ANI");
    doc.pointers[2] = QStringLiteral("/src/busy.Ani");
    doc.pointers[3] = QStringLiteral("/src/BUSY.CUR");
    for (int i = 0; i < kSoundCount; ++i)
        doc.sounds[i] = QStringLiteral("/src/sound%1.WAV").arg(i);
    doc.icons[0] = QStringLiteral("/src/sea.JPG");
    doc.jpegWallpaper = true;
    for (int i = 1; i <= 4; ++i)
        doc.icons[i] = QStringLiteral("/src/icon%1.ico").arg(i);
    doc.icons[5] = QStringLiteral("/src/waves.scr");
    doc.tiled = true;
    doc.preset = 10; // Travel, applied through GetColors
    return doc;
}

} // namespace

TEST(ThemeWriter, EverySlotSetMatchesTheGoldenFileByteForByte) {
    ThemeDocument doc = everySlotSet();
    GetColors(doc);
    auto bytes = themeFileBytes(doc);
    ASSERT_TRUE(bytes.ok());
    const QByteArray expected = test::readBytes(test::golden("full-theme.theme"));
    ASSERT_FALSE(expected.isEmpty());
    // Compare line by line first for a readable failure, then the bytes.
    EXPECT_EQ(crlfLines(bytes.value()), crlfLines(expected));
    EXPECT_EQ(bytes.value(), expected);
}

TEST(ThemeWriter, EmptyThemeKeepsEveryFixedSection) {
    ThemeDocument doc;
    doc.name = QStringLiteral("Empty");
    const QStringList ls = lines(doc);
    const QStringList expectedTail{
        QString(),
        QString(),
        QString(),
        QStringLiteral("[CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\DefaultIcon]"),
        QStringLiteral("[Control Panel\\Desktop]"),
        QStringLiteral("TileWallpaper=0"),
        QStringLiteral("Pattern=(None)"),
        QStringLiteral("ScreenSaveActive=1"),
        QString(),
        QStringLiteral("[Control Panel\\Desktop\\WindowMetrics]"),
        QString(),
        QString(),
        QStringLiteral("[Control Panel\\Colors]")};
    EXPECT_EQ(ls.mid(12, expectedTail.size()), expectedTail);
    const qsizetype cursors = find(ls, QStringLiteral("[Control Panel\\Cursors]"));
    ASSERT_GT(cursors, 0);
    EXPECT_EQ(ls[cursors - 2], QStringLiteral("InfoWindow=255 255 225"));
    EXPECT_EQ(ls[cursors - 1], QString());
    EXPECT_EQ(
        ls.mid(cursors + 1),
        (QStringList{QString(), QStringLiteral("[Metrics]"),
                     QStringLiteral("IconMetrics=") + toQString(kDefaultIconMetrics),
                     QStringLiteral("NonclientMetrics=") + toQString(kDefaultNonclientMetrics),
                     QStringLiteral("[boot]"), QStringLiteral("[MasterThemeSelector]"),
                     QStringLiteral("MTSM = DABJDKT")}));
    EXPECT_EQ(ls.size(), 12 + 13 + 25 + 2 + 7);
    EXPECT_FALSE(ls.join(QLatin1Char('\n')).contains(QStringLiteral("%ThemeDir%")));
}

TEST(ThemeWriter, OnlyMyComputerUnsetGivesTwoBlankLinesAfterTheHeader) {
    ThemeDocument doc = everySlotSet();
    doc.icons[1].clear();
    const QStringList ls = lines(doc);
    EXPECT_EQ(ls[12], QString());
    EXPECT_EQ(ls[13], QString());
    EXPECT_EQ(ls[14], toQString(kNetworkSection));
    EXPECT_EQ(find(ls, toQString(kMyComputerSection)), -1);
}

TEST(ThemeWriter, RecycleBinEmptyAloneWritesEmptyAndDefaultValue) {
    ThemeDocument doc;
    doc.name = QStringLiteral("Bin");
    doc.icons[3] = QStringLiteral("/x/empty.ico");
    const QStringList ls = lines(doc);
    const qsizetype section = find(ls, toQString(kRecycleBinSection));
    ASSERT_GT(section, 0);
    EXPECT_EQ(ls[section + 1], QStringLiteral("empty=%ThemeDir%Bin\\Bin Recycle Bin Empty.ico, 0"));
    EXPECT_EQ(ls[section + 2],
              QStringLiteral("DefaultValue=%ThemeDir%Bin\\Bin Recycle Bin Empty.ico, 0"));
    EXPECT_EQ(ls[section + 3], QStringLiteral("[Control Panel\\Desktop]"));
}

TEST(ThemeWriter, TiledWithoutWallpaperStillWritesTileWallpaper) {
    ThemeDocument doc;
    doc.name = QStringLiteral("T");
    doc.tiled = true;
    const QStringList ls = lines(doc);
    const qsizetype desktop = find(ls, QStringLiteral("[Control Panel\\Desktop]"));
    EXPECT_EQ(ls[desktop + 1], QStringLiteral("TileWallpaper=1"));
}

TEST(ThemeWriter, WallpaperExtensionFollowsTheJpegFlag) {
    ThemeDocument doc;
    doc.name = QStringLiteral("W");
    doc.icons[0] = QStringLiteral("/x/sea.jpg");
    doc.jpegWallpaper = true;
    EXPECT_NE(find(lines(doc), QStringLiteral("Wallpaper=%ThemeDir%W\\W Wallpaper.jpg")), -1);
    doc.jpegWallpaper = false;
    EXPECT_NE(find(lines(doc), QStringLiteral("Wallpaper=%ThemeDir%W\\W Wallpaper.bmp")), -1);
}

TEST(ThemeWriter, PointerExtensionsFollowTheChosenFiles) {
    ThemeDocument doc;
    doc.name = QStringLiteral("P");
    doc.pointers[0] = QStringLiteral("ARROW.ANI");
    doc.pointers[1] = QStringLiteral("arrow.ani");
    doc.pointers[4] = QStringLiteral("ARROW.CUR");
    doc.pointers[13] = QStringLiteral("arrow.cur");
    const QStringList ls = lines(doc);
    const qsizetype cursors = find(ls, QStringLiteral("[Control Panel\\Cursors]"));
    EXPECT_EQ(
        ls.mid(cursors + 1, 5),
        (QStringList{QStringLiteral("Arrow=%ThemeDir%P\\P Normal Select.ani"),
                     QStringLiteral("Help=%ThemeDir%P\\P Help Select.ani"),
                     QStringLiteral("Crosshair=%ThemeDir%P\\P Precision Select.cur"),
                     QStringLiteral("UpArrow=%ThemeDir%P\\P Alternate Select.cur"), QString()}));
}

TEST(ThemeWriter, ColoursAreWrittenUnchangedInOwnMode) {
    ThemeDocument doc;
    doc.name = QStringLiteral("C");
    doc.colourMode = ColourMode::Own;
    doc.preset = 7; // Sports stays selected from earlier; it must not matter
    doc.colours[9] = QStringLiteral("192 192 192 ; grey");
    doc.colours[1] = QStringLiteral("300  -1 blue");
    GetColors(doc);
    const QStringList ls = lines(doc);
    EXPECT_NE(find(ls, QStringLiteral("Menu=192 192 192 ; grey")), -1);
    EXPECT_NE(find(ls, QStringLiteral("Background=300  -1 blue")), -1);
    EXPECT_NE(find(ls, QStringLiteral("ActiveTitle=0 0 128")), -1);
}

TEST(ThemeWriter, WritingTwiceGivesIdenticalBytesOnDisk) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const ThemeDocument doc = everySlotSet();
    const QString path = dir.filePath(QStringLiteral("Ocean Breeze.theme"));
    ASSERT_TRUE(writeThemeFile(doc, path).ok());
    const QByteArray first = test::readBytes(path);
    ASSERT_TRUE(writeThemeFile(doc, path).ok());
    EXPECT_EQ(test::readBytes(path), first);
    EXPECT_TRUE(first.endsWith("MTSM = DABJDKT\r\n"));
    EXPECT_EQ(first.count('\n'), first.count("\r\n"));
}

TEST(ThemeWriter, NameOutsideWindows1252IsAnErrorAndNothingIsWritten) {
    QTemporaryDir dir;
    ThemeDocument doc;
    doc.name = QStringLiteral("Океан");
    doc.sounds[0] = QStringLiteral("a.wav"); // the name reaches the file through a slot
    const QString path = dir.filePath(QStringLiteral("x.theme"));
    const Status status = writeThemeFile(doc, path);
    ASSERT_FALSE(status.ok());
    EXPECT_TRUE(status.error().reason.contains(QStringLiteral("О")));
    EXPECT_FALSE(QFile::exists(path));
}

TEST(ThemeWriter, Windows1252NameIsWrittenAsSingleBytes) {
    ThemeDocument doc;
    doc.name = QStringLiteral("Café €");
    doc.sounds[0] = QStringLiteral("a.wav");
    auto bytes = themeFileBytes(doc);
    ASSERT_TRUE(bytes.ok());
    EXPECT_TRUE(bytes.value().contains("%ThemeDir%Caf\xe9 \x80\\Caf\xe9 \x80 Asterisk.wav\r\n"));
}

TEST(ThemeWriter, MissingDirectoryIsReportedToTheCaller) {
    QTemporaryDir dir;
    const Status status =
        writeThemeFile(ThemeDocument(), dir.filePath(QStringLiteral("missing/x.theme")));
    ASSERT_FALSE(status.ok());
    EXPECT_TRUE(status.error().file.endsWith(QStringLiteral("missing/x.theme")));
}
