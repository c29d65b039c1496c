// The preview pixel by pixel against Windows 95's drawing rules, written out
// by hand here: which colour role is drawn where (bevels, caption buttons and
// their glyphs, the scroll track, menus, tool tip, message box), text in the
// bitmap face, each font of the metric record where it is drawn, the
// wallpaper's share of the screen at any picture size, and windows that keep
// their contents inside them whatever the metrics.

#include "preview_test_support.h"

#include "colour/colour_table.h"
#include "colour/colour_text.h"
#include "preview/metrics.h"
#include "preview/preview_renderer.h"

#include <QtEndian>

namespace p95::test {
namespace {

// 25 colours, all different, none black or white.
QRgb role(const char* key) {
    for (int i = 0; i < kColourCount; ++i)
        if (kColourSlots[i].key == key)
            return qRgb(20 + 9 * i, 200 - 5 * i, 60 + 7 * i);
    ADD_FAILURE() << "no colour " << key;
    return 0;
}

ThemeDocument distinctColours() {
    ThemeDocument doc;
    doc.colourMode = ColourMode::Own;
    for (int i = 0; i < kColourCount; ++i) {
        const QRgb c = role(std::string(kColourSlots[i].key).c_str());
        doc.colours[i] = colourText(Rgb{qRed(c), qGreen(c), qBlue(c)});
    }
    return doc;
}

void setColour(ThemeDocument& doc, const char* key, QRgb c) {
    for (int i = 0; i < kColourCount; ++i)
        if (kColourSlots[i].key == key)
            doc.colours[i] = colourText(Rgb{qRed(c), qGreen(c), qBlue(c)});
}

// The non-client record as bytes, to be changed field by field.
struct Record {
    QByteArray bytes;
    Record() {
        for (const QString& b : toQString(kDefaultNonclientMetrics).split(u' '))
            bytes.append(char(b.toInt()));
    }
    Record& set(int offset, qint32 value) {
        qToLittleEndian(value, bytes.data() + offset);
        return *this;
    }
    Record& font(int offset, qint32 height, qint32 weight, bool italic, const char* face) {
        set(offset, height).set(offset + 16, weight);
        bytes[offset + 20] = italic ? 1 : 0;
        QByteArray name(face);
        name.resize(32, '\0');
        bytes.replace(offset + 28, 32, name);
        return *this;
    }
    QString text() const {
        QStringList out;
        for (const char b : bytes)
            out << QString::number(quint8(b));
        return out.join(u' ');
    }
};
constexpr int kCaptionFont = 24, kSmallCaptionFont = 92, kMenuFont = 160, kStatusFont = 220,
              kMessageFont = 280;

class PreviewGolden : public DriveFixture {
protected:
    void SetUp() override { ensureApplication(); }
    ScreenRendering screen(const ThemeDocument& doc, bool desktopAlone = false,
                           QSize size = QSize(800, 600)) {
        PreviewPictures pictures;
        return renderScreen(doc, PreviewOptions{size, desktopAlone}, pictures);
    }
};

// Compares a picture written as text with the image at `at`; each letter
// stands for the colour the legend gives it.
void expectPicture(const QImage& image, QPoint at, const QStringList& rows,
                   const std::map<QChar, QRgb>& legend) {
    for (int y = 0; y < rows.size(); ++y)
        for (int x = 0; x < rows[y].size(); ++x) {
            const QRgb want = legend.at(rows[y][x]);
            EXPECT_EQ(image.pixel(at + QPoint(x, y)), want)
                << "at " << x << "," << y << " (" << rows[y][x].toLatin1() << ")";
        }
}

// The bevel rings of r from the outside in, each (top-left, bottom-right):
// Windows draws a ring's top row and left column but for the far corners in
// the first colour, the bottom row and right column in the second.
// The bevel rings of r from the outside in, each (top-left, bottom-right):
// Windows draws a ring's top row and left column but for the far corners in
// the first colour, the bottom row and right column in the second. Pixels
// under `covered` (a window in front) are not looked at.
void expectBevel(const QImage& image, QRect r, const std::vector<std::pair<QRgb, QRgb>>& rings,
                 const QRect& covered = QRect()) {
    const auto expect = [&](int x, int y, QRgb want) {
        if (!covered.contains(x, y)) {
            EXPECT_EQ(image.pixel(x, y), want) << "at " << x << "," << y;
        }
    };
    for (const auto& [light, dark] : rings) {
        for (int x = r.left(); x <= r.right(); ++x) {
            expect(x, r.top(), x == r.right() ? dark : light);
            expect(x, r.bottom(), dark);
        }
        for (int y = r.top(); y <= r.bottom(); ++y) {
            expect(r.left(), y, y == r.bottom() ? dark : light);
            expect(r.right(), y, dark);
        }
        r.adjust(1, 1, -1, -1);
    }
}

qsizetype countIn(const QImage& image, const QRect& r, QRgb c) {
    return countPixels(image.copy(r), c);
}

// The rows of r holding colour c: the ink height of a text.
int inkRows(const QImage& image, const QRect& r, QRgb c) {
    int first = -1, last = -1;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (image.pixel(x, y) == c) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
    return first < 0 ? 0 : last - first + 1;
}

TEST_F(PreviewGolden, TheDefaultPushButtonIsRingedInWindowFrameWithHighlightOutermost) {
    const ScreenRendering s = screen(distinctColours());
    const QRect ok = s.layout.okButton;
    ASSERT_EQ(ok.size(), QSize(75, 23));
    expectBevel(s.image, ok,
                {{role("WindowFrame"), role("WindowFrame")},
                 {role("ButtonHilight"), role("ButtonDkShadow")},
                 {role("ButtonLight"), role("ButtonShadow")}});
    const QRect face = ok.adjusted(3, 3, -3, -3);
    for (const QPoint corner : {face.topLeft(), face.topRight(), face.bottomLeft()})
        EXPECT_EQ(s.image.pixel(corner), role("ButtonFace"));
    EXPECT_GT(countIn(s.image, face, role("ButtonText")), 20); // "OK"
}

TEST_F(PreviewGolden, CaptionButtonsAndTheirGlyphsAtTwoCaptionHeights) {
    const std::map<QChar, QRgb> legend{
        {u'H', role("ButtonHilight")},  {u'L', role("ButtonLight")}, {u'S', role("ButtonShadow")},
        {u'D', role("ButtonDkShadow")}, {u'.', role("ButtonFace")},  {u'X', role("ButtonText")}};
    // The default caption (18): a 16x14 close box, its X 8 by 7 in strokes
    // of two pixels.
    const QStringList close16 = {"HHHHHHHHHHHHHHHD", "HLLLLLLLLLLLLLSD", "HL............SD",
                                 "HL..XX....XX..SD", "HL...XX..XX...SD", "HL....XXXX....SD",
                                 "HL.....XX.....SD", "HL....XXXX....SD", "HL...XX..XX...SD",
                                 "HL..XX....XX..SD", "HL............SD", "HL............SD",
                                 "HSSSSSSSSSSSSSSD", "DDDDDDDDDDDDDDDD"};
    ScreenRendering s = screen(distinctColours());
    ASSERT_EQ(s.layout.activeClose.size(), QSize(16, 14));
    expectPicture(s.image, s.layout.activeClose.topLeft(), close16, legend);

    // A caption of 32: a 30x28 box, the glyph at twice the size, centred.
    ThemeDocument doc = distinctColours();
    doc.nonclientMetrics = Record().set(16, 32).set(20, 32).text();
    s = screen(doc);
    const QRect box = s.layout.activeClose;
    ASSERT_EQ(box.size(), QSize(30, 28));
    QStringList close30(28, QString(30, u'.'));
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < 30; ++x) {
            QChar c = u'.';
            if (x == 29 || y == 27)
                c = u'D';
            else if (x == 0 || y == 0)
                c = u'H';
            else if (x == 28 || y == 26)
                c = u'S';
            else if (x == 1 || y == 1)
                c = u'L';
            close30[y][x] = c;
        }
    const char* x8[] = {"XX....XX", ".XX..XX.", "..XXXX..", "...XX...",
                        "..XXXX..", ".XX..XX.", "XX....XX"};
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 8; ++col)
            if (x8[row][col] == 'X')
                for (int d = 0; d < 4; ++d)
                    close30[6 + 2 * row + d / 2][7 + 2 * col + d % 2] = u'X';
    expectPicture(s.image, box.topLeft(), close30, legend);

