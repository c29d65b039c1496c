#include "platform/fake_picture_probe.h"
#include "test_support.h"
#include "theme/theme_reader.h"

using namespace p95;
using p95::test::FakePictureProbe;

namespace {

const QString kRoot = QStringLiteral("C:\\Program Files\\Plus!\\Themes\\");
const QString kMyComputerHeader = toQString(kMyComputerSection);
const QString kLoadProblem = toQString(kLoadProblemMessage);

ThemeReading read(const QByteArray& text, const PictureProbe& probe,
                  const ThemeDocument& doc = ThemeDocument()) {
    return readTheme(doc, text, probe);
}

ThemeReading read(const QByteArray& text, const ThemeDocument& doc = ThemeDocument()) {
    return readTheme(doc, text, FakePictureProbe::loadingEverything());
}

QByteArray soundSection(const char* eventPath, const QByteArray& value) {
    return QByteArray("[AppEvents\\Schemes\\Apps\\") + eventPath + "\\.Current]\r\n" + value +
           "\r\n";
}

// A document with something in every slot, to see what a reading clears.
ThemeDocument everySlotSet() {
    ThemeDocument doc;
    doc.name = QStringLiteral("Before");
    for (QString& p : doc.pointers)
        p = QStringLiteral("/old/p.cur");
    for (QString& s : doc.sounds)
        s = QStringLiteral("/old/s.wav");
    for (QString& i : doc.icons)
        i = QStringLiteral("/old/i");
    doc.jpegWallpaper = true;
    doc.tiled = true;
    doc.colours[3] = QStringLiteral("1 2 3");
    doc.iconMetrics = QStringLiteral("old icon metrics");
    doc.readMe = QStringLiteral("read me");
    doc.preset = 7;
    return doc;
}

} // namespace

TEST(ThemeReader, AFileWithNoRecordOfAThemeChangesNothing) {
    const ThemeDocument before = everySlotSet();
    const QByteArray notThemes[] = {
        "; nothing here\r\n[Control Panel\\Desktop]\r\nPattern=(None)\r\n", QByteArray(),
        QByteArray("\x00\x9f\xff\x01garbage\x02, \"x\"\r\n\x7f", 18),
        "Dear Ann,\nthe arrow and the wallpaper are in the post.\n"};
    for (const QByteArray& text : notThemes) {
        EXPECT_FALSE(isThemeText(text)) << text.toStdString();
        const ThemeReading r = read(text, before);
        EXPECT_FALSE(r.isTheme);
        EXPECT_EQ(r.document, before);
        EXPECT_TRUE(r.messages.isEmpty());
    }
    // One record any step looks for makes it a theme, even one that fails.
    for (const char* one : {"TileWallpaper=7", "Menu=1 2 3", "xx NonclientMetrics=", "No=x.bmp",
                            "[AppEvents\\Schemes\\Apps\\.Default\\Open\\.Current]"}) {
        EXPECT_TRUE(isThemeText(one)) << one;
        EXPECT_TRUE(read(one, before).isTheme) << one;
    }
}

TEST(ThemeReader, AThemeWithoutPathKeysClearsPathSlotsOnly) {
    const ThemeDocument before = everySlotSet();
    const ThemeReading r = read("[Control Panel\\Colors]\r\nMenu=1 1 1\r\n", before);
    ThemeDocument expected = before;
    for (QString& p : expected.pointers)
        p.clear();
    for (QString& s : expected.sounds)
        s.clear();
    for (QString& i : expected.icons)
        i.clear();
    expected.colours[9] = QStringLiteral("1 1 1");
    expected.colourMode = ColourMode::Own;
    EXPECT_TRUE(r.isTheme);
    EXPECT_EQ(r.document, expected);
    EXPECT_TRUE(r.messages.isEmpty());
    for (int i = 0; i < kIconsCount; ++i)
        EXPECT_EQ(r.iconsPreviews[i], Preview::None);
}

