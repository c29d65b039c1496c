// What the writer writes, with its files on a private drive C, reads back
// through the real picture probe.

#include "drive_support.h"
#include "platform/drive.h"
#include "platform/pictures/qt_picture_probe.h"
#include "platform/test_pictures.h"
#include "theme/theme_reader.h"
#include "theme/theme_writer.h"

using namespace p95;

namespace {

const QString kName = QStringLiteral("Caf\u00e9 Sea");

ThemeDocument everySlotSet(bool jpegWallpaper) {
    ThemeDocument doc;
    doc.name = kName;
    for (int i = 0; i < kPointerCount; ++i)
        doc.pointers[i] = QStringLiteral("/src/p%1.%2").arg(i).arg(i % 3 == 0 ? "ANI" : "cur");
    for (int i = 0; i < kSoundCount; ++i)
        doc.sounds[i] = QStringLiteral("/src/s%1.wav").arg(i);
    doc.icons[0] = jpegWallpaper ? QStringLiteral("/src/w.jpg") : QStringLiteral("/src/w.bmp");
    doc.jpegWallpaper = jpegWallpaper;
    for (int i = 1; i <= 4; ++i)
        doc.icons[i] = QStringLiteral("/src/i%1.ico").arg(i);
    doc.icons[5] = QStringLiteral("/src/saver.scr");
    doc.tiled = true;
    doc.colourMode = ColourMode::Own;
    for (int i = 0; i < kColourCount; ++i)
        doc.colours[i] = QStringLiteral("%1 %2 %3").arg(i).arg(i * 2).arg(i * 3);
    doc.iconMetrics = QStringLiteral("76 1 2 3");
    doc.nonclientMetrics = QStringLiteral("84 1 0 0");
    return doc;
}

QByteArray contentFor(const QString& extension) {
    if (extension == QStringLiteral(".cur"))
        return test::curBytes();
    if (extension == QStringLiteral(".ico"))
        return test::icoBytes();
    if (extension == QStringLiteral(".bmp"))
        return test::bmpBytes();
    if (extension == QStringLiteral(".jpg"))
        return test::jpegBytes();
    return QByteArray("RIFF\x04\0\0\0data", 12); // .ani, .wav, .scr are not loaded
}

class ReaderRoundTrip : public test::DriveFixture {
protected:
    // A theme directory as a save leaves it; the host path of the .theme file.
    QByteArray saveTheme(const ThemeDocument& doc) {
        for (const SlotRef slot : copyOrder()) {
            const QString windowsPath =
                themeDirectory(doc.name) + QLatin1Char('\\') + standardFileName(doc, slot);
            writeFile(hostPath(windowsPath).value(), contentFor(finalExtension(doc, slot)));
        }
        return themeFileBytes(doc).value();
    }

    // Where each slot of doc was copied, as the reader forms it.
    static QString readBackPath(const ThemeDocument& doc, SlotRef slot) {
        QString relative = doc.name + QLatin1Char('\\') + standardFileName(doc, slot);
        if (slot.family == SlotFamily::Icons && (slot.index == 1 || slot.index == 2))
            relative = relative.toUpper(); // no ß here, so Qt's upper case serves
        return toQString(kThemesRoot) + relative;
    }

    QtPictureProbe m_probe;
};

} // namespace

TEST_F(ReaderRoundTrip, EverySlotReadsBackFromTheThemeDirectory) {
    for (const bool jpeg : {false, true}) {
        SCOPED_TRACE(jpeg ? "jpeg wallpaper" : "bitmap wallpaper");
        const ThemeDocument saved = everySlotSet(jpeg);
        ThemeDocument start;
        start.tiled = true; // opening leaves Center/Tiled as it was
        start.name = kName; // set from the file name by whoever opens it
        const ThemeReading r = readTheme(start, saveTheme(saved), m_probe);
        EXPECT_TRUE(r.messages.isEmpty()) << r.messages.join(QLatin1Char('\n')).toStdString();

        ThemeDocument expected = saved;
        for (const SlotRef slot : copyOrder())
            expected.path(slot) = readBackPath(saved, slot);
        EXPECT_EQ(r.document.icons[1],
                  QStringLiteral("C:\\Program Files\\Plus!\\Themes\\CAF\u00c9 SEA\\CAF\u00c9 SEA "
                                 "MY COMPUTER.ICO"));
        EXPECT_EQ(r.document, expected);

        for (int i = 0; i < kPointerCount; ++i) {
            EXPECT_EQ(r.pointerPreviews[i], i % 3 == 0 ? Preview::AnimatedPointer : Preview::File)
                << "pointer " << i;
        }
        EXPECT_EQ(r.iconsPreviews[0], jpeg ? Preview::JpegWallpaper : Preview::File);
        for (int i = 1; i <= 4; ++i)
            EXPECT_EQ(r.iconsPreviews[i], Preview::File) << "icon " << i;
    }
}

TEST_F(ReaderRoundTrip, AMissingOrBrokenFileLosesOnlyItsSlot) {
    const ThemeDocument saved = everySlotSet(false);
    const QByteArray themeFile = saveTheme(saved);
    const SlotRef help{SlotFamily::Pointer, 1};
    const SlotRef full{SlotFamily::Icons, 4};
    ASSERT_TRUE(QFile::remove(hostPath(readBackPath(saved, help)).value()));
    writeFile(hostPath(readBackPath(saved, full)).value(), "not an icon");

    const ThemeReading r = readTheme(ThemeDocument(), themeFile, m_probe);
    EXPECT_EQ(r.messages, QStringList{toQString(kLoadProblemMessage)});
    for (const SlotRef slot : copyOrder()) {
        const bool lost = slot == help || slot == full;
        EXPECT_EQ(r.document.path(slot), lost ? QString() : readBackPath(saved, slot))
            << slotCaption(slot).toStdString();
    }
}

// Opened and written again, a theme keeps its Center/Tiled choice and its bytes.
TEST_F(ReaderRoundTrip, TiledOrCentredTheSameBytesComeBack) {
    for (const bool tiled : {true, false}) {
        ThemeDocument saved = everySlotSet(false);
        saved.tiled = tiled;
        const QByteArray bytes = saveTheme(saved);
        ThemeDocument start;
        start.name = kName;
        start.tiled = !tiled;
        ThemeReading r = readTheme(start, bytes, m_probe);
        EXPECT_EQ(r.document.tiled, tiled);
        EXPECT_EQ(themeFileBytes(r.document).value(), bytes) << (tiled ? "tiled" : "centred");
    }
}

// "Arrow=rel.cur" is on drive C: a file of that name in the working directory
// is never taken (nor copied into the theme by the next save).
TEST_F(ReaderRoundTrip, ABareNameNeverReachesTheWorkingDirectory) {
    const QString work = tmp() + QStringLiteral("/work");
    writeFile(work + QStringLiteral("/rel.cur"), test::curBytes());
    writeFile(work + QStringLiteral("/sub/x.ico"), test::icoBytes());
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(work));
    const ThemeReading r =
        readTheme(ThemeDocument(), "Arrow=rel.cur\r\nfull=sub\\x.ico\r\n", m_probe);
    QDir::setCurrent(before);
    EXPECT_EQ(r.document.pointers[0], QString());
    EXPECT_EQ(r.document.icons[4], QString());
    EXPECT_EQ(r.messages, QStringList{toQString(kLoadProblemMessage)});
}