    // The maximise box (9x9, two rows thick at the top) and the minimise bar
    // (6x2) at the default size, each in its 16x14 button.
    s = screen(distinctColours());
    const QRect maximise = s.layout.activeClose.translated(-18, 0);
    const QRect minimise = maximise.translated(-16, 0);
    for (int y = 2; y <= 11; ++y)
        for (int x = 2; x <= 13; ++x) {
            const bool inBox =
                x >= 3 && x <= 11 && y >= 2 && y <= 10 && (y <= 3 || y == 10 || x == 3 || x == 11);
            const bool inBar = x >= 4 && x <= 9 && y >= 9 && y <= 10;
            EXPECT_EQ(s.image.pixel(maximise.topLeft() + QPoint(x, y)),
                      inBox ? role("ButtonText") : role("ButtonFace"))
                << "maximise " << x << "," << y;
            EXPECT_EQ(s.image.pixel(minimise.topLeft() + QPoint(x, y)),
                      inBar ? role("ButtonText") : role("ButtonFace"))
                << "minimise " << x << "," << y;
        }
}

TEST_F(PreviewGolden, TheScrollTrackIsACheckerboardWhenHighlightIsTheWindowColour) {
    ThemeDocument doc = distinctColours();
    const QRgb same = qRgb(250, 250, 240);
    setColour(doc, "ButtonHilight", same);
    setColour(doc, "Window", same);
    ScreenRendering s = screen(doc);
    const QRect bar = s.layout.scrollBar;
    ASSERT_EQ(bar.width(), 13);
    // Between the up arrow (13 high) and the thumb, a quarter down the track.
    const int trackTop = bar.top() + 13;
    const int thumbTop = trackTop + (bar.height() - 26) / 4;
    ASSERT_GT(thumbTop - trackTop, 10);
    for (int y = trackTop; y < thumbTop; ++y)
        for (int x = bar.left(); x <= bar.right(); ++x)
            EXPECT_EQ(s.image.pixel(x, y), (x + y) % 2 ? same : role("ButtonFace"))
                << x << "," << y;

    // Otherwise the Scrollbar colour; the up arrow is raised with Button
    // Light outermost, its arrow three rows of 1, 3 and 5 pixels.
    s = screen(distinctColours());
    for (int x = bar.left(); x <= bar.right(); ++x)
        EXPECT_EQ(s.image.pixel(x, trackTop + 2), role("Scrollbar"));
    const std::map<QChar, QRgb> legend{{u'L', role("ButtonLight")},  {u'H', role("ButtonHilight")},
                                       {u'S', role("ButtonShadow")}, {u'D', role("ButtonDkShadow")},
                                       {u'.', role("ButtonFace")},   {u'X', role("ButtonText")}};
    expectPicture(s.image, bar.topLeft(),
                  {"LLLLLLLLLLLLD", "LHHHHHHHHHHSD", "LH.........SD", "LH.........SD",
                   "LH.........SD", "LH....X....SD", "LH...XXX...SD", "LH..XXXXX..SD",
                   "LH.........SD", "LH.........SD", "LH.........SD", "LSSSSSSSSSSSD",
                   "DDDDDDDDDDDDD"},
                  legend);
}

