#include "drive_support.h"
#include "platform/pictures/qt_picture_probe.h"
#include "platform/test_pictures.h"

using namespace p95;

namespace {

class PictureProbeTest : public test::DriveFixture {
protected:
    QString put(const QString& relative, const QByteArray& bytes) {
        const QString path = onDrive(relative);
        writeFile(path, bytes);
        return path;
    }
    QtPictureProbe m_probe;
};

} // namespace

TEST_F(PictureProbeTest, BitmapsIconsAndCursorsAreKnownByContentNotName) {
    EXPECT_TRUE(m_probe.probe(put(QStringLiteral("play.bmz"), test::bmpBytes())).ok());
    EXPECT_TRUE(m_probe.probe(put(QStringLiteral("theme.icp"), test::icoBytes())).ok());
    EXPECT_TRUE(m_probe.probe(put(QStringLiteral("pen.cuz"), test::curBytes())).ok());
    EXPECT_TRUE(m_probe.probe(put(QStringLiteral("cursor.ico"), test::curBytes())).ok());
    EXPECT_TRUE(m_probe.probe(put(QStringLiteral("bitmap.cur"), test::bmpBytes())).ok());
}

TEST_F(PictureProbeTest, MissingFilesFoldersAndOtherContentFail) {
    EXPECT_FALSE(m_probe.probe(onDrive(QStringLiteral("none.bmp"))).ok());
    EXPECT_FALSE(m_probe.probe(drive()).ok());
    EXPECT_FALSE(m_probe.probe(put(QStringLiteral("text.bmp"), "not a picture at all")).ok());
    EXPECT_FALSE(m_probe.probe(put(QStringLiteral("empty.ico"), QByteArray())).ok());
    const Status jpeg = m_probe.probe(put(QStringLiteral("photo.bmp"), test::jpegBytes()));
    ASSERT_FALSE(jpeg.ok());
    EXPECT_TRUE(jpeg.error().reason.contains(QStringLiteral("jpeg")))
        << jpeg.error().reason.toStdString();
    // A RIFF animated cursor is not loaded as a picture.
    EXPECT_FALSE(m_probe.probe(put(QStringLiteral("busy.ani"), "RIFF\x10\0\0\0ACONanih")).ok());
}

TEST_F(PictureProbeTest, TruncatedPicturesFail) {
    const QByteArray ico = test::icoBytes();
    EXPECT_FALSE(m_probe.probe(put(QStringLiteral("cut.ico"), ico.left(30))).ok());
    const QByteArray bmp = test::bmpBytes();
    EXPECT_FALSE(m_probe.probe(put(QStringLiteral("cut.bmp"), bmp.left(40))).ok());
    EXPECT_FALSE(m_probe.probe(put(QStringLiteral("rows.bmp"), bmp.left(bmp.size() - 200))).ok());
    EXPECT_TRUE(m_probe.probe(put(QStringLiteral("whole.bmp"), bmp)).ok());
}

TEST_F(PictureProbeTest, WindowsPathsFindFilesInAnyLetterCase) {
    put(QStringLiteral("Program Files/Plus!/Themes/My Theme/My Theme My Computer.ico"),
        test::icoBytes());
    EXPECT_TRUE(m_probe
                    .probe(QStringLiteral(
                        "C:\\PROGRAM FILES\\PLUS!\\THEMES\\MY THEME\\MY THEME MY COMPUTER.ICO"))
                    .ok());
    EXPECT_FALSE(m_probe.probe(QStringLiteral("D:\\Themes\\My Theme My Computer.ico")).ok());
    EXPECT_FALSE(m_probe.probe(QStringLiteral("C:\\Windows\\missing.cur")).ok());
}
