// The preview picture: every colour where it belongs, the wallpaper, icons
// and pointers from their files, sizes from the metric records, and files
// that cannot be drawn left out without failing the picture.

#include "preview_test_support.h"

#include "colour/colour_text.h"
#include "colour/presets.h"
#include "platform/pictures/picture_loader.h"
#include "preview/metrics.h"
#include "preview/preview_renderer.h"

#include <QSet>
#include <QStringList>

namespace p95::test {
namespace {

// 25 colours, all different, none black or white (the desktop icons' title
// colours).
QRgb distinct(int i) {
    return qRgb(20 + 9 * i, 200 - 5 * i, 60 + 7 * i);
}

ThemeDocument distinctColours() {
    ThemeDocument doc;
    doc.colourMode = ColourMode::Own;
    for (int i = 0; i < kColourCount; ++i)
        doc.colours[i] =
            colourText(Rgb{qRed(distinct(i)), qGreen(distinct(i)), qBlue(distinct(i))});
    return doc;
}

// The default non-client record with one 32-bit field replaced.
QString nonclientWith(int offset, int value) {
    QStringList bytes = toQString(kDefaultNonclientMetrics).split(QLatin1Char(' '));
    for (int k = 0; k < 4; ++k)
        bytes[offset + k] = QString::number((value >> (8 * k)) & 0xff);
    return bytes.join(QLatin1Char(' '));
}

QSet<QRgb> coloursOf(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return colours;
}

int rowsHolding(const QImage& image, QRgb colour) {
    int rows = 0;
    for (int y = 0; y < image.height(); ++y)
        rows += countPixels(image.copy(0, y, image.width(), 1), colour) > 0 ? 1 : 0;
    return rows;
}

class PreviewRenderer : public DriveFixture {
protected:
    void SetUp() override { ensureApplication(); }