// Each letter of the bitmap face's simulated bold is one pixel wider, so the
// letters stay apart: the columns holding title text form one run a letter.
TEST_F(PreviewGolden, BoldActiveWindowInMsSansSerifKeepsItsLettersApart) {
    if (!previewFont(FontRecord{-11, 700, false, QStringLiteral("MS Sans Serif")}).simulatedBold)
        GTEST_SKIP() << "fonts-wine's MS Sans Serif is not installed";
    const ScreenRendering s = screen(distinctColours());
    const QRect caption = s.layout.activeCaption;
    int runs = 0;
    bool inRun = false;
    int first = -1, last = -1;
    for (int x = caption.left(); x < s.layout.activeClose.left() - 36; ++x) {
        const bool ink =
            countIn(s.image, QRect(x, caption.top(), 1, caption.height()), role("TitleText")) > 0;
        runs += ink && !inRun ? 1 : 0;
        inRun = ink;
        if (ink) {
            first = first < 0 ? x : first;
            last = x;
        }
    }
    EXPECT_EQ(runs, 12); // "Active Window": twelve letters
    // Two pixels in from the caption's left edge.
    EXPECT_EQ(first, caption.left() + 2);
    // Each of the 13 advances one wider than the regular face's.
    const QFontMetrics regular(previewFont(FontRecord{-11, 400, false, {}}).font);
    EXPECT_GE(last - first + 1, regular.horizontalAdvance(QStringLiteral("Active Window")) + 12);

    // Italic slants the bitmap face: the top rows of the text move right.
    ThemeDocument doc = distinctColours();
    doc.nonclientMetrics = Record().font(kCaptionFont, -11, 700, true, "MS Sans Serif").text();
    const ScreenRendering italic = screen(doc);
    const auto leftmostInk = [&](const QImage& image) {
        for (int x = caption.left(); x < caption.right(); ++x)
            if (countIn(image, QRect(x, caption.top(), 1, caption.height() / 2),
                        role("TitleText")) > 0)
                return x;
        return -1;
    };
    EXPECT_GT(leftmostInk(italic.image), leftmostInk(s.image) + 1);
}

