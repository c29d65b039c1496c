// A whole theme made through the tabs: a file chosen for every slot, saved by
// the editor, opened again, every slot pointing at its copy.

#include "platform/sound_files.h"
#include "tabs_test_support.h"
#include "test_support.h"

#include <QAction>

namespace p95::test {
namespace {

using ThemeRoundTrip = TabsFixture;

TEST_F(ThemeRoundTrip, EverySlotChosenSavedAndOpenedPointsAtItsCopyInTheThemeDirectory) {
    const QString name = QStringLiteral("Harbour Lights");
    window->setThemeName(name);

    // Real files on the drive, as the file dialog returns them: host paths.
    int serial = 0;
    const auto source = [&](const QString& fileName) {
        const QString path = onDrive(QStringLiteral("Sources/") + fileName);
        QByteArray content = QByteArray("content ") + QByteArray::number(++serial);
        // A sound or an animated pointer is taken only when it is one.
        if (fileName.endsWith(QStringLiteral(".WAV")))
            content = sineWave(440.0 + serial, 0.01);
        else if (fileName.endsWith(QStringLiteral(".ani")))
            content.prepend(QByteArray("RIFF\x04\0\0\0ACON", 12));
        writeFile(path, content);
        return path;
    };
    for (int i = 0; i < kPointerCount; ++i) {
        // Every other pointer animated: both kinds make the trip.
        const QString file = QStringLiteral("pointer%1.%2").arg(i).arg(i % 2 ? "ani" : "cur");
        choose(control<QPushButton>("Command3", i), source(file));
    }
    for (int i = 0; i < kSoundCount; ++i)
        choose(control<QPushButton>("Command4", i), source(QStringLiteral("sound%1.WAV").arg(i)));
    for (int k = kFirstDesktopIcon; k <= kLastDesktopIcon; ++k)
        choose(control<QPushButton>("Command5", k), source(QStringLiteral("icon%1.ico").arg(k)));
    choose(control<QPushButton>(QStringLiteral("Command6")), source(QStringLiteral("saver.scr")));
    choose(control<QPushButton>(QStringLiteral("Command7")), source(QStringLiteral("paper.bmp")));
    const ThemeDocument chosen = window->document();
    for (SlotRef slot : copyOrder())
        ASSERT_FALSE(chosen.isEmpty(slot)) << slotCaption(slot).toStdString();

    fakes.messages.queue(MsgAnswer::Ok);
    control<QPushButton>(QStringLiteral("Command2"))->click();
    ASSERT_EQ(fakes.messages.shown.size(), 1u) << fakes.messages.texts().join(u'\n').toStdString();

    // A fresh window opens the saved theme.
    auto reopened = makeWindow();
    const QString themeFile = host(themeFilePath(name));
    fakes.fileDialog.queue(themeFile);
    reopened->findChild<QPushButton*>(QStringLiteral("Command15"))->click();
    ASSERT_EQ(fakes.messages.shown.size(), 1u) << fakes.messages.texts().join(u'\n').toStdString();

    const ThemeDocument& opened = reopened->document();
    EXPECT_EQ(opened.name, name);
    for (SlotRef slot : copyOrder()) {
        QString inTheme = name + QLatin1Char('\\') + standardFileName(chosen, slot);
        // The reader takes these two keys in upper case; the %ThemeDir% it
        // expands stays as the program spells it.
        if (slot == SlotRef{SlotFamily::Icons, 1} || slot == SlotRef{SlotFamily::Icons, 2})
            inTheme = inTheme.toUpper();
        const QString expected = toQString(kThemesRoot) + inTheme;
        EXPECT_EQ(opened.path(slot).toStdString(), expected.toStdString())
            << slotCaption(slot).toStdString();
        // The copy is there, with the chosen file's bytes.
        EXPECT_EQ(readBytes(host(opened.path(slot))), readBytes(chosen.path(slot)))
            << slotCaption(slot).toStdString();
    }
    // The controls show the same paths.
    auto label = [&](const char* control, int index) {
        return reopened
            ->findChild<QLabel*>(QStringLiteral("%1_%2").arg(QLatin1String(control)).arg(index))
            ->text();
    };
    for (int i = 0; i < kPointerCount; ++i)
        EXPECT_EQ(label("Source", i), opened.pointers[i]) << i;
    for (int i = 0; i < kSoundCount; ++i) {
        EXPECT_EQ(reopened->findChild<QLineEdit*>(QStringLiteral("Text1_%1").arg(i))->text(),
                  opened.sounds[i]);
        EXPECT_FALSE(reopened->findChild<QLabel*>(QStringLiteral("Image2_%1").arg(i))->isHidden());
    }
    for (int k = 0; k < kIconsCount; ++k)
        EXPECT_EQ(label("Icons", k), opened.icons[k]) << k;
    EXPECT_FALSE(opened.jpegWallpaper);
}

} // namespace
} // namespace p95::test