TEST(ThemeReader, ArrowIsTakenOnlyAtTheStartOfARecord) {
    FakePictureProbe probe({kRoot + QStringLiteral("x.cur")});
    const ThemeReading r = read("UpArrow=%ThemeDir%x.cur\r\n", probe);
    EXPECT_EQ(r.document.pointers[0], QString());
    EXPECT_EQ(r.document.pointers[13], kRoot + QStringLiteral("x.cur"));
    EXPECT_EQ(r.pointerPreviews[13], Preview::File);
    EXPECT_TRUE(r.messages.isEmpty());
}

TEST(ThemeReader, ArrowLoadsOrFailsWithTheFinalMessage) {
    const QByteArray line = "Arrow=%ThemeDir%MyTheme\\MyTheme Normal Select.cur\r\n";
    const QString path = kRoot + QStringLiteral("MyTheme\\MyTheme Normal Select.cur");
    const ThemeReading loaded = read(line, FakePictureProbe({path}));
    EXPECT_EQ(loaded.document.pointers[0], path);
    EXPECT_TRUE(loaded.messages.isEmpty());

    const ThemeReading missing = read(line, FakePictureProbe());
    EXPECT_EQ(missing.document.pointers[0], QString());
    EXPECT_EQ(missing.pointerPreviews[0], Preview::None);
    EXPECT_EQ(missing.messages, QStringList{kLoadProblem});
}

TEST(ThemeReader, ArrowAcceptsAnAnimatedPointer) {
    FakePictureProbe probe;
    const ThemeReading r = read("Arrow=%ThemeDir%T\\T Normal Select.ani\r\n", probe);
    EXPECT_EQ(r.document.pointers[0], kRoot + QStringLiteral("T\\T Normal Select.ani"));
    EXPECT_EQ(r.pointerPreviews[0], Preview::AnimatedPointer);
    EXPECT_TRUE(r.messages.isEmpty());
    EXPECT_TRUE(probe.asked().isEmpty()); // the placeholder is shown, the file is not loaded
}

TEST(ThemeReader, PointerPathsWithMacrosAndWithout) {
    FakePictureProbe probe({QStringLiteral("C:\\Cursors\\help.cur")});
    const ThemeReading r = read("[Control Panel\\Cursors]\r\n"
                                "Wait=%WinDir%Cursors\\hourglass.ani\r\n"
                                "Help=C:\\Cursors\\help.cur\r\n"
                                "No=%windir%Cursors\\no.ani\r\n",
                                probe);
    EXPECT_EQ(r.document.pointers[3], QStringLiteral("C:\\Windows\\Cursors\\hourglass.ani"));
    EXPECT_EQ(r.pointerPreviews[3], Preview::AnimatedPointer);
    EXPECT_EQ(r.document.pointers[1], QStringLiteral("C:\\Cursors\\help.cur"));
    EXPECT_EQ(r.pointerPreviews[1], Preview::File);
    // The macro test of pointers ignores letter case.
    EXPECT_EQ(r.document.pointers[7], QStringLiteral("C:\\Windows\\Cursors\\no.ani"));
    EXPECT_EQ(probe.asked(), QStringList{QStringLiteral("C:\\Cursors\\help.cur")});
    EXPECT_TRUE(r.messages.isEmpty());
}

TEST(ThemeReader, UpperCaseCursorExtensionIsNotFound) {
    const ThemeReading wait = read("Wait=%ThemeDir%T\\x.CUR\r\n");
    EXPECT_EQ(wait.document.pointers[3], QString());
    EXPECT_TRUE(wait.messages.isEmpty());

    const ThemeReading arrow = read("Arrow=%ThemeDir%T\\x.CUR\r\n");
    EXPECT_EQ(arrow.document.pointers[0], QString());
    EXPECT_EQ(arrow.messages, QStringList{kLoadProblem});
}

TEST(ThemeReader, LaterFailureKeepsTheEarlierPathAndPreview) {
    FakePictureProbe probe({QStringLiteral("C:\\a\\good.cur")});
    const ThemeReading r = read("Help=C:\\a\\good.cur\r\nHelp=C:\\a\\gone.cur\r\n", probe);
    EXPECT_EQ(r.document.pointers[1], QStringLiteral("C:\\a\\good.cur"));
    EXPECT_EQ(r.pointerPreviews[1], Preview::File);
    EXPECT_EQ(r.messages, QStringList{kLoadProblem});
}