    QString put(const char* name, const QByteArray& bytes) {
        const QString path = tmp() + QLatin1Char('/') + QLatin1String(name);
        writeFile(path, bytes);
        return path;
    }
    // By default the screen pixel for pixel, the pointer strip below it.
    PreviewRendering render(const ThemeDocument& doc, QSize size = QSize(800, 644)) {
        PreviewPictures pictures;
        return renderPreview(doc, size, pictures);
    }
};

TEST_F(PreviewRenderer, EveryOneOfTheTwentyFiveColoursShowsAsExactPixels) {
    ThemeDocument doc = distinctColours();
    const QImage own = render(doc).image;
    ASSERT_EQ(own.size(), QSize(800, 644));
    const QSet<QRgb> drawn = coloursOf(own);
    for (int i = 0; i < kColourCount; ++i)
        EXPECT_TRUE(drawn.contains(distinct(i))) << kColourSlots[i].caption;

    // In preset mode the preset is drawn, whatever the colour texts hold.
    doc.colourMode = ColourMode::Preset;
    doc.preset = 3;
    const QImage preset = render(doc).image;
    const QSet<QRgb> drawnForPreset = coloursOf(preset);
    for (int i = 0; i < kColourCount; ++i)
        EXPECT_FALSE(drawnForPreset.contains(distinct(i))) << kColourSlots[i].caption;
    const Rgb background = parseColourText(toQString(kPresets[3].colours[1]));
    EXPECT_GT(countPixels(preset, qRgb(background.red, background.green, background.blue)), 10000);
}

TEST_F(PreviewRenderer, TiledWallpaperCoversFarMoreThanCentred) {
    const QRgb paper = qRgb(201, 13, 77);
    ThemeDocument doc = distinctColours();
    doc.icons[kWallpaperIndex] = put("paper.bmp", flatPicture(paper, QSize(400, 300), "bmp"));
    const qsizetype centred = countPixels(render(doc).image, paper);
    doc.tiled = true;
    const qsizetype tiled = countPixels(render(doc).image, paper);
    EXPECT_GT(centred, 0);
    EXPECT_GT(tiled, 3 * centred);
}

TEST_F(PreviewRenderer, AJpegWallpaperShows) {
    const QRgb paper = qRgb(30, 160, 220);
    ThemeDocument doc = distinctColours();
    doc.icons[kWallpaperIndex] = put("paper.jpg", flatPicture(paper, QSize(64, 64), "jpeg"));
    doc.jpegWallpaper = true;
    doc.tiled = true;
    const PreviewRendering rendering = render(doc);
    EXPECT_TRUE(rendering.absent.isEmpty())
        << rendering.absent.join(QLatin1Char('\n')).toStdString();
    // JPEG is lossy: near the colour, over most of the desktop.
    EXPECT_GT(countPixels(rendering.image, paper, 6), 800 * 600 / 4);
}

TEST_F(PreviewRenderer, IconAndPointerPicturesAppearTheAnimatedPointersFirstFrame) {
    const QRgb computer = qRgb(3, 200, 9), fullBin = qRgb(250, 5, 130), arrow = qRgb(7, 7, 240);
    const QRgb firstFrame = qRgb(240, 220, 3), secondFrame = qRgb(100, 3, 100);
    ThemeDocument doc = distinctColours();
    doc.icons[1] = put("computer.ico", flatPicture(computer, QSize(32, 32), "ico"));
    doc.icons[4] = put("full.ico", flatPicture(fullBin, QSize(32, 32), "ico"));
    doc.pointers[0] = put("arrow.cur", flatCursor(arrow));
    doc.pointers[3] = put("busy.ani", animatedCursor({firstFrame, secondFrame}));
    const PreviewRendering rendering = render(doc);
    EXPECT_TRUE(rendering.absent.isEmpty())
        << rendering.absent.join(QLatin1Char('\n')).toStdString();
    EXPECT_GE(countPixels(rendering.image, computer), 32 * 32);
    EXPECT_GE(countPixels(rendering.image, fullBin), 32 * 32);
    EXPECT_GE(countPixels(rendering.image, arrow), 32 * 32);
    EXPECT_GE(countPixels(rendering.image, firstFrame), 32 * 32);
    EXPECT_EQ(countPixels(rendering.image, secondFrame), 0);
}

TEST_F(PreviewRenderer, ALargerCaptionHeightMakesTallerTitleBars) {
    ThemeDocument doc = distinctColours();
    const int usual = rowsHolding(render(doc).image, distinct(0));
    doc.nonclientMetrics = nonclientWith(20, 30); // the caption height: 18 by default
    const int tall = rowsHolding(render(doc).image, distinct(0));
    // The active window's and the message box's title bars, each 12 rows more.
    EXPECT_GE(tall - usual, 2 * 12);
}

TEST_F(PreviewRenderer, FilesThatCannotBeDrawnAreLeftOutAndNamed) {
    ThemeDocument doc = distinctColours();
    doc.icons[kWallpaperIndex] = tmp() + QStringLiteral("/gone.bmp");
    doc.icons[2] = put("network.ico", "not a picture at all");
    doc.pointers[5] = put("beam.ani", "RIFF\x04\0\0\0ACON");
    const PreviewRendering rendering = render(doc);
    EXPECT_EQ(rendering.image.size(), QSize(800, 644));
    EXPECT_GT(countPixels(rendering.image, distinct(1)), 100000); // the Background colour
    ASSERT_EQ(rendering.absent.size(), 3) << rendering.absent.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(rendering.absent[0].startsWith(QStringLiteral("Wallpaper: ") + doc.icons[0]));
    EXPECT_TRUE(rendering.absent.join(QLatin1Char('\n')).contains(doc.icons[2]));
    EXPECT_TRUE(rendering.absent.join(QLatin1Char('\n')).contains(doc.pointers[5]));
}

// Sizes inside the files come from whoever made them: none may make the
// reader run past the bytes or allocate what a header claims.
TEST_F(PreviewRenderer, HostilePicturesAreRefusedWithoutReadingPastThemOrHugeAllocations) {
    const QByteArray cursor = flatCursor(qRgb(1, 2, 3));
    const QByteArray huge("\xff\xff\xff\xff", 4);
    const struct {
        const char* what;
        QByteArray bytes;
    } pointers[] = {
        {"chunk sizes of 4 GB",
         QByteArray("RIFF") + huge + "ACONLIST" + huge + "framicon" + huge + cursor.left(10)},
        {"no frame list",
         riffChunk("RIFF", QByteArray("ACON") + riffChunk("anih", QByteArray(36, 0)))},
        {"a frame that is no picture",
         riffChunk("RIFF", QByteArray("ACON") +
                               riffChunk("LIST", QByteArray("fram") + riffChunk("icon", "junk")))},
    };
    for (const auto& c : pointers)
        EXPECT_FALSE(decodePointerPicture(c.bytes, QStringLiteral("p.ani")).ok()) << c.what;

    // A JPEG whose header claims 65000 by 65000 pixels (16 GB).
    QByteArray jpeg = flatPicture(qRgb(9, 9, 9), QSize(16, 16), "jpeg");
    const qsizetype frame = jpeg.indexOf("\xff\xc0");
    ASSERT_GT(frame, 0);
    jpeg.replace(frame + 5, 4, QByteArray("\xfd\xe8\xfd\xe8", 4));
    EXPECT_FALSE(decodeWallpaper(jpeg, QStringLiteral("w.jpg")).ok());
}

TEST_F(PreviewRenderer, MetricRecordsAreReadAtTheirOffsetsAndBadOnesNeverBreakThePicture) {
    const NonclientMetricsRecord usual = parseNonclientMetrics(toQString(kDefaultNonclientMetrics));
    EXPECT_EQ(usual.borderWidth, 1);
    EXPECT_EQ(usual.scrollWidth, 13);
    EXPECT_EQ(usual.captionHeight, 18);
    EXPECT_EQ(usual.captionFont.height, -11);
    EXPECT_EQ(usual.captionFont.weight, 700);
    EXPECT_EQ(usual.captionFont.face, QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(usual.smCaptionFont.height, -8);
    EXPECT_EQ(usual.menuHeight, 18);
    EXPECT_EQ(usual.messageFont.weight, 400);
    const IconMetricsRecord icons = parseIconMetrics(toQString(kDefaultIconMetrics));
    EXPECT_EQ(icons.horzSpacing, 75);
    EXPECT_EQ(icons.font.height, -8);
    EXPECT_EQ(icons.font.face, QStringLiteral("MS Sans Serif"));

    const QString nines = QStringLiteral("9 ").repeated(2'000'000);
    const struct {
        const char* what;
        QString text;
        int captionHeight;
        int borderWidth;
    } cases[] = {
        {"empty", QString(), 18, 1},
        {"words", QStringLiteral("large title bars please"), 18, 1},
        {"too few numbers", QStringLiteral("84 1 0 0 1 0 0 0 13"), 18, 1},
        {"a number above 255",
         nonclientWith(20, 30).replace(QStringLiteral(" 30 "), QStringLiteral(" 300 ")), 18, 1},
        {"every byte 255: sizes of -1",
         QStringList(340, QStringLiteral("255")).join(QLatin1Char(' ')), 8, 1},
        {"millions of 9s: sizes of 151587081", nines, 100, 50},
    };
    for (const auto& c : cases) {
        const NonclientMetricsRecord record = parseNonclientMetrics(c.text);
        EXPECT_EQ(record.captionHeight, c.captionHeight) << c.what;
        EXPECT_EQ(record.borderWidth, c.borderWidth) << c.what;
        ThemeDocument doc;
        doc.nonclientMetrics = c.text;
        doc.iconMetrics = c.text;
        EXPECT_EQ(render(doc, QSize(320, 240)).image.size(), QSize(320, 240)) << c.what;
    }
}

} // namespace
} // namespace p95::test
