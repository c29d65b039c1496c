#include "colour/presets.h"
#include "test_support.h"
#include "theme/get_colors.h"

#include <QRegularExpression>

using namespace p95;

TEST(ColourTable, CaptionsAndKeysAsTheWindowShowsThem) {
    EXPECT_EQ(kColourSlots[13].caption, "In-active Border");
    EXPECT_EQ(kColourSlots[17].caption, "Grey Text");
    EXPECT_EQ(kColourSlots[17].key, "GrayText");
    EXPECT_EQ(kColourSlots[19].caption, "In-active Title Text");
    EXPECT_EQ(kColourSlots[8].caption, "Inactive Title");
    EXPECT_EQ(kColourSlots[2].key, "Hilight");
    EXPECT_EQ(kColourSlots[21].key, "ButtonDkShadow");
    EXPECT_EQ(kColourSlots[24].defaultText, "255 255 225");
}

TEST(Presets, EveryColourIsWellFormedColourText) {
    const QRegularExpression form(QStringLiteral("^(0|[1-9][0-9]{0,2}) (0|[1-9][0-9]{0,2}) "
                                                 "(0|[1-9][0-9]{0,2})$"));
    for (const Preset& preset : kPresets) {
        for (auto text : preset.colours) {
            const QString colour = toQString(text);
            const auto match = form.match(colour);
            ASSERT_TRUE(match.hasMatch()) << preset.caption << ": " << text;
            for (int part = 1; part <= 3; ++part)
                EXPECT_LE(match.captured(part).toInt(), 255) << preset.caption << ": " << text;
        }
    }
}

TEST(Presets, CaptionsInButtonOrderAndNeighboursThatDifferByOneComponent) {
    EXPECT_EQ(kPresets[0].caption, "Default");
    EXPECT_EQ(kPresets[2].caption, "Inside Your Computer");
    EXPECT_EQ(kPresets[8].caption, "The 60's USA");
    EXPECT_EQ(kPresets[10].caption, "Travel");
    EXPECT_EQ(kPresets[4].colours[19], "200 200 208");
    EXPECT_EQ(kPresets[4].colours[20], "200 208 208");
    EXPECT_EQ(kPresets[7].colours[13], "104 184 72"); // Sports: InactiveBorder differs from Menu
    EXPECT_EQ(kPresets[7].colours[22], "192 192 192");
}

TEST(GetColors, PresetModeCopiesTheSelectedPreset) {
    ThemeDocument doc;
    doc.preset = 10; // Travel
    doc.colours[5] = QStringLiteral("1 2 3");
    GetColors(doc);
    EXPECT_EQ(doc.colours[0], QStringLiteral("64 72 120"));
    EXPECT_EQ(doc.colours[24], QStringLiteral("255 255 255"));
    EXPECT_EQ(doc.colours, presetColours(10));
    EXPECT_EQ(doc.colourMode, ColourMode::Preset);
    EXPECT_EQ(doc.preset, 10);
}

TEST(GetColors, OwnColoursModeChangesNothing) {
    ThemeDocument doc;
    doc.colourMode = ColourMode::Own;
    doc.preset = 7;
    doc.colours[3] = QStringLiteral("not a colour");
    const ThemeDocument before = doc;
    GetColors(doc);
    EXPECT_EQ(doc, before);
}

TEST(GetColors, EveryPresetReachesEveryColour) {
    for (int k = 0; k < kPresetCount; ++k) {
        ThemeDocument doc;
        doc.preset = k;
        for (QString& c : doc.colours)
            c = QStringLiteral("x");
        GetColors(doc);
        for (int i = 0; i < kColourCount; ++i)
            EXPECT_EQ(doc.colours[i], toQString(kPresets[k].colours[i])) << k << "/" << i;
    }
}
