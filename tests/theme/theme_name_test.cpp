#include "test_support.h"
#include "theme/theme_name.h"

using namespace p95;

namespace {

// The message a refused name gets, or nothing when the name passes.
std::optional<QString> nameMessage(const QString& name) {
    const Status named = checkThemeName(name);
    if (named.ok())
        return std::nullopt;
    return named.error().reason;
}
} // namespace

TEST(ThemeName, AcceptsOrdinaryNames) {
    for (const char* name : {"Ocean", "My Theme", "The 60's USA", "Café", "a.b", "x!", "Console",
                             "COM10", "LPT", "Nully", " Lead"})
        EXPECT_FALSE(nameMessage(QString::fromUtf8(name))) << name;
}

TEST(ThemeName, RefusesWhatCannotBeAWindowsFileNameOrBeReadBack) {
    const char* refused[] = {"",      "a\\b",  "a/b",   "a:b",   "a*",       "a?",
                             "a\"b",  "a<b",   "a>b",   "a|b",   ".",        "..",
                             "a,b",   "a=b",   "x.cur", "X.ANI", "y.Wav",    "z.bmp",
                             "q.jpg", "w.ico", "s.scr", "Океан", "tab\there"};
    for (const char* name : refused)
        EXPECT_TRUE(nameMessage(QString::fromUtf8(name))) << name;
}

// Each rule says what it is, so the user knows what to change.
TEST(ThemeName, RefusalsSayWhichRuleTheNameBreaks) {
    const QString device = QStringLiteral(
        "cannot be used as a theme name: Windows keeps it for a device (CON, PRN, AUX, NUL, COM0 "
        "to COM9, LPT0 to LPT9, CONIN$, CONOUT$).");
    for (const char* name :
         {"CON", "prn", "Aux", "nul", "COM1", "com9", "LPT1", "Lpt9", "Nul.bak", "con .txt", "COM0",
          "lpt0", "COM¹", "Lpt²", "com³.txt", "CONIN$", "conout$", "ConIn$.log"})
        EXPECT_EQ(nameMessage(QString::fromUtf8(name)),
                  QLatin1Char('"') + QString::fromUtf8(name) + QStringLiteral("\" ") + device)
            << name;

    const QString trailing = QStringLiteral(
        "A theme name cannot end in a blank or a dot: Windows drops them, so the theme's files "
        "would no longer match its directory.");
    for (const char* name : {"Sea.", "Ocean ", "   ", "Wave. "})
        EXPECT_EQ(nameMessage(QString::fromLatin1(name)), trailing) << name;

    EXPECT_EQ(nameMessage(QString()), QStringLiteral("You must enter a name for your theme"));
    EXPECT_EQ(nameMessage(QStringLiteral("Ocean?")),
              QStringLiteral("A theme name cannot contain any of the characters \\ / : * ? \" < "
                             "> |"));
    EXPECT_EQ(nameMessage(QStringLiteral("Sea.wav")),
              QStringLiteral("A theme name cannot contain \".wav\", because the theme could not "
                             "be read back."));
}

// A look-alike letter (Greek Ω for Latin O) is named with its script, so the
// user sees why; a character of no one script by its code point.
TEST(ThemeName, ALetterOutsideWindowsWesternIsNamedWithItsScriptOrCodePoint) {
    const auto message = [](const QString& character, const char* described) {
        return QStringLiteral("The character \"%1\" (%2) is not in the Windows Western (1252) "
                              "character set, so it cannot be used in a Windows 95 file name.")
            .arg(character, QLatin1String(described));
    };
    EXPECT_EQ(nameMessage(QStringLiteral("\u03a9cean")),
              message(QStringLiteral("\u03a9"), "U+03A9, Greek"));
    EXPECT_EQ(nameMessage(QStringLiteral("Sea \u6d77")),
              message(QStringLiteral("\u6d77"), "U+6D77, Han"));
    // A surrogate pair is one character: the whole code point.
    EXPECT_EQ(nameMessage(QStringLiteral("Wave \U0001F30A")),
              message(QStringLiteral("\U0001F30A"), "U+1F30A"));
    const QString lone(QChar(0xD83C));
    EXPECT_EQ(nameMessage(lone + QStringLiteral("Wave")), message(lone, "U+D83C"));
}

TEST(ThemeName, ReservedDeviceNamesForThePackageCheckToo) {
    for (const char* name : {"COM0", "lpt³.theme", "CONOUT$", "conin$.bmp", "AUX .wav"})
        EXPECT_TRUE(isReservedDeviceName(QString::fromUtf8(name))) << name;
    for (const char* name : {"COM", "COM10", "COM\u2074", "CONIN", "CONIN$$", "xCON", "LPT1x"})
        EXPECT_FALSE(isReservedDeviceName(QString::fromUtf8(name))) << name;
    EXPECT_TRUE(fileNameProblem(QStringLiteral("COM\u00b9.txt")));
}

TEST(ThemeName, RefusesNamesWhoseLongestFilePathPassesTheWindowsLimit) {
    // themes root (30) + name + "\" + name + " Diagonal Resize 2 (SW-NE).cur" (30)
    const int longestAllowed = (259 - 30 - 1 - 30) / 2;
    EXPECT_FALSE(nameMessage(QString(longestAllowed, QLatin1Char('a'))));
    EXPECT_TRUE(nameMessage(QString(longestAllowed + 1, QLatin1Char('a'))));
    EXPECT_TRUE(nameMessage(QString(300, QLatin1Char('a'))));
}

// 80 euro signs pass the Windows rule (141 characters of path) but not the
// host's 255 bytes for one file name (240 bytes + " Diagonal Resize 2
// (SW-NE).cur").
TEST(ThemeName, RefusesNamesWhoseFileNamesPassTheHostsByteLimit) {
    const QString tooLong = QStringLiteral(
        "The theme name is too long: its file names would pass the limit of 255 bytes for one "
        "file name on this computer. Please choose a shorter name.");
    EXPECT_EQ(nameMessage(QString(80, QChar(0x20AC))), tooLong);
    // 225 bytes + 30 is exactly 255.
    EXPECT_FALSE(nameMessage(QString(75, QChar(0x20AC))));
    EXPECT_EQ(nameMessage(QString(76, QChar(0x20AC))), tooLong);
}

TEST(ThemeName, FileNameProblemsForOneComponent) {
    for (const char* ok : {"Ocean.theme", "Ocean Wallpaper.bmp", "a", "COM10.txt"})
        EXPECT_FALSE(fileNameProblem(QString::fromLatin1(ok))) << ok;
    for (const char* bad : {"", ".", "..", "a:b", "a\x01", "AUX.txt", "x.", "y ", "a*b"})
        EXPECT_TRUE(fileNameProblem(QString::fromLatin1(bad))) << bad;
    EXPECT_TRUE(fileNameProblem(QString(256, QLatin1Char('a'))));
    EXPECT_FALSE(fileNameProblem(QString(255, QLatin1Char('a'))));
}
