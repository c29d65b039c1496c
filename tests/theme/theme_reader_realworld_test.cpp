// The .theme files Windows 98 and its Plus! pack shipped, read as they are
// (bare LF line ends in this copy) and with CR LF restored.

#include "colour/presets.h"
#include "platform/fake_picture_probe.h"
#include "test_support.h"
#include "theme/theme_reader.h"

#include <QDir>
#include <QRegularExpression>

using namespace p95;
using p95::test::FakePictureProbe;

namespace {

QDir realWorldDir() {
    return QDir(QStringLiteral(P95_REALWORLD_THEMES));
}

QStringList realWorldThemes() {
    return realWorldDir().entryList({QStringLiteral("*.theme")}, QDir::Files, QDir::Name);
}

#define SKIP_WITHOUT_REALWORLD_THEMES()                                                            \
    P95_SKIP_WITHOUT_REALWORLD(!realWorldThemes().isEmpty(),                                       \
                               "no .theme files in P95_REALWORLD_THEMES (" P95_REALWORLD_THEMES    \
                               "); configure with -DP95_REALWORLD_THEMES=<folder> to run this "    \
                               "test")

QByteArray themeBytes(const QString& fileName) {
    return test::readBytes(realWorldDir().filePath(fileName));
}

const QString kDc = QStringLiteral("C:\\Program Files\\Plus!\\Themes\\Dangerous Creatures ");
const char* const kDcFile = "Dangerous Creatures (256 color).theme";

} // namespace

TEST(RealWorldThemes, EveryFileReadsAndCrLfReadsTheSame) {
    SKIP_WITHOUT_REALWORLD_THEMES();
    const auto probe = FakePictureProbe::loadingEverything();
    for (const QString& name : realWorldThemes()) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray lf = themeBytes(name);
        ASSERT_FALSE(lf.contains('\r'));
        QByteArray crlf = lf;
        crlf.replace("\n", "\r\n");
        const ThemeReading fromLf = readTheme(ThemeDocument(), lf, probe);
        const ThemeReading fromCrLf = readTheme(ThemeDocument(), crlf, probe);
        EXPECT_EQ(fromLf.document, fromCrLf.document);
        EXPECT_EQ(fromLf.pointerPreviews, fromCrLf.pointerPreviews);
        EXPECT_EQ(fromLf.iconsPreviews, fromCrLf.iconsPreviews);
        EXPECT_EQ(fromLf.messages, fromCrLf.messages);

        // Every metrics line of the file arrives unchanged.
        const QString text = QString::fromLatin1(lf);
        const auto icon = QRegularExpression(QStringLiteral("^IconMetrics=(.*)$"),
                                             QRegularExpression::MultilineOption)
                              .match(text);
        if (icon.hasMatch()) {
            EXPECT_EQ(fromLf.document.iconMetrics, icon.captured(1));
        }
        EXPECT_EQ(fromLf.document.colourMode, ColourMode::Own);
    }
}

TEST(RealWorldThemes, PlusThemesHaveThePresetColours) {
    SKIP_WITHOUT_REALWORLD_THEMES();
    const QRegularExpression suffix(QStringLiteral(" \\((256|high) color\\)\\.theme$"));
    int matched = 0;
    for (const QString& file : realWorldThemes()) {
        QString name = file;
        name.remove(suffix);
        if (name == QStringLiteral("Windows Default.theme"))
            name = QStringLiteral("Default");
        for (const Preset& preset : kPresets) {
            if (name.compare(toQString(preset.caption), Qt::CaseInsensitive) != 0)
                continue;
            SCOPED_TRACE(file.toStdString());
            ++matched;
            const ThemeReading r = readTheme(ThemeDocument(), themeBytes(file), FakePictureProbe());
            for (int i = 0; i < kColourCount; ++i)
                EXPECT_EQ(r.document.colours[i], toQString(preset.colours[i])) << "colour " << i;
        }
    }
    EXPECT_EQ(matched, kPresetCount);
}