// A title too wide for its bar ends in "...": its last ink is a dot at the
// foot of the letters, not a letter cut at the edge.
TEST_F(PreviewGolden, ATitleTooWideForItsBarEndsInThreeDots) {
    ThemeDocument doc = distinctColours();
    doc.nonclientMetrics = Record().set(20, 80).font(kCaptionFont, -60, 400, false, "Arial").text();
    const ScreenRendering s = screen(doc);
    const QRect caption = s.layout.activeCaption;
    const int textRight = s.layout.activeClose.left() - 2 * 16 - 2 - 2; // left of minimise
    std::vector<std::pair<int, int>> columns; // the ink's top and bottom row, by column
    for (int x = caption.left(); x < textRight; ++x) {
        int top = -1, bottom = -1;
        for (int y = caption.top(); y <= caption.bottom(); ++y)
            if (s.image.pixel(x, y) == role("TitleText")) {
                top = top < 0 ? y : top;
                bottom = y;
            }
        columns.emplace_back(top, bottom);
    }
    int letters = 0, last = -1;
    for (int x = 0; x < int(columns.size()); ++x)
        if (columns[std::size_t(x)].first >= 0) {
            letters = std::max(letters,
                               columns[std::size_t(x)].second - columns[std::size_t(x)].first + 1);
            last = x;
        }
    ASSERT_GE(letters, 35);
    ASSERT_GE(last, 0);
    EXPECT_LT(last, int(columns.size()) - 1); // not cut at the edge
    const auto [dotTop, dotBottom] = columns[std::size_t(last)];
    EXPECT_LE(dotBottom - dotTop + 1, 10);
}