TEST(ThemeReader, LastMatchWins) {
    const ThemeReading r = read("Help=C:\\a\\one.cur\r\nHelp=C:\\a\\two.cur\r\n");
    EXPECT_EQ(r.document.pointers[1], QStringLiteral("C:\\a\\two.cur"));
}

TEST(ThemeReader, MyComputerPathIsUpperCasedAndMustLoad) {
    const QByteArray text = kMyComputerHeader.toLatin1() +
                            "\r\nDefaultValue=%ThemeDir%MyTheme\\MyTheme My Computer.ico,0\r\n";
    const QString upper = kRoot + QStringLiteral("MYTHEME\\MYTHEME MY COMPUTER.ICO");
    FakePictureProbe probe({upper});
    const ThemeReading r = read(text, probe);
    EXPECT_EQ(r.document.icons[1], upper);
    EXPECT_EQ(r.iconsPreviews[1], Preview::File);
    EXPECT_EQ(probe.asked(), QStringList{upper});
    EXPECT_TRUE(r.messages.isEmpty());

    const ThemeReading missing = read(text, FakePictureProbe());
    EXPECT_EQ(missing.document.icons[1], QString());
    EXPECT_EQ(missing.messages, QStringList{kLoadProblem});
}

TEST(ThemeReader, MyComputerMatchesKeyMacroAndExtensionInAnyCase) {
    // é → É and ÿ → Ÿ; ß and µ have no upper case of their own in Windows-1252.
    const QByteArray text = kMyComputerHeader.toLatin1() +
                            "\r\ndefaultvalue=%themedir%Caf\xe9\\stra\xdf"
                            "e \xb5\xff.Ico\r\n" +
                            toQString(kNetworkSection).toLatin1() +
                            "\r\nDefaultValue=d:\\x\\net.ico,1\r\n";
    const ThemeReading r = read(text);
    EXPECT_EQ(r.document.icons[1],
              kRoot + QStringLiteral("CAF\u00c9\\STRA\u00dfE \u00b5\u0178.ICO"));
    EXPECT_EQ(r.document.icons[2], QStringLiteral("D:\\X\\NET.ICO")); // no macro: all upper case
}

TEST(ThemeReader, HeaderValueIsTheNextFieldAndTheScanGoesOnBehindIt) {
    // The second header is taken as the first one's value; the DefaultValue
    // after it belongs to no header any more.
    const QByteArray header = kMyComputerHeader.toLatin1();
    const ThemeReading r = read(header + "\r\n" + header + "\r\nDefaultValue=C:\\a.ico\r\n");
    EXPECT_EQ(r.document.icons[1], QString());
    EXPECT_TRUE(r.messages.isEmpty());
}

TEST(ThemeReader, HeaderInTheLastRecordIsAFailure) {
    const ThemeReading icon = read(kMyComputerHeader.toLatin1());
    EXPECT_EQ(icon.messages, QStringList{kLoadProblem});
    const ThemeReading sound = read("[AppEvents\\Schemes\\Apps\\.Default\\RingIn\\.Current]\r\n");
    EXPECT_EQ(sound.messages, (QStringList{QStringLiteral(".wav"), kLoadProblem}));
}

TEST(ThemeReader, RecycleBinIconsTakeTheirOwnKeysWithoutTheIconIndex) {
    const ThemeReading r = read(toQString(kRecycleBinSection).toLatin1() +
                                "\r\nfull=%ThemeDir%T\\T Recycle Bin Full.ico, 0\r\n"
                                "empty=%THEMEDIR%T\\T Recycle Bin Empty.ico, 0\r\n"
                                "DefaultValue=%ThemeDir%T\\other.ico, 0\r\n");
    EXPECT_EQ(r.document.icons[4], kRoot + QStringLiteral("T\\T Recycle Bin Full.ico"));
    EXPECT_EQ(r.document.icons[3], kRoot + QStringLiteral("T\\T Recycle Bin Empty.ico"));
    EXPECT_EQ(r.document.icons[1], QString());
}

