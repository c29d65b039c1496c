#include "cli/cli_test_support.h"
#include "test_support.h"

#include <QTemporaryDir>

using namespace p95;
using p95::test::runCli;

namespace {

// The golden theme as the JSON form gives it.
const QByteArray kFullDocument = R"({
  "name": "Ocean Breeze",
  "pointers": ["C:\\CURSORS\\ARROW.ANI", "/s/1.cur", "/src/busy.Ani", "/s/BUSY.CUR",
               "/s/4.cur", "/s/5.cur", "/s/6.cur", "/s/7.cur", "/s/8.cur", "/s/9.cur",
               "/s/10.cur", "/s/11.cur", "/s/12.cur", "/s/13.cur"],
  "sounds": ["a.wav","b.wav","c.wav","d.wav","e.wav","f.wav","g.wav","h.wav","i.wav","j.wav",
             "k.wav","l.wav","m.wav","n.wav","o.wav","p.wav","q.wav","r.wav","s.wav","t.WAV"],
  "icons": ["/src/sea.JPG", "/i/1.ico", "/i/2.ico", "/i/3.ico", "/i/4.ico", "/i/waves.scr"],
  "tiled": true,
  "colourMode": "own",
  "colours": ["64 72 120","0 0 0","72 96 80","224 224 216","224 224 216","216 208 200","0 0 0",
              "200 192 184","96 88 72","144 128 112","0 0 0","0 0 0","144 128 112","144 128 112",
              "95 84 73","144 128 112","96 88 72","96 88 72","0 0 0","144 128 112","200 192 184",
              "0 0 0","144 128 112","64 72 120","255 255 255"]
})";

} // namespace

TEST(CliWrite, WritesTheGoldenThemeToStandardOutputAndToAFile) {
    const QByteArray expected = test::readBytes(test::golden("full-theme.theme"));
    const auto toStdout = runCli({QStringLiteral("write"), QStringLiteral("-")}, kFullDocument);
    EXPECT_EQ(toStdout.exitCode, 0) << toStdout.err.toStdString();
    EXPECT_EQ(toStdout.out, expected);

    QTemporaryDir dir;
    const QString docPath = dir.filePath(QStringLiteral("doc.json"));
    QFile doc(docPath);
    ASSERT_TRUE(doc.open(QIODevice::WriteOnly));
    doc.write(kFullDocument);
    doc.close();
    const QString out = dir.filePath(QStringLiteral("out.theme"));
    const auto toFile = runCli({QStringLiteral("write"), docPath, QStringLiteral("-o"), out});
    EXPECT_EQ(toFile.exitCode, 0) << toFile.err.toStdString();
    EXPECT_TRUE(toFile.out.isEmpty());
    EXPECT_EQ(test::readBytes(out), expected);
}

TEST(CliWrite, EmptyObjectWritesTheStartUpDocumentWithoutApplyingPresets) {
    const auto run = runCli({QStringLiteral("write"), QStringLiteral("-")},
                            R"({"preset": 10, "colourMode": "preset"})");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains("\r\nActiveTitle=0 0 128\r\n")); // not Travel's 64 72 120
    EXPECT_TRUE(run.out.endsWith("[MasterThemeSelector]\r\nMTSM = DABJDKT\r\n"));
}

TEST(CliWrite, JpegFlagFollowsTheWallpaperWhenAbsent) {
    const auto jpg = runCli({QStringLiteral("write"), QStringLiteral("-")},
                            R"({"name":"J","icons":["/a/b.JpG","","","","",""]})");
    EXPECT_TRUE(jpg.out.contains("Wallpaper=%ThemeDir%J\\J Wallpaper.jpg\r\n"));
    const auto forced =
        runCli({QStringLiteral("write"), QStringLiteral("-")},
               R"({"name":"J","jpegWallpaper":false,"icons":["/a/b.jpg","","","","",""]})");
    EXPECT_TRUE(forced.out.contains("Wallpaper=%ThemeDir%J\\J Wallpaper.bmp\r\n"));
}

TEST(CliWrite, ReadOutputWithMessagesIsAccepted) {
    const auto run = runCli({QStringLiteral("write"), QStringLiteral("-")},
                            R"({"name":"M","messages":["There was a slight problem"]})");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
}

TEST(CliWrite, BadInputExitsTwoWithOneLineAndWritesNothing) {
    const char* bad[] = {
        "not json",
        "[1,2]",
        R"({"name": 5})",
        R"({"pointers": ["a"]})",
        R"({"sounds": [1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20]})",
        R"({"preset": 11})",
        R"({"preset": -1})",
        R"({"preset": 2.5})",
        R"({"colourMode": "mine"})",
        R"({"tiled": "yes"})",
        R"({"colour": []})",
        "{\"name\": \"\u6d77\"}",
        "{\"colours\": "
        "[\"\u6d77\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\","
        "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"]}",
    };
    QTemporaryDir dir;
    for (const char* input : bad) {
        const QString out = dir.filePath(QStringLiteral("out.theme"));
        const auto run =
            runCli({QStringLiteral("write"), QStringLiteral("-"), QStringLiteral("-o"), out},
                   QByteArray(input));
        EXPECT_EQ(run.exitCode, 2) << input;
        EXPECT_EQ(run.err.count('\n'), 1) << input << ": " << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << input;
        EXPECT_FALSE(QFile::exists(out)) << input;
    }
}

TEST(CliWrite, UsageErrorsExitTwoAndHelpExitsZero) {
    EXPECT_EQ(runCli({}).exitCode, 2);
    EXPECT_EQ(runCli({QStringLiteral("frobnicate")}).exitCode, 2);
    EXPECT_EQ(runCli({QStringLiteral("write")}).exitCode, 2);
    EXPECT_EQ(runCli({QStringLiteral("write"), QStringLiteral("-"), QStringLiteral("-o")}).exitCode,
              2);
    const auto help = runCli({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("write DOC.json"));
    EXPECT_TRUE(help.out.contains("jpegWallpaper"));
}

TEST(CliWrite, MissingDocumentFailsWithStatusOne) {
    const auto run = runCli({QStringLiteral("write"), QStringLiteral("/nonexistent/doc.json")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.count('\n'), 1);
}
