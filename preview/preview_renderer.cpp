#include "preview/preview_renderer.h"

#include "colour/colour_table.h"
#include "colour/colour_text.h"
#include "platform/drive.h"
#include "preview/metrics.h"
#include "theme/get_colors.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <string_view>

namespace p95 {

namespace {

// A colour's index in the colour table, by its .theme key; a key that is not
// in the table does not compile.
consteval int colourIndex(std::string_view key) {
    for (int i = 0; i < kColourCount; ++i) {
        if (kColourSlots[i].key == key)
            return i;
    }
    throw "not a colour key";
}

// The colour indexes, each found in the colour table by its key.
enum Colour : int {
    ActiveTitle = colourIndex("ActiveTitle"),
    Background = colourIndex("Background"),
    Hilight = colourIndex("Hilight"),
    HilightText = colourIndex("HilightText"),
    TitleText = colourIndex("TitleText"),
    WindowColour = colourIndex("Window"),
    WindowText = colourIndex("WindowText"),
    Scrollbar = colourIndex("Scrollbar"),
    InactiveTitle = colourIndex("InactiveTitle"),
    Menu = colourIndex("Menu"),
    WindowFrame = colourIndex("WindowFrame"),
    MenuText = colourIndex("MenuText"),
    ActiveBorder = colourIndex("ActiveBorder"),
    InactiveBorder = colourIndex("InactiveBorder"),
    AppWorkspace = colourIndex("AppWorkspace"),
    ButtonFace = colourIndex("ButtonFace"),
    ButtonShadow = colourIndex("ButtonShadow"),
    GrayText = colourIndex("GrayText"),
    ButtonText = colourIndex("ButtonText"),
    InactiveTitleText = colourIndex("InactiveTitleText"),
    ButtonHilight = colourIndex("ButtonHilight"),
    ButtonDkShadow = colourIndex("ButtonDkShadow"),
    ButtonLight = colourIndex("ButtonLight"),
    InfoText = colourIndex("InfoText"),
    InfoWindow = colourIndex("InfoWindow"),
};

constexpr int kIconSide = 32;
constexpr int kStripMargin = 4;

// The caption-button glyphs as Windows 95 draws them in a 16x14 button (its
// size at the default caption height), with their places in it; at other
// heights they are drawn at a whole multiple of this size, centred alike.
struct GlyphPicture {
    QPoint at;
    std::array<const char*, 9> rows;
};
constexpr GlyphPicture kClose{{4, 3},
                              {"XX....XX", ".XX..XX.", "..XXXX..", "...XX...", "..XXXX..",
                               ".XX..XX.", "XX....XX", nullptr, nullptr}};
constexpr GlyphPicture kMaximise{{3, 2},
                                 {"XXXXXXXXX", "XXXXXXXXX", "X.......X", "X.......X", "X.......X",
                                  "X.......X", "X.......X", "X.......X", "XXXXXXXXX"}};
constexpr GlyphPicture kMinimise{
    {4, 9}, {"XXXXXX", "XXXXXX", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}};
constexpr QSize kGlyphButton(16, 14);

struct Fonts {
    PreviewFont caption;
    PreviewFont menu;
    PreviewFont message;
    PreviewFont status;
    PreviewFont icon;
};

// Restores the painter's clip when it goes.
class Clip {
public:
    Clip(QPainter& painter, const QRect& r) : m_painter(painter) {
        m_painter.save();
        m_painter.setClipRect(r, m_painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    }
    ~Clip() { m_painter.restore(); }
    Clip(const Clip&) = delete;
    Clip& operator=(const Clip&) = delete;

private:
    QPainter& m_painter;
};

// What one screen of the scene is drawn with.
class Scene {
public:
    Scene(QImage& image, const ThemeDocument& doc, PreviewPictures& pictures)
        : m_painter(&image), m_doc(doc), m_pictures(pictures), m_colours(previewColours(doc)),
          m_icons(parseIconMetrics(doc.iconMetrics)),
          m_metrics(parseNonclientMetrics(doc.nonclientMetrics)) {
        m_painter.setRenderHint(QPainter::Antialiasing, false);
        m_painter.setRenderHint(QPainter::TextAntialiasing, false);
        m_fonts.caption = previewFont(m_metrics.captionFont);
        m_fonts.menu = previewFont(m_metrics.menuFont);
        m_fonts.message = previewFont(m_metrics.messageFont);
        m_fonts.status = previewFont(m_metrics.statusFont);
        m_fonts.icon = previewFont(m_icons.font);
    }