TEST(ThemeReader, TileWallpaperSetsTheTileFlagAndLeavesTheWallpaperAlone) {
    ThemeDocument start;
    start.tiled = false;
    const ThemeReading r =
        read("Wallpaper=%ThemeDir%T\\T Wallpaper.bmp\r\nTileWallpaper=1\r\n", start);
    EXPECT_EQ(r.document.icons[0], kRoot + QStringLiteral("T\\T Wallpaper.bmp"));
    EXPECT_TRUE(r.document.tiled);
    EXPECT_TRUE(r.messages.isEmpty());

    // The last line with exactly "0" or "1" decides; other values leave the choice.
    const struct {
        const char* text;
        bool tiledBefore;
        bool tiledAfter;
    } cases[] = {{"TileWallpaper=0\r\n", true, false},
                 {"TileWallpaper=1\r\nTileWallpaper=0\r\n", true, false},
                 {"TileWallpaper=0\r\nTileWallpaper=2\r\n", true, false},
                 {"TileWallpaper=1 \r\n", false, false},
                 {"TileWallpaper=\r\nTileWallpaper=yes\r\n", true, true},
                 {" TileWallpaper=1\r\nMenu=1 2 3\r\n", false, false}};
    for (const auto& c : cases) {
        ThemeDocument doc;
        doc.tiled = c.tiledBefore;
        EXPECT_EQ(read(c.text, doc).document.tiled, c.tiledAfter) << c.text;
    }
}

TEST(ThemeReader, JpegWallpaperShowsThePlaceholderAndSetsTheFlag) {
    FakePictureProbe probe;
    const ThemeReading jpg = read("Wallpaper=%ThemeDir%T\\T Wallpaper.jpg\r\n", probe);
    EXPECT_EQ(jpg.document.icons[0], kRoot + QStringLiteral("T\\T Wallpaper.jpg"));
    EXPECT_TRUE(jpg.document.jpegWallpaper);
    EXPECT_EQ(jpg.iconsPreviews[0], Preview::JpegWallpaper);
    EXPECT_TRUE(probe.asked().isEmpty());
    EXPECT_TRUE(jpg.messages.isEmpty());

    const ThemeReading bmp = read("Wallpaper=C:\\w.bmp\r\n", jpg.document);
    EXPECT_FALSE(bmp.document.jpegWallpaper);
    EXPECT_EQ(bmp.iconsPreviews[0], Preview::File);
}

TEST(ThemeReader, BitmapWallpaperThatFailsLeavesTheJpegFlag) {
    ThemeDocument start;
    start.jpegWallpaper = true;
    const ThemeReading r = read("Wallpaper=C:\\gone.bmp\r\n", FakePictureProbe(), start);
    EXPECT_TRUE(r.document.jpegWallpaper);
    EXPECT_EQ(r.document.icons[0], QString());
    EXPECT_EQ(r.messages, QStringList{kLoadProblem});
}

TEST(ThemeReader, KeyInsideALongerKeyIsReadAsIfAtTheStart) {
    // "XWallpaper=" holds "Wallpaper="; the value is cut as if the key stood
    // first, so the path is garbled and does not load.
    FakePictureProbe probe;
    const ThemeReading r = read("XWallpaper=%ThemeDir%w.bmp\r\n", probe);
    EXPECT_EQ(probe.asked(), QStringList{QStringLiteral("C:\\=%ThemeDir%w.bmp")});
    EXPECT_EQ(r.messages, QStringList{kLoadProblem});
}

TEST(ThemeReader, ScreenSaverExtensionInAnyCaseFailsSilently) {
    FakePictureProbe probe;
    const ThemeReading r = read("SCRNSAVE.EXE=%Windir%System\\Dangerous Creatures.SCR\r\n", probe);
    EXPECT_EQ(r.document.icons[5], QStringLiteral("C:\\Windows\\System\\Dangerous Creatures.scr"));
    EXPECT_EQ(r.iconsPreviews[5], Preview::None);
    EXPECT_TRUE(probe.asked().isEmpty());

    const ThemeReading bad = read("SCRNSAVE.EXE=\r\nSCRNSAVE.EXE=c:\\x.exe\r\n");
    EXPECT_EQ(bad.document.icons[5], QString());
    EXPECT_TRUE(bad.messages.isEmpty());
}