TEST(RealWorldThemes, DangerousCreaturesWithoutItsFiles) {
    SKIP_WITHOUT_REALWORLD_THEMES();
    FakePictureProbe nothingLoads;
    const ThemeReading r = readTheme(ThemeDocument(), themeBytes(kDcFile), nothingLoads);
    const ThemeDocument& doc = r.document;

    // Only the animated pointers, which are not loaded, survive.
    for (int i = 0; i < kPointerCount; ++i) {
        if (i == 2 || i == 3)
            continue;
        EXPECT_EQ(doc.pointers[i], QString()) << "pointer " << i;
    }
    EXPECT_EQ(doc.pointers[2], kDc + QStringLiteral("wait.ani"));
    EXPECT_EQ(doc.pointers[3], kDc + QStringLiteral("busy.ani"));
    EXPECT_EQ(r.pointerPreviews[3], Preview::AnimatedPointer);

    EXPECT_EQ(doc.icons[0], kDc + QStringLiteral("wallpaper.jpg"));
    EXPECT_TRUE(doc.jpegWallpaper);
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(doc.icons[i], QString()) << "icon " << i;
    EXPECT_EQ(doc.icons[5], QStringLiteral("C:\\Windows\\System\\Dangerous Creatures.scr"));

    const char* const sounds[kSoundCount] = {"asterisk",
                                             "",
                                             "critical stop",
                                             "beep",
                                             "default sound",
                                             "empty recycle bin",
                                             "exclamation",
                                             "startup",
                                             "maximize",
                                             "menu command",
                                             "menu popup",
                                             "minimize",
                                             "",
                                             "program error",
                                             "question",
                                             "minimize",
                                             "maximize",
                                             "",
                                             "",
                                             "startup"};
    for (int i = 0; i < kSoundCount; ++i) {
        const QString expected =
            *sounds[i] ? kDc + QString::fromLatin1(sounds[i]) + QStringLiteral(".wav") : QString();
        EXPECT_EQ(doc.sounds[i], expected) << "sound " << i;
    }
    EXPECT_TRUE(doc.nonclientMetrics.startsWith(QStringLiteral("84 1 0 0 1 0 0 0 13 ")));
    EXPECT_EQ(r.messages, QStringList{toQString(kLoadProblemMessage)});
}

TEST(RealWorldThemes, DangerousCreaturesWithEveryFilePresent) {
    SKIP_WITHOUT_REALWORLD_THEMES();
    const ThemeReading r =
        readTheme(ThemeDocument(), themeBytes(kDcFile), FakePictureProbe::loadingEverything());
    EXPECT_EQ(r.document.pointers[0], kDc + QStringLiteral("arrow.cur"));
    EXPECT_EQ(r.document.pointers[13], kDc + QStringLiteral("up.cur"));
    EXPECT_EQ(r.document.icons[1], QStringLiteral("C:\\Program Files\\Plus!\\Themes\\DANGEROUS "
                                                  "CREATURES MY COMPUTER.ICO"));
    EXPECT_EQ(r.document.icons[2], QStringLiteral("C:\\Program Files\\Plus!\\Themes\\DANGEROUS "
                                                  "CREATURES NETWORK NEIGHBORHOOD.ICO"));
    EXPECT_EQ(r.document.icons[3], kDc + QStringLiteral("Recycle Empty.ico"));
    EXPECT_EQ(r.document.icons[4], kDc + QStringLiteral("Recycle Full.ico"));
    EXPECT_TRUE(r.messages.isEmpty());
}

TEST(RealWorldThemes, WindowsDefaultNamesIconsInsideALibrary) {
    SKIP_WITHOUT_REALWORLD_THEMES();
    // "%WinDir%SYSTEM\COOL.DLL,16" holds no ".ico": every icon step fails.
    const ThemeReading r =
        readTheme(ThemeDocument(), themeBytes(QStringLiteral("Windows Default.theme")),
                  FakePictureProbe::loadingEverything());
    for (int i = 0; i < kIconsCount; ++i)
        EXPECT_EQ(r.document.icons[i], QString()) << "icon " << i;
    EXPECT_EQ(r.document.sounds[4], QStringLiteral("C:\\Windows\\media\\ding.wav"));
    EXPECT_EQ(r.document.sounds[19], QStringLiteral("C:\\Windows\\media\\The Microsoft Sound.wav"));
    EXPECT_EQ(r.document.sounds[13], QString());
    EXPECT_EQ(r.messages, QStringList{toQString(kLoadProblemMessage)});
}