TEST_F(PreviewGolden, EveryColourRoleIsDrawnWhereWindowsDrawsIt) {
    const ScreenRendering s = screen(distinctColours());
    const QImage& image = s.image;
    const PreviewLayout& at = s.layout;
    // The active window's frame: raised with Button Light outermost, then the
    // sizing border at width 1 in Active Border, a line of face, the caption.
    expectBevel(image, at.activeWindow,
                {{role("ButtonLight"), role("ButtonDkShadow")},
                 {role("ButtonHilight"), role("ButtonShadow")},
                 {role("ActiveBorder"), role("ActiveBorder")},
                 {role("ButtonFace"), role("ButtonFace")}},
                at.messageBox);
    EXPECT_EQ(image.pixel(at.activeCaption.topLeft()), role("ActiveTitle"));
    EXPECT_EQ(image.pixel(at.inactiveWindow.topLeft() + QPoint(2, 2)), role("InactiveBorder"));
    const QRect inactiveCaption(at.inactiveWindow.adjusted(4, 4, -4, 0).topLeft(), QSize(120, 18));
    EXPECT_GT(countIn(image, inactiveCaption, role("InactiveTitleText")), 30);
    EXPECT_GT(countIn(image, at.activeCaption, role("TitleText")), 30);

    // The menu bar: normal text, the disabled item embossed (Gray Text with
    // Button Highlight one pixel down and right), the selected item.
    EXPECT_EQ(image.pixel(at.menuBar.topLeft()), role("Menu"));
    EXPECT_GT(countIn(image, at.menuNormal, role("MenuText")), 20);
    int embossed = 0, gray = 0;
    for (int y = at.menuDisabled.top(); y < at.menuDisabled.bottom(); ++y)
        for (int x = at.menuDisabled.left(); x < at.menuDisabled.right(); ++x)
            if (image.pixel(x, y) == role("GrayText")) {
                ++gray;
                const QRgb below = image.pixel(x + 1, y + 1);
                embossed += below == role("ButtonHilight") || below == role("GrayText") ? 1 : 0;
            }
    EXPECT_GT(gray, 20);
    EXPECT_EQ(embossed, gray);
    EXPECT_GT(countIn(image, at.menuDisabled, role("ButtonHilight")), 10);
    EXPECT_EQ(countIn(image, at.menuDisabled, role("MenuText")), 0);
    EXPECT_EQ(image.pixel(at.menuSelected.topLeft()), role("Hilight"));
    EXPECT_GT(countIn(image, at.menuSelected, role("HilightText")), 20);

    // The client: Window with Window Text, inside a sunken edge.
    EXPECT_EQ(image.pixel(at.client.topLeft()), role("Window"));
    EXPECT_GT(countIn(image, at.client, role("WindowText")), 20);
    expectBevel(image, at.client.adjusted(-2, -2, 2, 2),
                {{role("ButtonShadow"), role("ButtonHilight")},
                 {role("ButtonDkShadow"), role("ButtonLight")}},
                at.messageBox);

    // The tool tip: Info Window with Info Text in a Window Frame line.
    expectBevel(image, at.toolTip, {{role("WindowFrame"), role("WindowFrame")}});
    EXPECT_EQ(image.pixel(at.toolTip.topLeft() + QPoint(1, 1)), role("InfoWindow"));
    EXPECT_GT(countIn(image, at.toolTip, role("InfoText")), 20);

    // The message box: an active caption over a button-face body with Window
    // Text; the application workspace behind the active window.
    const QRect body = at.messageBox.adjusted(4, 4 + 19, -4, -4);
    EXPECT_EQ(image.pixel(at.messageBox.topLeft() + QPoint(4, 4)), role("ActiveTitle"));
    EXPECT_EQ(image.pixel(body.topLeft()), role("ButtonFace"));
    EXPECT_GT(countIn(image, body, role("WindowText")), 20);
    EXPECT_GT(countPixels(image, role("AppWorkspace")), 1000);
}

TEST_F(PreviewGolden, EachFontOfTheMetricsRecordIsReadAndDrawnWhereItBelongs) {
    // Five fonts differing in face, height, weight and italic.
    Record record;
    record.font(kCaptionFont, -10, 700, false, "Arial")
        .font(kSmallCaptionFont, -9, 400, true, "Courier New")
        .font(kMenuFont, 20, 400, false, "Times New Roman") // a cell height
        .font(kStatusFont, -10, 400, true, "Comic Sans MS")
        .font(kMessageFont, -22, 700, false, "Courier New");
    const NonclientMetricsRecord parsed = parseNonclientMetrics(record.text());
    const struct {
        FontRecord font;
        int height, weight;
        bool italic;
        const char* face;
    } fonts[] = {{parsed.captionFont, -10, 700, false, "Arial"},
                 {parsed.smCaptionFont, -9, 400, true, "Courier New"},
                 {parsed.menuFont, 20, 400, false, "Times New Roman"},
                 {parsed.statusFont, -10, 400, true, "Comic Sans MS"},
                 {parsed.messageFont, -22, 700, false, "Courier New"}};
    for (const auto& f : fonts) {
        EXPECT_EQ(f.font.height, f.height) << f.face;
        EXPECT_EQ(f.font.weight, f.weight) << f.face;
        EXPECT_EQ(f.font.italic, f.italic) << f.face;
        EXPECT_EQ(f.font.face, QLatin1String(f.face));
    }
    // The host's substitutes, not the fallback.
    EXPECT_EQ(QFontInfo(previewFont(parsed.captionFont).font).family(),
              QStringLiteral("Liberation Sans"));
    EXPECT_EQ(QFontInfo(previewFont(parsed.statusFont).font).family(),
              QStringLiteral("Comic Neue"));

    ThemeDocument doc = distinctColours();
    doc.nonclientMetrics = record.text();
    const ScreenRendering big = screen(doc);
    // The message font (22 pixels) in the message box, the status font (10)
    // in the tool tip: exchanged, the heights would be too.
    const int message = inkRows(big.image, big.layout.messageBox, role("WindowText"));
    const int tip = inkRows(big.image, big.layout.toolTip, role("InfoText"));
    EXPECT_GE(message, 18);
    EXPECT_LE(tip, 12);
    EXPECT_GT(tip, 5);
    // The menu bar grows to its font.
    EXPECT_GE(big.layout.menuBar.height(),
              QFontMetrics(previewFont(parsed.menuFont).font).height());

    // A positive height is the cell height: smaller letters than the same
    // number as character height.
    doc.nonclientMetrics = record.font(kMenuFont, -20, 400, false, "Times New Roman").text();
    const ScreenRendering character = screen(doc);
    const int cellInk = inkRows(big.image, big.layout.menuNormal, role("MenuText"));
    const int characterInk =
        inkRows(character.image, character.layout.menuNormal, role("MenuText"));
    EXPECT_GT(characterInk, cellInk);
    // The caption font (10 pixels) in the title bar, smaller than the menu's.
    const int captionInk = inkRows(big.image, big.layout.activeCaption, role("TitleText"));
    EXPECT_GT(captionInk, 5);
    EXPECT_LT(captionInk, cellInk);
}

