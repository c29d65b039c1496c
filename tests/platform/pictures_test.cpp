// Pictures and pointers from files: recognised by content, whatever the name;
// a missing file or one that is no picture fails; a cursor keeps the hotspot
// written in its header.

#include "drive_support.h"
#include "platform/gui/qt_pictures.h"
#include "platform/pictures/fonts.h"
#include "platform/pictures/picture_loader.h"

#include <QBuffer>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QImageWriter>
#include <QPainter>
#include <QSet>

#include <gtest/gtest.h>

namespace p95 {
namespace {

QImage filled(int size, QColor colour) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

QByteArray encode(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    return bytes;
}

// An icon file of several images. Qt writes one image per file, so the
// directory is put together here from single-image files.
QByteArray iconFile(const QList<QImage>& images) {
    QByteArray directory;
    QByteArray data;
    const qsizetype dataStart = 6 + 16 * images.size();
    for (const QImage& image : images) {
        const QByteArray single = encode(image, "ico");
        QByteArray entry = single.mid(6, 16);
        const quint32 offset = quint32(dataStart + data.size());
        for (int b = 0; b < 4; ++b)
            entry[12 + b] = char((offset >> (8 * b)) & 0xff);
        directory += entry;
        data += single.mid(6 + 16);
    }
    QByteArray out("\0\0\1\0", 4);
    out.append(char(images.size()));
    out.append('\0');
    return out + directory + data;
}

// A cursor file made from an icon file: the same layout with type 2 and each
// entry's hotspot where the icon keeps planes and bit count.
QByteArray cursorFile(const QList<QImage>& images, const QList<QPoint>& hotspots) {
    QByteArray bytes = iconFile(images);
    bytes[2] = 2;
    for (qsizetype i = 0; i < hotspots.size(); ++i) {
        const qsizetype entry = 6 + i * 16;
        bytes[entry + 4] = char(hotspots[i].x());
        bytes[entry + 5] = 0;
        bytes[entry + 6] = char(hotspots[i].y());
        bytes[entry + 7] = 0;
    }
    return bytes;
}

using PictureLoading = test::DriveFixture;

TEST_F(PictureLoading, BitmapIconAndCursorAreRecognisedByContentWhateverTheirNames) {
    writeFile(onDrive(QStringLiteral("Pics/play.bmz")), encode(filled(16, Qt::red), "bmp"));
    writeFile(onDrive(QStringLiteral("Pics/theme.icp")), iconFile({filled(32, Qt::blue)}));
    writeFile(onDrive(QStringLiteral("Pics/pen.cuz")),
              cursorFile({filled(32, Qt::green)}, {QPoint(3, 28)}));

    const Result<QImage> bitmap = readPicture(QStringLiteral("C:\\PICS\\PLAY.BMZ"));
    ASSERT_TRUE(bitmap.ok()) << bitmap.error().text().toStdString();
    EXPECT_EQ(bitmap->size(), QSize(16, 16));
    EXPECT_EQ(bitmap->pixelColor(8, 8), QColor(Qt::red));

    const Result<QImage> icon = readPicture(onDrive(QStringLiteral("Pics/theme.icp")));
    ASSERT_TRUE(icon.ok()) << icon.error().text().toStdString();
    EXPECT_EQ(icon->pixelColor(5, 5), QColor(Qt::blue));

    const Result<QImage> cursor = readPicture(QStringLiteral("C:\\Pics\\pen.cuz"));
    ASSERT_TRUE(cursor.ok()) << cursor.error().text().toStdString();
    EXPECT_EQ(cursor->size(), QSize(32, 32));
    EXPECT_EQ(cursor->pixelColor(5, 5), QColor(Qt::green));
}

TEST_F(PictureLoading, MissingFilesAndFilesThatAreNoPictureFail) {
    writeFile(onDrive(QStringLiteral("notes.bmp")), QByteArray("Just some text.\r\n"));
    QByteArray truncated = iconFile({filled(32, Qt::blue)});
    truncated.truncate(30); // directory intact, image data gone
    writeFile(onDrive(QStringLiteral("broken.ico")), truncated);
    QDir().mkpath(onDrive(QStringLiteral("folder.bmp")));

    for (const QString& path : {QStringLiteral("C:\\missing.bmp"), QStringLiteral("C:\\notes.bmp"),
                                QStringLiteral("C:\\broken.ico"), QStringLiteral("C:\\folder.bmp"),
                                QString(), QStringLiteral("D:\\picture.bmp")}) {
        const Result<QImage> image = readPicture(path);
        EXPECT_FALSE(image.ok()) << "loaded " << path.toStdString();
        if (!image.ok()) {
            EXPECT_EQ(image.error().file, path);
            EXPECT_FALSE(image.error().reason.isEmpty());
        }
    }
}

TEST_F(PictureLoading, APictureBoxShowsTheThirtyTwoPixelImageOfAnIcon) {
    writeFile(onDrive(QStringLiteral("multi.ico")),
              iconFile({filled(16, Qt::red), filled(32, Qt::blue), filled(48, Qt::green)}));
    const Result<QImage> shown = readPicture(QStringLiteral("C:\\multi.ico"));
    ASSERT_TRUE(shown.ok());
    EXPECT_EQ(shown->size(), QSize(32, 32));

    const Result<QList<QImage>> all = readPictureImages(QStringLiteral("C:\\multi.ico"));
    ASSERT_TRUE(all.ok());
    EXPECT_EQ(all->size(), 3);
}

TEST_F(PictureLoading, ACursorKeepsTheHotspotOfItsShownImage) {
    writeFile(
        onDrive(QStringLiteral("two.cur")),
        cursorFile({filled(16, Qt::red), filled(32, Qt::blue)}, {QPoint(1, 2), QPoint(30, 7)}));
    const Result<CursorImage> cursor = readCursor(QStringLiteral("C:\\two.cur"));
    ASSERT_TRUE(cursor.ok()) << cursor.error().text().toStdString();
    EXPECT_EQ(cursor->image.size(), QSize(32, 32));
    EXPECT_EQ(cursor->hotspot, QPoint(30, 7));
}

TEST(CursorDecoding, AHotspotOutsideTheImageIsKeptInsideIt) {
    const Result<CursorImage> cursor =
        decodeCursor(cursorFile({filled(32, Qt::blue)}, {QPoint(200, 40)}), QStringLiteral("x"));
    ASSERT_TRUE(cursor.ok());
    EXPECT_EQ(cursor->hotspot, QPoint(31, 31));
}

TEST(CursorDecoding, OnlyACursorFileIsAPointer) {
    const QByteArray icon = iconFile({filled(32, Qt::blue)});
    EXPECT_TRUE(isIconFile(icon));
    EXPECT_FALSE(isCursorFile(icon));
    EXPECT_FALSE(decodeCursor(icon, QStringLiteral("icon")).ok());
    EXPECT_FALSE(decodeCursor(encode(filled(32, Qt::blue), "bmp"), QStringLiteral("bmp")).ok());
    // A directory that claims more entries than the file holds.
    QByteArray lying = cursorFile({filled(32, Qt::blue)}, {QPoint(1, 1)});
    lying[4] = char(200);
    lying.truncate(6 + 16 * 3);
    EXPECT_FALSE(isCursorFile(lying));
    EXPECT_FALSE(decodeCursor(lying, QStringLiteral("lying")).ok());
}

using QtPicturesTest = test::DriveFixture;

TEST_F(QtPicturesTest, PointersWindowIconsAndPicturesFromFiles) {
    writeFile(onDrive(QStringLiteral("pen.cuz")),
              cursorFile({filled(32, Qt::black)}, {QPoint(2, 29)}));
    writeFile(onDrive(QStringLiteral("theme.icp")),
              iconFile({filled(16, Qt::red), filled(32, Qt::blue)}));
    QtPictures pictures;

    const Result<QCursor> pen = pictures.loadCursor(QStringLiteral("C:\\pen.cuz"));
    ASSERT_TRUE(pen.ok()) << pen.error().text().toStdString();
    EXPECT_EQ(pen->shape(), Qt::BitmapCursor);
    EXPECT_EQ(pen->hotSpot(), QPoint(2, 29));
    EXPECT_FALSE(pictures.loadCursor(QStringLiteral("C:\\theme.icp")).ok());
    EXPECT_FALSE(pictures.loadCursor(QStringLiteral("C:\\none.cur")).ok());

    const QIcon icon = pictures.windowIcon(QStringLiteral("C:\\theme.icp"));
    EXPECT_EQ(icon.availableSizes().size(), 2);
    EXPECT_TRUE(pictures.windowIcon(QStringLiteral("C:\\none.ico")).isNull());

    const Result<QPixmap> picture = pictures.loadPicture(QStringLiteral("C:\\theme.icp"));
    ASSERT_TRUE(picture.ok());
    EXPECT_EQ(picture->size(), QSize(32, 32));
    EXPECT_FALSE(pictures.loadPicture(QStringLiteral("C:\\none.bmp")).ok());
}

TEST(StandardPointers, EveryShapeHasItsOwnQtPointer) {
    QtPictures pictures;
    QSet<int> shapes;
    const int count = int(StandardPointer::UpArrow) + 1;
    for (int i = 0; i < count; ++i)
        shapes.insert(int(pictures.standardPointer(StandardPointer(i)).shape()));
    EXPECT_EQ(shapes.size(), count) << "two pointer roles share one shape";
    EXPECT_EQ(pictures.standardPointer(StandardPointer::Hourglass).shape(), Qt::WaitCursor);
    EXPECT_EQ(pictures.standardPointer(StandardPointer::ArrowHourglass).shape(), Qt::BusyCursor);
}

// The program's own data files, once they are in the tree: every picture
// loads, and the pen pointer has the hotspot its header names.
TEST(DataFiles, EveryPictureAndThePenPointerLoad) {
    const QString data = QStringLiteral(P95_SOURCE_DATA_DIR);
    if (!QFileInfo::exists(data + QStringLiteral("/pen.cuz")))
        GTEST_SKIP() << "no data files in " << data.toStdString();
    for (const char* name : {"theme.icp", "tipofday.icp", "info.icp", "play.bmz", "play2.bmz",
                             "ani.bmz", "unavailable.bmz", "pen.cuz"}) {
        const QString path = data + QLatin1Char('/') + QString::fromUtf8(name);
        const Result<QImage> image = readPicture(path);
        EXPECT_TRUE(image.ok()) << name << ": " << image.error().text().toStdString();
        if (image.ok()) {
            EXPECT_FALSE(image->isNull()) << name;
        }
    }
    for (const char* name : {"theme.icp", "tipofday.icp"})
        EXPECT_FALSE(
            QtPictures().windowIcon(data + QLatin1Char('/') + QString::fromUtf8(name)).isNull())
            << name;

    QFile pen(data + QStringLiteral("/pen.cuz"));
    ASSERT_TRUE(pen.open(QIODevice::ReadOnly));
    const QByteArray bytes = pen.readAll();
    ASSERT_TRUE(isCursorFile(bytes));
    const Result<CursorImage> cursor = readCursor(pen.fileName());
    ASSERT_TRUE(cursor.ok()) << cursor.error().text().toStdString();
    if (quint8(bytes[4]) == 1) { // one image: its entry holds the hotspot
        const QPoint header(quint8(bytes[10]) | quint8(bytes[11]) << 8,
                            quint8(bytes[12]) | quint8(bytes[13]) << 8);
        EXPECT_EQ(cursor->hotspot, header);
    }
    EXPECT_TRUE(QRect(QPoint(0, 0), cursor->image.size()).contains(cursor->hotspot));
    const Result<QCursor> qtCursor = QtPictures().loadCursor(pen.fileName());
    ASSERT_TRUE(qtCursor.ok());
    EXPECT_EQ(qtCursor->hotSpot(), cursor->hotspot);
}

} // namespace
} // namespace p95

namespace p95 {
namespace {

// The faces the windows name resolve to the free fonts of the package list,
// and the Wine faces load from their files.
TEST(ProgramFonts, TheNamedFacesComeFromTheFreeFonts) {
    if (!QFile::exists(wineFontsFolder() + QStringLiteral("/ms_sans_serif.ttf")))
        GTEST_SKIP() << "fonts-wine is not installed";
    const ProgramFonts fonts = installProgramFonts();
    EXPECT_TRUE(fonts.msSansSerif);
    EXPECT_TRUE(fonts.marlett);
    const struct {
        const char* named;
        const char* drawnWith;
    } cases[] = {{"MS Sans Serif", "MS Sans Serif"},
                 {"Marlett", "Marlett"},
                 {"Comic Sans MS", "Comic Neue"},
                 {"Courier New", "Liberation Mono"}};
    for (const auto& c : cases) {
        QFont font(QString::fromLatin1(c.named));
        font.setPixelSize(13);
        EXPECT_EQ(QFontInfo(font).family(), QString::fromLatin1(c.drawnWith)) << c.named;
    }
}

} // namespace
} // namespace p95