TEST(ThemeReader, SoundValues) {
    const QByteArray text =
        soundSection(".Default\\.Default", "DefaultValue=%ThemeDir%T\\T Default Sound.wav") +
        soundSection(".Default\\SystemStart", "DefaultValue=%WinDir%media\\tada.wav") +
        soundSection(".Default\\RingIn", "DefaultValue=%THEMEDIR%x.wav") +
        soundSection(".Default\\Ringout", "DefaultValue=") +
        soundSection(".Default\\SystemHand", "DefaultValue=chord.wav, 2") +
        soundSection(".Default\\Close", "");
    FakePictureProbe probe;
    const ThemeReading r = read(text, probe);
    EXPECT_EQ(r.document.sounds[4], kRoot + QStringLiteral("T\\T Default Sound.wav"));
    EXPECT_EQ(r.document.sounds[19], QStringLiteral("C:\\Windows\\media\\tada.wav"));
    // Not expanded, and like every path without a drive, on drive C.
    EXPECT_EQ(r.document.sounds[17], QStringLiteral("C:\\%THEMEDIR%x.wav"));
    EXPECT_EQ(r.document.sounds[18], QString()); // empty value: silent
    EXPECT_EQ(r.document.sounds[2], QStringLiteral("C:\\chord.wav"));
    EXPECT_EQ(r.document.sounds[1], QString());
    EXPECT_TRUE(r.messages.isEmpty());
    EXPECT_TRUE(probe.asked().isEmpty()); // sounds are taken without looking at the disk
}

TEST(ThemeReader, SoundFailuresShowThePathAsFormedOncePerSlotInStepOrder) {
    // Upper-case .WAV: nothing formed yet. A backslash behind the extension
    // makes the name's length negative after the directory was formed.
    const QByteArray text =
        soundSection(".Default\\SystemAsterisk", "DefaultValue=%ThemeDir%T\\x.WAV") +
        soundSection(".Default\\Maximize", "DefaultValue=C:\\a.wav\\zzzzzzzzzzzzzz") +
        soundSection(".Default\\SystemAsterisk", "DefaultValue=also.WAV") +
        soundSection(".Default\\Maximize", "DefaultValue=C:\\ok\\max.wav");
    const ThemeReading r = read(text);
    // Maximize (step 23) comes before Asterisk (step 33).
    EXPECT_EQ(r.messages, (QStringList{QStringLiteral("C:\\a.wav\\.wav"), QStringLiteral(".wav"),
                                       kLoadProblem}));
    EXPECT_EQ(r.document.sounds[8], QStringLiteral("C:\\ok\\max.wav"));
    EXPECT_EQ(r.document.sounds[0], QString());
}

TEST(ThemeReader, ThousandsOfBrokenSoundSectionsGiveOneMessagePerSlot) {
    QByteArray text;
    for (int i = 0; i < 5000; ++i) {
        text += soundSection(".Default\\SystemExit", "DefaultValue=x.WAV");
        text += soundSection(".Default\\Open", "DefaultValue=y.WAV");
    }
    const ThemeReading r = read(text);
    EXPECT_EQ(r.messages,
              (QStringList{QStringLiteral(".wav"), QStringLiteral(".wav"), kLoadProblem}));
}

