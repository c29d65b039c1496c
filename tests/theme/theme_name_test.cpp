#include "test_support.h"
#include "theme/theme_name.h"

using namespace p95;

TEST(ThemeName, AcceptsOrdinaryNamesAndBlanksOnly) {
    for (const char* name : {"Ocean", "My Theme", "   ", "The 60's USA", "Café", "a.b", "x!"})
        EXPECT_FALSE(themeNameProblem(QString::fromUtf8(name))) << name;
}

TEST(ThemeName, RefusesWhatCannotBeAWindowsFileNameOrBeReadBack) {
    const char* refused[] = {"",      "a\\b",   "a/b",  "a:b",       "a*",       "a?",
                             "a\"b",  "a<b",    "a>b",  "a|b",       ".",        "..",
                             "a,b",   "a=b",    "x.cur", "X.ANI",    "y.Wav",    "z.bmp",
                             "q.jpg", "w.ico",  "s.scr", "Океан",    "tab\there"};
    for (const char* name : refused)
        EXPECT_TRUE(themeNameProblem(QString::fromUtf8(name))) << name;
}

TEST(ThemeName, RefusesNamesWhoseLongestFilePathPassesTheWindowsLimit) {
    // themes root (30) + name + "\" + name + " Diagonal Resize 2 (SW-NE).cur" (30)
    const int longestAllowed = (259 - 30 - 1 - 30) / 2;
    EXPECT_FALSE(themeNameProblem(QString(longestAllowed, QLatin1Char('a'))));
    EXPECT_TRUE(themeNameProblem(QString(longestAllowed + 1, QLatin1Char('a'))));
    EXPECT_TRUE(themeNameProblem(QString(300, QLatin1Char('a'))));
}
