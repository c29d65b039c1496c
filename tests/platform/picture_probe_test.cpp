#include "drive_support.h"
#include "platform/qt_picture_probe.h"
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
    EXPECT_FALSE(m_probe.probe(put(QStringLiteral("play.bmz"), test::bmpBytes())));
    EXPECT_FALSE(m_probe.probe(put(QStringLiteral("theme.icp"), test::icoBytes())));
    EXPECT_FALSE(m_probe.probe(put(QStringLiteral("pen.cuz"), test::curBytes())));
    EXPECT_FALSE(m_probe.probe(put(QStringLiteral("cursor.ico"), test::curBytes())));
    EXPECT_FALSE(m_probe.probe(put(QStringLiteral("bitmap.cur"), test::bmpBytes())));
}

TEST_F(PictureProbeTest, MissingFilesFoldersAndOtherContentFail) {
    EXPECT_TRUE(m_probe.probe(onDrive(QStringLiteral("none.bmp"))));
    EXPECT_TRUE(m_probe.probe(drive()));
    EXPECT_TRUE(m_probe.probe(put(QStringLiteral("text.bmp"), "not a picture at all")));
    EXPECT_TRUE(m_probe.probe(put(QStringLiteral("empty.ico"), QByteArray())));
    const Status jpeg = m_probe.probe(put(QStringLiteral("photo.bmp"), test::jpegBytes()));
    ASSERT_TRUE(jpeg);
    EXPECT_TRUE(jpeg->reason.contains(QStringLiteral("jpeg"))) << jpeg->reason.toStdString();
    // A RIFF animated cursor is not loaded as a picture.
    EXPECT_TRUE(m_probe.probe(put(QStringLiteral("busy.ani"), "RIFF\x10\0\0\0ACONanih")));
}

TEST_F(PictureProbeTest, TruncatedPicturesFail) {
    const QByteArray ico = test::icoBytes();
    EXPECT_TRUE(m_probe.probe(put(QStringLiteral("cut.ico"), ico.left(30))));
    const QByteArray bmp = test::bmpBytes();
    EXPECT_TRUE(m_probe.probe(put(QStringLiteral("cut.bmp"), bmp.left(40))));
    EXPECT_TRUE(m_probe.probe(put(QStringLiteral("rows.bmp"), bmp.left(bmp.size() - 200))));
    EXPECT_FALSE(m_probe.probe(put(QStringLiteral("whole.bmp"), bmp)));
}

TEST_F(PictureProbeTest, WindowsPathsFindFilesInAnyLetterCase) {
    put(QStringLiteral("Program Files/Plus!/Themes/My Theme/My Theme My Computer.ico"),
        test::icoBytes());
    EXPECT_FALSE(m_probe.probe(
        QStringLiteral("C:\\PROGRAM FILES\\PLUS!\\THEMES\\MY THEME\\MY THEME MY COMPUTER.ICO")));
    EXPECT_TRUE(m_probe.probe(QStringLiteral("D:\\Themes\\My Theme My Computer.ico")));
    EXPECT_TRUE(m_probe.probe(QStringLiteral("C:\\Windows\\missing.cur")));
}