TEST(ThemeReader, ColourLinesAreTakenWholeFromLinesThatBeginWithTheKey) {
    const ThemeReading r = read("[Control Panel\\Colors]\r\n"
                                "ActiveTitle=1 1 1\r\n"
                                "InactiveTitle=0 0 128\r\n"
                                "WindowText=9 9 9\r\n"
                                "Menu=192 192 192 ; grey, light\r\n"
                                " Background=7 7 7\r\n"
                                "ActiveTitle=2 2 2\r\n"
                                "IconMetrics=1 2 3\r\n"
                                "NonclientMetrics=4,5\r\n");
    ThemeDocument defaults;
    EXPECT_EQ(r.document.colours[0], QStringLiteral("2 2 2"));
    EXPECT_EQ(r.document.colours[8], QStringLiteral("0 0 128"));
    EXPECT_EQ(r.document.colours[6], QStringLiteral("9 9 9"));
    EXPECT_EQ(r.document.colours[5], defaults.colours[5]);
    EXPECT_EQ(r.document.colours[9], QStringLiteral("192 192 192 ; grey, light"));
    EXPECT_EQ(r.document.colours[1], defaults.colours[1]);
    EXPECT_EQ(r.document.iconMetrics, QStringLiteral("1 2 3"));
    EXPECT_EQ(r.document.nonclientMetrics, QStringLiteral("4,5"));
    EXPECT_EQ(r.document.colourMode, ColourMode::Own);
}

TEST(ThemeReader, QuotedFieldsMayHoldCommas) {
    const ThemeReading r = read("\"Help=C:\\a,b\\h.cur\" dropped,0\r\nNo=C:\\a,b\\n.cur\r\n");
    EXPECT_EQ(r.document.pointers[1], QStringLiteral("C:\\a,b\\h.cur"));
    EXPECT_EQ(r.document.pointers[7], QString()); // the comma cut the unquoted value
    EXPECT_TRUE(r.messages.isEmpty());
}

TEST(ThemeReader, LineEndsCrLfBareLfAndBareCrReadAlike) {
    const QByteArray lf = "[Control Panel\\Cursors]\nArrow=C:\\a.cur\nHelp=C:\\h.ani\n" +
                          kMyComputerHeader.toLatin1() + "\nDefaultValue=C:\\m.ico,0\n" +
                          "[AppEvents\\Schemes\\Apps\\.Default\\Open\\.Current]\n"
                          "DefaultValue=C:\\o.wav\nMenu=1 2 3\n";
    const ThemeReading fromLf = read(lf);
    EXPECT_EQ(fromLf.document.pointers[0], QStringLiteral("C:\\a.cur"));
    EXPECT_EQ(fromLf.document.icons[1], QStringLiteral("C:\\M.ICO"));
    EXPECT_EQ(fromLf.document.sounds[12], QStringLiteral("C:\\o.wav"));
    EXPECT_EQ(fromLf.document.colours[9], QStringLiteral("1 2 3"));

    QByteArray crlf = lf;
    crlf.replace("\n", "\r\n");
    QByteArray cr = lf;
    cr.replace('\n', '\r');
    for (const QByteArray& text : {crlf, cr}) {
        const ThemeReading other = read(text);
        EXPECT_EQ(other.document, fromLf.document);
        EXPECT_EQ(other.pointerPreviews, fromLf.pointerPreviews);
        EXPECT_EQ(other.messages, fromLf.messages);
    }
}

TEST(ThemeReader, ThemeNameFromTheFilePath) {
    EXPECT_EQ(
        themeNameFromPath(QStringLiteral("C:\\Program Files\\Plus!\\Themes\\Ocean\\Ocean.theme")),
        QStringLiteral("Ocean"));
    EXPECT_EQ(themeNameFromPath(QStringLiteral("/home/ann/My Sea.theme")),
              QStringLiteral("My Sea"));
    EXPECT_EQ(themeNameFromPath(QStringLiteral("Ocean.theme")), QStringLiteral("Ocean"));
    EXPECT_EQ(themeNameFromPath(QStringLiteral("C:\\x\\Ocean.THEME")), QStringLiteral("Ocean"));
    EXPECT_EQ(themeNameFromPath(QStringLiteral("abc")), QString());
}

TEST(ThemeReader, UnreadableFileMessageNamesTheFileAndTheReason) {
    const QString text = unreadableThemeMessage(
        QStringLiteral("/x/Sea.theme"),
        Error{QStringLiteral("Opening the file"), {}, QStringLiteral("file not found")});
    EXPECT_TRUE(text.contains(QStringLiteral("/x/Sea.theme")));
    EXPECT_TRUE(text.contains(QStringLiteral("file not found")));
}