// A 640x480 wallpaper covers the whole of a 640x480 screen and the middle
// 80 % of an 800x600 one, at every picture size, to a pixel of the scaled
// picture.
TEST_F(PreviewGolden, ACentredWallpaperCoversTheSameShareOfTheScreenAtEverySize) {
    const QRgb paper = qRgb(201, 13, 77);
    ThemeDocument doc = distinctColours();
    const QString path = tmp() + QStringLiteral("/paper.bmp");
    writeFile(path, flatPicture(paper, QSize(640, 480), "bmp"));
    doc.icons[kWallpaperIndex] = path;
    for (const QSize screenSize : {QSize(640, 480), QSize(800, 600)}) {
        for (const QSize size : {QSize(320, 240), QSize(800, 600), QSize(1600, 1200)}) {
            SCOPED_TRACE(QStringLiteral("screen %1x%2, picture %3x%4")
                             .arg(screenSize.width())
                             .arg(screenSize.height())
                             .arg(size.width())
                             .arg(size.height())
                             .toStdString());
            PreviewPictures pictures;
            const QImage image =
                renderPreview(doc, size, pictures, PreviewOptions{screenSize, true}).image;
            // The screen keeps its 4:3 shape above the 44-pixel strip.
            const int room = size.height() - std::min(44, size.height() / 3);
            const double scale = std::min(double(size.width()) / screenSize.width(),
                                          double(room) / screenSize.height());
            const double width = screenSize.width() * scale, height = screenSize.height() * scale;
            const double left = (size.width() - width) / 2, top = (room - height) / 2;
            const double share = 640.0 / screenSize.width();
            const QRectF expected(left + width * (1 - share) / 2, top + height * (1 - share) / 2,
                                  width * share, height * share);
            // A pixel the picture shrank smoothly counts when it is more
            // wallpaper than desktop.
            const QRgb desktop = role("Background");
            const auto distance = [](QRgb a, QRgb b) {
                return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                       std::abs(qBlue(a) - qBlue(b));
            };
            // Measured through the middle of the screen, clear of the icons;
            // on the screen only, not in the margins and the strip.
            const auto isPaper = [&](int x, int y) {
                return distance(image.pixel(x, y), paper) < distance(image.pixel(x, y), desktop);
            };
            const int midX = qRound(left + width / 2), midY = qRound(top + height / 2);
            int x0 = size.width(), y0 = size.height(), x1 = -1, y1 = -1;
            for (int x = int(std::ceil(left)); x < int(left + width); ++x)
                if (isPaper(x, midY))
                    x0 = std::min(x0, x), x1 = std::max(x1, x);
            for (int y = int(std::ceil(top)); y < int(top + height); ++y)
                if (isPaper(midX, y))
                    y0 = std::min(y0, y), y1 = std::max(y1, y);
            EXPECT_NEAR(x0, expected.left(), 1.0);
            EXPECT_NEAR(y0, expected.top(), 1.0);
            EXPECT_NEAR(x1 + 1, expected.right(), 1.0);
            EXPECT_NEAR(y1 + 1, expected.bottom(), 1.0);
        }
    }
}

