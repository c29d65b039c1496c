// Colour text read for the picker and written back.

#include "colour/colour_text.h"
#include "colour/presets.h"
#include "theme/theme_document.h"

#include <gtest/gtest.h>

namespace p95 {
namespace {

TEST(ColourText, EveryPresetColourReadsBackToTheSameText) {
    for (const Preset& preset : kPresets) {
        for (std::string_view text : preset.colours) {
            const QString colour = toQString(text);
            EXPECT_EQ(colourText(parseColourText(colour)), colour);
        }
    }
}

TEST(ColourText, SplitsAtBlanksLikeTheWellFormedRule) {
    const ColourTextParts parts = splitColourText(QStringLiteral("255 128 0"));
    EXPECT_EQ(parts.red, QStringLiteral("255"));
    EXPECT_EQ(parts.green, QStringLiteral("128"));
    EXPECT_EQ(parts.blue, QStringLiteral("0"));
    const ColourTextParts spaced = splitColourText(QStringLiteral("  1   2\t3 4"));
    EXPECT_EQ(spaced.red, QStringLiteral("1"));
    EXPECT_EQ(spaced.green, QStringLiteral("2"));
    EXPECT_EQ(spaced.blue, QStringLiteral("3"));
    EXPECT_TRUE(splitColourText(QStringLiteral("9")).blue.isEmpty());
}

TEST(ColourText, MalformedTextGivesTheReadableNumbersClampedAndZeroForTheRest) {
    struct Case {
        const char* text;
        Rgb rgb;
    };
    const Case cases[] = {
        {"", {0, 0, 0}},
        {"words only here", {0, 0, 0}},
        {"12 abc 300", {12, 0, 255}},
        {"-5 256 +7", {0, 255, 7}},
        {"10,20,30", {10, 0, 0}},
        {"12.9 7x 08", {12, 7, 8}},
        {"0 128", {0, 128, 0}},
        {"99999999999999999999999 1 2", {255, 1, 2}},
        {"-99999999999999999999999 1 2", {0, 1, 2}},
        {"1 2 3 4 5", {1, 2, 3}},
        {"\xd9\xa1 2 3", {0, 2, 3}}, // an Arabic-Indic digit is not a number here
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseColourText(QString::fromUtf8(c.text)), c.rgb) << c.text;
}

TEST(ColourText, WritesNoLeadingZerosAndClamps) {
    EXPECT_EQ(colourText({7, 0, 255}), QStringLiteral("7 0 255"));
    EXPECT_EQ(colourText({-1, 300, 9}), QStringLiteral("0 255 9"));
}

} // namespace
} // namespace p95