    void drawScreen(QSize screen, bool desktopAlone);
    void drawPointerStrip(const QRect& strip);
    QStringList absent() const { return m_absent; }
    const PreviewLayout& layout() const { return m_layout; }

private:
    // ------------------------------------------------------------ primitives
    void fill(const QRect& r, int c) { m_painter.fillRect(r, m_colours[c]); }

    // A band `width` pixels wide just inside r.
    void ring(const QRect& r, int width, int c) {
        fill(QRect(r.left(), r.top(), r.width(), width), c);
        fill(QRect(r.left(), r.bottom() - width + 1, r.width(), width), c);
        fill(QRect(r.left(), r.top(), width, r.height()), c);
        fill(QRect(r.right() - width + 1, r.top(), width, r.height()), c);
    }

    // One-pixel lines: top and left in one colour, bottom and right (with
    // both far corners) in the other, as Windows draws its edges.
    void edge(const QRect& r, int topLeft, int bottomRight) {
        if (r.width() <= 0 || r.height() <= 0)
            return;
        fill(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
        fill(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
        fill(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
        fill(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
    }
    // Window frames, scroll arrows and the thumb: Button Light outermost.
    QRect raised(const QRect& r) {
        edge(r, ButtonLight, ButtonDkShadow);
        edge(r.adjusted(1, 1, -1, -1), ButtonHilight, ButtonShadow);
        return r.adjusted(2, 2, -2, -2);
    }
    // Push and caption buttons (Windows' "soft" edge): Button Highlight
    // outermost, Button Light inside it.
    QRect pushButton(const QRect& r) {
        fill(r, ButtonFace);
        edge(r, ButtonHilight, ButtonDkShadow);
        edge(r.adjusted(1, 1, -1, -1), ButtonLight, ButtonShadow);
        return r.adjusted(2, 2, -2, -2);
    }
    QRect sunken(const QRect& r) {
        edge(r, ButtonShadow, ButtonHilight);
        edge(r.adjusted(1, 1, -1, -1), ButtonDkShadow, ButtonLight);
        return r.adjusted(2, 2, -2, -2);
    }
    QRect scrollButton(const QRect& r) {
        fill(r, ButtonFace);
        return raised(r);
    }

    // ------------------------------------------------------------ text
    int textWidth(const PreviewFont& font, const QString& text) const;
    int textHeight(const PreviewFont& font) const { return QFontMetrics(font.font).height(); }
    // The text as it fits in `room`: whole, or cut short ending in "...".
    QString fitted(const PreviewFont& font, const QString& text, int room) const;
    // Drawn in r, aligned by flags (horizontal: left or centre; vertical:
    // top or centre), clipped to r; a text too wide ends in "...".
    void text(const QRect& r, int flags, const PreviewFont& font, int c, const QString& text);
    static void textAt(QPainter& painter, QPoint baselineStart, const PreviewFont& font,
                       const QColor& colour, const QString& text);

    void captionGlyph(const QRect& button, const GlyphPicture& glyph);
    void arrow(const QRect& button, bool up);

    // A picture the document names, or the standard one where the slot is
    // empty; nullptr (and the file is noted) when it cannot be drawn.
    const QImage* picture(PictureKind kind, const QString& path, const QString& standard,
                          const QString& caption);
    void drawPicture(const QImage& image, const QRect& place);

    // ------------------------------------------------------------ the scene
    void drawWallpaper(const QRect& screen);
    void drawDesktopIcon(const QRect& cell, int slot, const QString& caption);
    // Returns what lies below the caption.
    QRect drawWindow(const QRect& outer, bool active, bool sizable, bool minMax,
                     const QString& title);
    QRect drawMenuBar(const QRect& below);
    void drawScrollBar(const QRect& bar);
    void drawMessageBox(QPoint at);
    void drawToolTip(QPoint at);
    void drawFullBin(const QRect& view);

    QPainter m_painter;
    const ThemeDocument& m_doc;
    PreviewPictures& m_pictures;
    std::array<QColor, kColourCount> m_colours;
    IconMetricsRecord m_icons;
    NonclientMetricsRecord m_metrics;
    Fonts m_fonts;
    QStringList m_absent;
    PreviewLayout m_layout;
};

int Scene::textWidth(const PreviewFont& font, const QString& text) const {
    // Simulated bold widens every letter by one pixel.
    return QFontMetrics(font.font).horizontalAdvance(text) +
           (font.simulatedBold ? int(text.size()) : 0);
}

QString Scene::fitted(const PreviewFont& font, const QString& text, int room) const {
    if (textWidth(font, text) <= room)
        return text;
    // Windows 95 ends a cut title in three full stops, not an ellipsis sign.
    const QString dots = QStringLiteral("...");
    for (qsizetype n = text.size() - 1; n > 0; --n) {
        const QString shown = text.left(n) + dots;
        if (textWidth(font, shown) <= room)
            return shown;
    }
    return dots;
}

void Scene::textAt(QPainter& painter, QPoint at, const PreviewFont& font, const QColor& colour,
                   const QString& text) {
    painter.setFont(font.font);
    painter.setPen(colour);
    if (!font.simulatedBold) {
        painter.drawText(at, text);
        return;
    }
    const QFontMetrics metrics(font.font);
    int x = at.x();
    for (const QChar c : text) {
        const QString letter(c);
        painter.drawText(QPoint(x, at.y()), letter);
        painter.drawText(QPoint(x + 1, at.y()), letter);
        x += metrics.horizontalAdvance(letter) + 1;
    }
}

void Scene::text(const QRect& r, int flags, const PreviewFont& font, int c, const QString& text) {
    if (r.width() <= 0 || r.height() <= 0)
        return;
    const QFontMetrics metrics(font.font);
    const QString shown = fitted(font, text, r.width());
    const int width = textWidth(font, shown);
    const int x = flags & Qt::AlignHCenter ? r.left() + (r.width() - width) / 2 : r.left();
    const int top =
        flags & Qt::AlignVCenter ? r.top() + (r.height() - metrics.height()) / 2 : r.top();
    const Clip clip(m_painter, r);
    if (!font.simulatedItalic) {
        textAt(m_painter, QPoint(x, top + metrics.ascent()), font, m_colours[c], shown);
        return;
    }
    // Simulated italic: the upright text with each row above the baseline
    // moved right by half its height over it, as Windows slants its bitmap
    // faces.
    QImage upright(QSize(width + 1, metrics.height()), QImage::Format_ARGB32_Premultiplied);
    upright.fill(Qt::transparent);
    {
        QPainter into(&upright);
        textAt(into, QPoint(0, metrics.ascent()), font, m_colours[c], shown);
    }
    for (int row = 0; row < upright.height(); ++row)
        m_painter.drawImage(QPoint(x + std::max(0, metrics.ascent() - 1 - row) / 2, top + row),
                            upright, QRect(0, row, upright.width(), 1));
}

void Scene::captionGlyph(const QRect& button, const GlyphPicture& glyph) {
    const int k = std::max(1, button.height() / kGlyphButton.height());
    const QPoint origin(button.left() + (button.width() - k * kGlyphButton.width()) / 2,
                        button.top() + (button.height() - k * kGlyphButton.height()) / 2);
    const Clip clip(m_painter, button.adjusted(2, 2, -2, -2));
    for (int row = 0; row < int(glyph.rows.size()) && glyph.rows[std::size_t(row)]; ++row) {
        const std::string_view line = glyph.rows[std::size_t(row)];
        for (int col = 0; col < int(line.size()); ++col) {
            if (line[std::size_t(col)] == 'X')
                fill(QRect(origin.x() + k * (glyph.at.x() + col),
                           origin.y() + k * (glyph.at.y() + row), k, k),
                     ButtonText);
        }
    }
}

// A scroll arrow: rows of 1, 3, 5 ... pixels from its point, a third of the
// button's shorter side tall (4 rows on a 16-pixel button), centred.
void Scene::arrow(const QRect& button, bool up) {
    const int rows = std::max(1, (std::min(button.width(), button.height()) - 4) / 3);
    const int centre = button.left() + (button.width() - 1) / 2;
    const int top = button.top() + (button.height() - rows) / 2;
    const Clip clip(m_painter, button.adjusted(2, 2, -2, -2));
    for (int i = 0; i < rows; ++i) {
        const int y = up ? top + i : top + rows - 1 - i;
        fill(QRect(centre - i, y, 2 * i + 1, 1), ButtonText);
    }
}

const QImage* Scene::picture(PictureKind kind, const QString& path, const QString& standard,
                             const QString& caption) {
    if (path.isEmpty()) {
        // Windows' own picture stands in an empty slot; without the data
        // file the place stays empty.
        const Result<QImage>& loaded = m_pictures.picture(kind, standard);
        return loaded.ok() ? &loaded.value() : nullptr;
    }
    const Result<QImage>& loaded = m_pictures.picture(kind, path);
    if (loaded.ok())
        return &loaded.value();
    const QString reason = loaded.error().why();
    const QString line = QStringLiteral("%1: %2 (%3)").arg(caption, path, reason);
    if (!m_absent.contains(line))
        m_absent << line;
    return nullptr;
}

// At its own size, or shrunk to fit the place; centred in it.
void Scene::drawPicture(const QImage& image, const QRect& place) {
    QSize size = image.size();
    if (size.width() > place.width() || size.height() > place.height())
        size.scale(place.size(), Qt::KeepAspectRatio);
    const QRect target(place.left() + (place.width() - size.width()) / 2,
                       place.top() + (place.height() - size.height()) / 2, size.width(),
                       size.height());
    m_painter.drawImage(target, image);
}

void Scene::drawWallpaper(const QRect& screen) {
    const QImage* wallpaper = picture(PictureKind::Wallpaper, m_doc.icons[kWallpaperIndex],
                                      QString(), QStringLiteral("Wallpaper"));
    if (!wallpaper)
        return;
    if (m_doc.tiled) {
        m_painter.setBrushOrigin(screen.topLeft());
        m_painter.fillRect(screen, QBrush(*wallpaper));
        return;
    }
    // Centred at its own size, as Windows centres it on the screen.
    const QPoint at(screen.left() + (screen.width() - wallpaper->width()) / 2,
                    screen.top() + (screen.height() - wallpaper->height()) / 2);
    m_painter.drawImage(at, *wallpaper);
}

void Scene::drawDesktopIcon(const QRect& cell, int slot, const QString& caption) {
    const Clip clip(m_painter, cell);
    const QRect place(cell.left() + (cell.width() - kIconSide) / 2, cell.top() + 2, kIconSide,
                      kIconSide);
    if (const QImage* icon = picture(PictureKind::Icon, m_doc.icons[slot], standardIconFile(slot),
                                     toQString(kIconsCaptions[std::size_t(slot)])))
        drawPicture(*icon, place);

    // The title sits on the desktop colour, in white or black, whichever
    // shows, wrapped within the cell on at most two lines.
    const PreviewFont& font = m_fonts.icon;
    const int room = std::max(1, cell.width() - 4);
    QStringList lines;
    QString rest = caption;
    while (!rest.isEmpty() && lines.size() < 2) {
        if (lines.size() == 1 || textWidth(font, rest) <= room) {
            lines << fitted(font, rest, room);
            break;
        }
        // The most words that fit; a single word too long is cut instead.
        const QStringList words = rest.split(QLatin1Char(' '));
        int n = 0;
        while (n < words.size() && textWidth(font, words.mid(0, n + 1).join(u' ')) <= room)
            ++n;
        if (n == 0) {
            lines << fitted(font, words.first(), room);
            rest = words.mid(1).join(u' ');
        } else {
            lines << words.mid(0, n).join(u' ');
            rest = words.mid(n).join(u' ');
        }
    }
    const QColor& desktop = m_colours[Background];
    const bool dark =
        desktop.red() * 299 + desktop.green() * 587 + desktop.blue() * 114 < 128 * 1000;
    const int lineHeight = textHeight(font);
    int y = place.bottom() + 4;
    for (const QString& line : std::as_const(lines)) {
        const int width = textWidth(font, line);
        const QRect label(cell.center().x() - width / 2 - 1, y, width + 2, lineHeight);
        m_painter.fillRect(label, desktop);
        const QFontMetrics metrics(font.font);
        textAt(m_painter, QPoint(label.left() + 1, y + metrics.ascent()), font,
               dark ? Qt::white : Qt::black, line);
        y += lineHeight;
    }
}

// A top-level window: the raised edge, the sizing border at the border width
// (sizable windows), a line of button face, the caption with its buttons.
// Returns what lies below the caption. The caller clips to the window.
QRect Scene::drawWindow(const QRect& outer, bool active, bool sizable, bool minMax,
                        const QString& title) {
    fill(outer, ButtonFace);
    QRect r = raised(outer);
    if (sizable) {
        ring(r, m_metrics.borderWidth, active ? ActiveBorder : InactiveBorder);
        r.adjust(m_metrics.borderWidth, m_metrics.borderWidth, -m_metrics.borderWidth,
                 -m_metrics.borderWidth);
    }
    r.adjust(1, 1, -1, -1); // the line of button face

    const int height = m_metrics.captionHeight;
    const QRect caption(r.left(), r.top(), r.width(), height);
    fill(caption, active ? ActiveTitle : InactiveTitle);
    if (active && minMax)
        m_layout.activeCaption = caption;

    // Caption buttons: two pixels less wide and four less high than the
    // caption size, two pixels in from the top and the right; the close box
    // stands apart.
    const QSize size(m_metrics.captionWidth - 2, height - 4);
    const QRect close(QPoint(caption.right() - 1 - size.width(), caption.top() + 2), size);
    pushButton(close);
    captionGlyph(close, kClose);
    if (active && minMax)
        m_layout.activeClose = close;
    int textRight = close.left() - 2;
    if (minMax) {
        const QRect maximise = close.translated(-size.width() - 2, 0);
        const QRect minimise = maximise.translated(-size.width(), 0);
        pushButton(maximise);
        captionGlyph(maximise, kMaximise);
        pushButton(minimise);
        captionGlyph(minimise, kMinimise);
        textRight = minimise.left() - 2;
    }
    const QRect textPlace(caption.left() + 2, caption.top(), textRight - caption.left() - 2,
                          height);
    text(textPlace, Qt::AlignLeft | Qt::AlignVCenter, m_fonts.caption,
         active ? TitleText : InactiveTitleText, title);

    return QRect(r.left(), caption.bottom() + 2, r.width(), r.bottom() - caption.bottom() - 1);
}

// The menu bar at the top of `below`, as tall as the menu height or its
// font, whichever is more: a normal, a disabled and a selected item. Returns
// what lies below it.
QRect Scene::drawMenuBar(const QRect& below) {
    const int height = std::max(m_metrics.menuHeight, textHeight(m_fonts.menu));
    const QRect bar(below.left(), below.top(), below.width(), height);
    m_layout.menuBar = bar;
    fill(bar, Menu);
    fill(QRect(bar.left(), bar.bottom() + 1, bar.width(), 1), ButtonFace);

    const int padding = 6;
    int x = bar.left();
    const auto place = [&](const QString& item) {
        const QRect r(x, bar.top(), textWidth(m_fonts.menu, item) + 2 * padding, height);
        x = r.right() + 1;
        return r;
    };
    const int flags = Qt::AlignHCenter | Qt::AlignVCenter;
    const QRect normal = place(QStringLiteral("Normal"));
    text(normal, flags, m_fonts.menu, MenuText, QStringLiteral("Normal"));
    // Disabled items are embossed: the highlight one pixel down and right.
    const QRect disabled = place(QStringLiteral("Disabled"));
    text(disabled.translated(1, 1), flags, m_fonts.menu, ButtonHilight, QStringLiteral("Disabled"));
    text(disabled, flags, m_fonts.menu, GrayText, QStringLiteral("Disabled"));
    const QRect selected = place(QStringLiteral("Selected"));
    fill(selected, Hilight);
    text(selected, flags, m_fonts.menu, HilightText, QStringLiteral("Selected"));
    m_layout.menuNormal = normal;
    m_layout.menuDisabled = disabled;
    m_layout.menuSelected = selected;

    return QRect(below.left(), bar.bottom() + 2, below.width(), below.bottom() - bar.bottom() - 1);
}

// A vertical scroll bar: arrow buttons at the scroll-bar height, the thumb a
// quarter of the way down; the track a checkerboard of Button Face and Button
// Highlight where Button Highlight is the Window colour (the bar would vanish
// into the client area), else the Scrollbar colour.
void Scene::drawScrollBar(const QRect& bar) {
    const Clip clip(m_painter, bar);
    const int arrowHeight = std::min(m_metrics.scrollHeight, bar.height() / 2);
    const QRect up(bar.left(), bar.top(), bar.width(), arrowHeight);
    const QRect down(bar.left(), bar.bottom() - arrowHeight + 1, bar.width(), arrowHeight);
    const QRect track(bar.left(), up.bottom() + 1, bar.width(), down.top() - up.bottom() - 1);
    if (m_colours[ButtonHilight] == m_colours[WindowColour]) {
        QImage tile(2, 2, QImage::Format_RGB32);
        tile.setPixel(0, 0, m_colours[ButtonFace].rgb());
        tile.setPixel(1, 1, m_colours[ButtonFace].rgb());
        tile.setPixel(1, 0, m_colours[ButtonHilight].rgb());
        tile.setPixel(0, 1, m_colours[ButtonHilight].rgb());
        m_painter.setBrushOrigin(0, 0); // the pattern is aligned to the screen
        m_painter.fillRect(track, QBrush(tile));
    } else {
        fill(track, Scrollbar);
    }
    const int thumbHeight = std::min(std::max(arrowHeight, track.height() / 3), track.height());
    if (thumbHeight > 0)
        scrollButton(
            QRect(track.left(), track.top() + track.height() / 4, track.width(), thumbHeight));
    scrollButton(up);
    arrow(up, true);
    scrollButton(down);
    arrow(down, false);
}

// A message box sized to its text, as Windows 95 sizes one.
void Scene::drawMessageBox(QPoint at) {
    const QString title = QStringLiteral("Message Box");
    const QString message = QStringLiteral("Message Text");
    const QString ok = QStringLiteral("OK");
    const int margin = 12;
    const QSize okSize(std::max(75, textWidth(m_fonts.message, ok) + 16),
                       std::max(23, textHeight(m_fonts.message) + 10));
    const int frame = 3 + 1; // the dialog frame, the line under the caption
    const int width =
        std::max({textWidth(m_fonts.message, message) + 2 * margin + 2 * frame,
                  textWidth(m_fonts.caption, title) + m_metrics.captionWidth + 16 + 2 * frame,
                  okSize.width() + 2 * margin + 2 * frame});
    const int height = 2 * frame + m_metrics.captionHeight + margin + textHeight(m_fonts.message) +
                       margin + okSize.height() + margin;
    const QRect outer(at, QSize(width, height));
    m_layout.messageBox = outer;
    const Clip clip(m_painter, outer);
    const QRect body = drawWindow(outer, true, false, false, title);
    fill(body, ButtonFace);
    const Clip inside(m_painter, body);
    const QRect line(body.left() + margin, body.top() + margin, body.width() - 2 * margin,
                     textHeight(m_fonts.message));
    text(line, Qt::AlignLeft | Qt::AlignVCenter, m_fonts.message, WindowText, message);

    // The default button: a ring of Window Frame around the push button.
    const QRect okButton(body.left() + (body.width() - okSize.width()) / 2,
                         body.bottom() - margin - okSize.height() + 1, okSize.width(),
                         okSize.height());
    m_layout.okButton = okButton;
    ring(okButton, 1, WindowFrame);
    const QRect face = pushButton(okButton.adjusted(1, 1, -1, -1));
    text(face, Qt::AlignHCenter | Qt::AlignVCenter, m_fonts.message, ButtonText, ok);
}

void Scene::drawToolTip(QPoint at) {
    const QString tip = QStringLiteral("Tool Tip");
    const QRect box(at, QSize(textWidth(m_fonts.status, tip) + 8, textHeight(m_fonts.status) + 4));
    m_layout.toolTip = box;
    {
        const Clip clip(m_painter, box);
        fill(box, InfoWindow);
        ring(box, 1, WindowFrame);
        text(box.adjusted(4, 2, -4, -2), Qt::AlignLeft | Qt::AlignVCenter, m_fonts.status, InfoText,
             tip);
    }
    // The pointer that called it up, above and to the left.
    m_layout.tipPointer = QRect(at.x() - 12, at.y() - kIconSide - 2, kIconSide, kIconSide);
    if (const QImage* arrow = picture(PictureKind::Pointer, m_doc.pointers[0],
                                      standardPointerFile(0), toQString(kPointerSlots[0].caption)))
        drawPicture(*arrow, m_layout.tipPointer);
}

// The full Recycle Bin, in a small second view of the desktop.
void Scene::drawFullBin(const QRect& view) {
    m_layout.fullBinView = view;
    const Clip clip(m_painter, view);
    const QRect inside = sunken(view);
    fill(inside, Background);
    drawDesktopIcon(QRect(inside.left(), inside.top() + 4, inside.width(), inside.height() - 4), 4,
                    QStringLiteral("Recycle Bin"));
}

void Scene::drawPointerStrip(const QRect& strip) {
    fill(strip, ButtonFace);
    const QRect inside =
        raised(strip).adjusted(kStripMargin, kStripMargin, -kStripMargin, -kStripMargin);
    const int cell = inside.width() / kPointerCount;
    const Clip clip(m_painter, inside);
    for (int i = 0; i < kPointerCount; ++i) {
        const QImage* pointer =
            picture(PictureKind::Pointer, m_doc.pointers[i], standardPointerFile(i),
                    toQString(kPointerSlots[i].caption));
        if (!pointer)
            continue; // an empty place
        const QRect place(inside.left() + i * cell + (cell - std::min(kIconSide, cell)) / 2,
                          inside.top(), std::min(kIconSide, cell), inside.height());
        drawPicture(*pointer, place);
    }
}

// The windows keep Windows 95's pixel sizes and stand where they would on a
// 640x480 screen, the smallest offered; larger screens show more desktop.
void Scene::drawScreen(QSize size, bool desktopAlone) {
    const QRect screen(QPoint(0, 0), size);
    fill(screen, Background);
    drawWallpaper(screen);

    const QString titles[] = {QStringLiteral("My Computer"), QStringLiteral("Network Neighborhood"),
                              QStringLiteral("Recycle Bin")};
    for (int k = 0; k < 3; ++k) {
        const QRect cell(0, k * m_icons.vertSpacing, m_icons.horzSpacing, m_icons.vertSpacing);
        m_layout.iconCells[std::size_t(k)] = cell;
        drawDesktopIcon(cell, kFirstDesktopIcon + k, titles[k]);
    }
    if (desktopAlone)
        return;

    const int viewWidth = std::max(m_icons.horzSpacing, 96) + 8;
    drawFullBin(QRect(screen.right() - viewWidth - 15, 16, viewWidth,
                      kIconSide + textHeight(m_fonts.icon) * 2 + 20));

    // An application whose workspace shows behind the active window.
    const QRect inactive(96, 16, 380, 240);
    m_layout.inactiveWindow = inactive;
    {
        const Clip clip(m_painter, inactive);
        const QRect below =
            drawWindow(inactive, false, true, true, QStringLiteral("Inactive Window"));
        const Clip inside(m_painter, below);
        fill(sunken(below), AppWorkspace);
    }

    const QRect active(128, 56, 380, 256);
    m_layout.activeWindow = active;
    {
        const Clip clip(m_painter, active);
        const QRect below = drawWindow(active, true, true, true, QStringLiteral("Active Window"));
        const Clip inside(m_painter, below);
        const QRect client = sunken(drawMenuBar(below));
        m_layout.client = client;
        fill(client, WindowColour);
        const Clip inClient(m_painter, client);
        const int scrollWidth = std::min(m_metrics.scrollWidth, std::max(0, client.width() / 2));
        const QRect textArea = client.adjusted(4, 2, -scrollWidth - 4, 0);
        text(QRect(textArea.topLeft(), QSize(textArea.width(), textHeight(m_fonts.message))),
             Qt::AlignLeft | Qt::AlignVCenter, m_fonts.message, WindowText,
             QStringLiteral("Window Text"));
        m_layout.scrollBar =
            QRect(client.right() - scrollWidth + 1, client.top(), scrollWidth, client.height());
        drawScrollBar(m_layout.scrollBar);
    }

    drawMessageBox(QPoint(208, 272));
    drawToolTip(QPoint(456, 392));
}

} // namespace

std::array<QColor, kColourCount> previewColours(const ThemeDocument& doc) {
    const std::array<QString, kColourCount> texts = colourTextsInUse(doc);
    std::array<QColor, kColourCount> colours;
    for (int i = 0; i < kColourCount; ++i) {
        const Rgb rgb = parseColourText(texts[i]);
        colours[i] = QColor(rgb.red, rgb.green, rgb.blue);
    }
    return colours;
}

QString standardIconFile(int slot) {
    static constexpr const char* kNames[] = {"", "std-computer.ico", "std-network.ico",
                                             "std-bin-empty.ico", "std-bin-full.ico"};
    if (slot < kFirstDesktopIcon || slot > kLastDesktopIcon)
        return QString();
    return installedDataFolder() + QLatin1Char('/') + QLatin1String(kNames[slot]);
}

QString standardPointerFile(int slot) {
    if (slot < 0 || slot >= kPointerCount)
        return QString();
    return installedDataFolder() + QStringLiteral("/std-") +
           toQString(kPointerSlots[std::size_t(slot)].key).toLower() + QStringLiteral(".cur");
}

static QSize bounded(QSize size) {
    return QSize(std::clamp(size.width(), 1, kMaxPreviewSide),
                 std::clamp(size.height(), 1, kMaxPreviewSide));
}

ScreenRendering renderScreen(const ThemeDocument& doc, const PreviewOptions& options,
                             PreviewPictures& pictures) {
    const QSize screen = bounded(options.screen);
    ScreenRendering out;
    out.image = QImage(screen, QImage::Format_RGB32);
    if (out.image.isNull())
        return out; // no memory for it: an empty picture rather than a crash
    // The painter ends with the scene, before the picture leaves.
    Scene scene(out.image, doc, pictures);
    scene.drawScreen(screen, options.desktopAlone);
    out.absent = scene.absent();
    out.layout = scene.layout();
    return out;
}

QSize previewSizeFor(QSize screen) {
    return bounded(QSize(screen.width(), screen.height() + kPointerStripHeight));
}

static int stripHeight(QSize size) {
    return std::min(kPointerStripHeight, size.height() / 3);
}

QRect screenPlace(QSize size, QSize screen) {
    const QSize room(size.width(), size.height() - stripHeight(size));
    const QSize fitted = bounded(screen).scaled(room, Qt::KeepAspectRatio);
    return QRect(QPoint((room.width() - fitted.width()) / 2, (room.height() - fitted.height()) / 2),
                 fitted);
}

PreviewRendering renderPreview(const ThemeDocument& doc, QSize size, PreviewPictures& pictures,
                               const PreviewOptions& options) {
    const QSize picture = bounded(size);
    PreviewRendering out;
    ScreenRendering screen = renderScreen(doc, options, pictures);
    out.image = QImage(picture, QImage::Format_RGB32);
    if (out.image.isNull() || screen.image.isNull())
        return out;
    const QRect place = screenPlace(picture, screen.image.size());
    const int strip = stripHeight(picture);
    {
        QPainter painter(&out.image);
        // Around a screen of other proportions: the strip's face.
        painter.fillRect(QRect(0, 0, picture.width(), picture.height() - strip),
                         previewColours(doc)[ButtonFace]);
        if (place.size() == screen.image.size()) {
            painter.drawImage(place.topLeft(), screen.image);
        } else {
            // Shrunk with filtering, so that one-pixel lines do not drop out;
            // enlarged pixel for pixel, so that they stay crisp.
            painter.setRenderHint(QPainter::SmoothPixmapTransform,
                                  place.width() < screen.image.width());
            painter.drawImage(place, screen.image);
        }
    }
    out.absent = screen.absent;
    if (strip > 0) {
        Scene scene(out.image, doc, pictures);
        scene.drawPointerStrip(QRect(0, picture.height() - strip, picture.width(), strip));
        out.absent += scene.absent();
    }
    return out;
}

} // namespace p95
