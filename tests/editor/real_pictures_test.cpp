// The choices on the tabs with the real picture loader: files that are what
// their names say are taken, files that are not are refused.

#include "platform/gui/qt_pictures.h"
#include "platform/sound_files.h"
#include "platform/test_pictures.h"
#include "tabs_test_support.h"

#include <QTest>

namespace p95::test {
namespace {

class RealPictures : public TabsFixture {
protected:
    void SetUp() override {
        TabsFixture::SetUp();
        // The program's own pictures and pointer, as an installation has them.
        ASSERT_TRUE(fillProgramDirectory(installedDataFolder()).ok());
        ASSERT_TRUE(QFile::exists(m_programDir + QStringLiteral("/pen.cuz")))
            << "the data files are not built in " << installedDataFolder().toStdString();
        FakeServices& f = fakes;
        real = std::make_unique<FrmMain>(Services{f.fileDialog, f.messages, f.input, f.choice,
                                                  f.audio, pictures, f.clipboard, f.clock},
                                         m_files);
        real->setEndProgram([] {});
        real->ensureLoaded();
    }
    QString file(const QString& name, const QByteArray& bytes) {
        const QString path = tmp() + QStringLiteral("/chosen/") + name;
        writeFile(path, bytes);
        return path;
    }
    QPushButton* button(const QString& name) { return real->findChild<QPushButton*>(name); }

    QtPictures pictures;
    std::unique_ptr<FrmMain> real;
};

TEST_F(RealPictures, ACursorFileBecomesTheHoverPointerAndATextFileNamedCurIsRefused) {
    QPushButton* normal = button(QStringLiteral("Command3_0"));
    const QString cursor = file(QStringLiteral("hand.cur"), curBytes());
    choose(normal, cursor);
    EXPECT_EQ(real->document().pointers[0], cursor);
    EXPECT_EQ(normal->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(normal->cursor().hotSpot(), QPoint(3, 4));
    EXPECT_FALSE(real->findChild<QLabel*>(QStringLiteral("Image1_0"))->pixmap().isNull());

    choose(normal, file(QStringLiteral("notes.cur"), "just some words"));
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].icon, MsgIcon::Warning);
    EXPECT_EQ(real->document().pointers[0], cursor);
}

TEST_F(RealPictures, IconsAndBitmapsThatAreNotPicturesAreRefused) {
    const QString icon = file(QStringLiteral("pc.ico"), icoBytes());
    choose(button(QStringLiteral("Command5_1")), icon);
    choose(button(QStringLiteral("Command5_1")),
           file(QStringLiteral("fake.ico"), "MZ not an icon"));
    const QString bitmap = file(QStringLiteral("sea.bmp"), bmpBytes());
    choose(button(QStringLiteral("Command7")), bitmap);
    choose(button(QStringLiteral("Command7")), file(QStringLiteral("empty.bmp"), QByteArray()));

    EXPECT_EQ(fakes.messages.shown.size(), 2u);
    EXPECT_EQ(real->document().icons[1], icon);
    EXPECT_EQ(real->document().icons[0], bitmap);
    EXPECT_FALSE(real->findChild<QLabel*>(QStringLiteral("Image3_1"))->pixmap().isNull());
    EXPECT_FALSE(real->document().jpegWallpaper);
}

TEST_F(RealPictures, TheProgramsOwnFilesShowAsTheyShould) {
    // "Handwriting" takes the pen from the program directory (the start window
    // asks for it when it loads).
    real->pointersTab().showHandwritingPointer();
    EXPECT_EQ(button(QStringLiteral("Command3_6"))->cursor().shape(), Qt::BitmapCursor);

    // The animated-pointer and JPEG placeholders, and the pressed play picture.
    choose(button(QStringLiteral("Command3_2")),
           file(QStringLiteral("spin.ani"), QByteArray("RIFF\x04\0\0\0ACON", 12)));
    EXPECT_FALSE(real->findChild<QLabel*>(QStringLiteral("Image1_2"))->pixmap().isNull());
    choose(button(QStringLiteral("Command7")), file(QStringLiteral("sky.jpg"), "JFIF"));
    EXPECT_FALSE(real->findChild<QLabel*>(QStringLiteral("Image3_0"))->pixmap().isNull());

    choose(button(QStringLiteral("Command4_0")),
           file(QStringLiteral("ding.wav"), sineWave(440.0, 0.05)));
    auto* play = real->findChild<QLabel*>(QStringLiteral("Image2_0"));
    const QImage normal = play->pixmap().toImage();
    ASSERT_FALSE(normal.isNull());
    QTest::mousePress(play, Qt::MiddleButton);
    EXPECT_NE(play->pixmap().toImage(), normal);
    QTest::mouseRelease(play, Qt::MiddleButton);
    EXPECT_EQ(play->pixmap().toImage(), normal);
    EXPECT_TRUE(fakes.messages.shown.empty());
}

} // namespace
} // namespace p95::test
