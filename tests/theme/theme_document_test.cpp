#include "colour/presets.h"
#include "test_support.h"
#include "theme/theme_document.h"

#include <set>

using namespace p95;

TEST(ThemeDocument, StartsWithEmptySlotsCentrePresetZeroAndDefaults) {
    const ThemeDocument doc;
    for (SlotRef slot : copyOrder())
        EXPECT_TRUE(doc.isEmpty(slot));
    EXPECT_FALSE(doc.jpegWallpaper);
    EXPECT_FALSE(doc.tiled);
    EXPECT_EQ(doc.colourMode, ColourMode::Preset);
    EXPECT_EQ(doc.preset, 0);
    EXPECT_FALSE(doc.includeReadMe);
    EXPECT_EQ(doc.colours[0], QStringLiteral("0 0 128"));
    EXPECT_EQ(doc.colours[24], QStringLiteral("255 255 225"));
    EXPECT_EQ(doc.iconMetrics.split(QLatin1Char(' ')).size(), 76);
    EXPECT_EQ(doc.nonclientMetrics.split(QLatin1Char(' ')).size(), 340);
    EXPECT_TRUE(doc.iconMetrics.startsWith(QStringLiteral("76 0 0 0 75 0 0 0 75 ")));
    EXPECT_TRUE(doc.iconMetrics.endsWith(QStringLiteral(" 151 17 63 1 243 21")));
    EXPECT_TRUE(doc.nonclientMetrics.startsWith(QStringLiteral("84 1 0 0 1 0 0 0 13 ")));
}

TEST(ThemeDocument, DefaultColoursEqualTheDefaultPreset) {
    const ThemeDocument doc;
    for (int i = 0; i < kColourCount; ++i)
        EXPECT_EQ(doc.colours[i], toQString(kPresets[0].colours[i])) << i;
}

TEST(ThemeDocument, SlotTablesHaveUniqueCaptionsAndKeys) {
    std::set<std::string_view> captions, keys, events;
    for (const auto& p : kPointerSlots) {
        captions.insert(p.caption);
        keys.insert(p.key);
    }
    for (const auto& s : kSoundSlots) {
        captions.insert(s.caption);
        events.insert(s.eventPath);
    }
    for (auto c : kIconsCaptions)
        captions.insert(c);
    EXPECT_EQ(captions.size(), std::size_t(kPointerCount + kSoundCount + kIconsCount));
    EXPECT_EQ(keys.size(), std::size_t(kPointerCount));
    EXPECT_EQ(events.size(), std::size_t(kSoundCount));
    // Sound indexes follow the captions alphabetically.
    for (int i = 1; i < kSoundCount; ++i)
        EXPECT_LT(kSoundSlots[i - 1].caption, kSoundSlots[i].caption);
}

TEST(ThemeDocument, FileOrdersArePermutations) {
    std::set<int> pointers(kPointerFileOrder.begin(), kPointerFileOrder.end());
    std::set<int> sounds(kSoundFileOrder.begin(), kSoundFileOrder.end());
    EXPECT_EQ(pointers.size(), std::size_t(kPointerCount));
    EXPECT_EQ(sounds.size(), std::size_t(kSoundCount));
    EXPECT_EQ(*pointers.rbegin(), kPointerCount - 1);
    EXPECT_EQ(*sounds.rbegin(), kSoundCount - 1);
}

TEST(ThemeDocument, CopyOrderVisitsEverySlotOnceInSaveOrder) {
    const auto& order = copyOrder();
    EXPECT_EQ(order.front(), (SlotRef{SlotFamily::Pointer, 0}));
    EXPECT_EQ(order[14], (SlotRef{SlotFamily::Sound, 0}));
    EXPECT_EQ(order[34], (SlotRef{SlotFamily::Icons, kWallpaperIndex}));
    EXPECT_EQ(order[35], (SlotRef{SlotFamily::Icons, 1}));
    EXPECT_EQ(order.back(), (SlotRef{SlotFamily::Icons, kScreenSaverIndex}));
}

TEST(StandardFileName, NamesWithBlanksAndEveryFamily) {
    ThemeDocument doc;
    doc.name = QStringLiteral("My Theme");
    doc.pointers[3] = QStringLiteral("C:\\Cursors\\hourglass.ani");
    doc.sounds[3] = QStringLiteral("/home/ann/ding.wav");
    doc.icons[1] = QStringLiteral("/tmp/pc.ico");
    doc.icons[5] = QStringLiteral("/tmp/stars.scr");
    EXPECT_EQ(standardFileName(doc, {SlotFamily::Pointer, 3}), QStringLiteral("My Theme Busy.ani"));
    EXPECT_EQ(standardFileName(doc, {SlotFamily::Sound, 3}),
              QStringLiteral("My Theme Default Beep.wav"));
    EXPECT_EQ(standardFileName(doc, {SlotFamily::Icons, 1}),
              QStringLiteral("My Theme My Computer.ico"));
    EXPECT_EQ(standardFileName(doc, {SlotFamily::Icons, 5}),
              QStringLiteral("My Theme Screen Saver.scr"));
    EXPECT_EQ(themeDirectory(doc.name),
              QStringLiteral("C:\\Program Files\\Plus!\\Themes\\My Theme"));
    EXPECT_EQ(themeFilePath(doc.name),
              QStringLiteral("C:\\Program Files\\Plus!\\Themes\\My Theme\\My Theme.theme"));
}

TEST(StandardFileName, PointerExtensionIgnoresCaseForAniOnly) {
    const struct {
        const char* chosen;
        const char* ext;
    } cases[] = {{"ARROW.ANI", ".ani"}, {"arrow.ani", ".ani"}, {"arrow.Ani", ".ani"},
                 {"arrow.cur", ".cur"}, {"ARROW.CUR", ".cur"}, {"arrow", ".cur"},
                 {"ani", ".cur"}};
    for (const auto& c : cases)
        EXPECT_EQ(pointerExtension(QString::fromLatin1(c.chosen)), QString::fromLatin1(c.ext))
            << c.chosen;
}

TEST(StandardFileName, ScratchExtensionIsAniForEveryPointer) {
    ThemeDocument doc;
    doc.name = QStringLiteral("T");
    doc.pointers[0] = QStringLiteral("a.cur");
    EXPECT_EQ(scratchExtension(doc, {SlotFamily::Pointer, 0}), QStringLiteral(".ani"));
    EXPECT_EQ(finalExtension(doc, {SlotFamily::Pointer, 0}), QStringLiteral(".cur"));
}

TEST(StandardFileName, WallpaperFollowsTheJpegFlag) {
    ThemeDocument doc;
    doc.name = QStringLiteral("T");
    doc.icons[0] = QStringLiteral("a.jpg");
    EXPECT_EQ(standardFileName(doc, {SlotFamily::Icons, 0}), QStringLiteral("T Wallpaper.bmp"));
    doc.jpegWallpaper = true;
    EXPECT_EQ(standardFileName(doc, {SlotFamily::Icons, 0}), QStringLiteral("T Wallpaper.jpg"));
    EXPECT_EQ(scratchExtension(doc, {SlotFamily::Icons, 0}), QStringLiteral(".jpg"));
}