// Empty slots show the standard pictures of the program's data files: the
// icon pixel for pixel in its cell, a drawing in every pointer's place.
TEST_F(PreviewGolden, EmptySlotsShowTheStandardIconsAndPointers) {
    const ThemeDocument doc = distinctColours();
    const ScreenRendering s = screen(doc, true);
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        const QImage icon(standardIconFile(kFirstDesktopIcon + k));
        ASSERT_EQ(icon.size(), QSize(32, 32));
        const QRect cell = s.layout.iconCells[std::size_t(k)];
        const QPoint at(cell.left() + (cell.width() - 32) / 2, cell.top() + 2);
        int opaque = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if (qAlpha(icon.pixel(x, y)) == 255) {
                    ++opaque;
                    EXPECT_EQ(s.image.pixel(at + QPoint(x, y)), icon.pixel(x, y) | 0xff000000u);
                }
        EXPECT_GT(opaque, 100);
    }
    // "Network Neighborhood" on two lines within its 75-pixel cell: two
    // bands of title rows (black on this light desktop), none cut at the
    // cell's sides.
    const QRect network = s.layout.iconCells[1];
    int bands = 0;
    bool inBand = false;
    for (int y = network.top() + 36; y <= network.bottom(); ++y) {
        const bool ink =
            countIn(s.image, QRect(network.left(), y, network.width(), 1), qRgb(0, 0, 0)) > 0;
        bands += ink && !inBand ? 1 : 0;
        inBand = ink;
    }
    EXPECT_EQ(bands, 2);
    for (int y = network.top() + 36; y <= network.bottom(); ++y) {
        EXPECT_NE(s.image.pixel(network.left(), y), qRgb(0, 0, 0));
        EXPECT_NE(s.image.pixel(network.right(), y), qRgb(0, 0, 0));
    }

    PreviewPictures pictures;
    const QImage picture = renderPreview(doc, QSize(800, 644), pictures).image;
    const int cell = (800 - 2 * 2 - 2 * 4) / kPointerCount;
    for (int i = 0; i < kPointerCount; ++i)
        EXPECT_GT(countIn(picture, QRect(6 + i * cell, 606, cell, 32), qRgb(0, 0, 0)), 20)
            << toQString(kPointerSlots[std::size_t(i)].caption).toStdString();
}

// Whatever the metrics, a window's parts stay inside it: every pixel that
// differs from the desktop alone lies in a window of the layout.
TEST_F(PreviewGolden, NothingOfAWindowIsDrawnOutsideItWithHugeOrTinyMetrics) {
    Record huge;
    for (const int field : {4, 8, 12, 16, 20, 84, 88, 152, 156})
        huge.set(field, 1000);
    for (const int font : {kCaptionFont, kSmallCaptionFont, kMenuFont, kStatusFont, kMessageFont})
        huge.font(font, -100, 900, true, "Times New Roman");
    Record tiny;
    for (const int field : {4, 8, 12, 16, 20, 84, 88, 152, 156})
        tiny.set(field, 0);
    for (const int font : {kCaptionFont, kSmallCaptionFont, kMenuFont, kStatusFont, kMessageFont})
        tiny.font(font, -1, 100, false, "MS Sans Serif");
    for (const auto& [what, record] : {std::pair{"huge", huge}, std::pair{"tiny", tiny}}) {
        SCOPED_TRACE(what);
        ThemeDocument doc = distinctColours();
        doc.nonclientMetrics = record.text();
        const ScreenRendering desktop = screen(doc, true, QSize(640, 480));
        const ScreenRendering full = screen(doc, false, QSize(640, 480));
        QList<QRect> places = full.layout.windows();
        places << full.layout.fullBinView << full.layout.tipPointer;
        int outside = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                if (desktop.image.pixel(x, y) != full.image.pixel(x, y) &&
                    std::none_of(places.begin(), places.end(),
                                 [&](const QRect& r) { return r.contains(x, y); }))
                    ++outside;
        EXPECT_EQ(outside, 0);
        // The windows are drawn at all.
        EXPECT_GT(countIn(full.image, full.layout.activeWindow, role("ActiveTitle")), 100);
    }
}

} // namespace
} // namespace p95::test
