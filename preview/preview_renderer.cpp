#include "preview/preview_renderer.h"

#include "colour/colour_table.h"
#include "colour/colour_text.h"
#include "platform/pictures/fonts.h"
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

enum class Glyph { Minimise, Maximise, Close, Up, Down };

constexpr int kIconSide = 32;
constexpr int kStripMargin = 4;

struct Fonts {
    PreviewFont caption;
    PreviewFont menu;
    PreviewFont message;
    PreviewFont status;
    PreviewFont icon;
};

// What one picture of the scene is drawn with.
class Scene {
public:
    Scene(QImage& image, const ThemeDocument& doc, PreviewPictures& pictures)
        : m_painter(&image), m_doc(doc), m_pictures(pictures), m_colours(previewColours(doc)),
          m_icons(parseIconMetrics(doc.iconMetrics)),
          m_metrics(parseNonclientMetrics(doc.nonclientMetrics)),
          m_marlett(installProgramFonts().marlett) {
        m_painter.setRenderHint(QPainter::Antialiasing, false);
        m_painter.setRenderHint(QPainter::TextAntialiasing, false);
        m_fonts.caption = previewFont(m_metrics.captionFont);
        m_fonts.menu = previewFont(m_metrics.menuFont);
        m_fonts.message = previewFont(m_metrics.messageFont);
        m_fonts.status = previewFont(m_metrics.statusFont);
        m_fonts.icon = previewFont(m_icons.font);
    }

    void draw(QSize size);
    QStringList absent() const { return m_absent; }

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
    QRect raised(const QRect& r) {
        edge(r, ButtonLight, ButtonDkShadow);
        edge(r.adjusted(1, 1, -1, -1), ButtonHilight, ButtonShadow);
        return r.adjusted(2, 2, -2, -2);
    }
    QRect sunken(const QRect& r) {
        edge(r, ButtonShadow, ButtonHilight);
        edge(r.adjusted(1, 1, -1, -1), ButtonDkShadow, ButtonLight);
        return r.adjusted(2, 2, -2, -2);
    }
    QRect button(const QRect& r) {
        fill(r, ButtonFace);
        return raised(r);
    }

    int textWidth(const PreviewFont& font, const QString& text) const {
        return QFontMetrics(font.font).horizontalAdvance(text) + (font.overstrike ? 1 : 0);
    }
    int textHeight(const PreviewFont& font) const { return QFontMetrics(font.font).height(); }
    void text(const QRect& r, int flags, const PreviewFont& font, int c, const QString& text) {
        m_painter.setFont(font.font);
        m_painter.setPen(m_colours[c]);
        m_painter.drawText(r, flags, text);
        if (font.overstrike)
            m_painter.drawText(r.translated(1, 0), flags, text);
    }
    void glyph(const QRect& r, Glyph g, int c);
    void drawnGlyph(const QRect& r, Glyph g, int c);

    // A picture the document names, or nullptr (and the file is noted) when
    // it cannot be drawn.
    const QImage* picture(PictureKind kind, const QString& path, const QString& caption);
    void drawPicture(const QImage& image, const QRect& place);

    // ------------------------------------------------------------ the scene
    void drawWallpaper(const QRect& screen);
    void drawDesktopIcon(const QRect& cell, int slot, const QString& caption);
    QRect drawWindow(const QRect& outer, bool active, bool sizable, bool minMax,
                     const QString& title);
    QRect drawMenuBar(const QRect& below);
    void drawScrollBar(const QRect& bar);
    void drawMessageBox(QPoint at, int minWidth);
    void drawToolTip(QPoint at);
    void drawFullBin(const QRect& view);
    void drawPointerStrip(const QRect& strip);

    QPainter m_painter;
    const ThemeDocument& m_doc;
    PreviewPictures& m_pictures;
    std::array<QColor, kColourCount> m_colours;
    IconMetricsRecord m_icons;
    NonclientMetricsRecord m_metrics;
    Fonts m_fonts;
    bool m_marlett;
    QStringList m_absent;
};

void Scene::glyph(const QRect& r, Glyph g, int c) {
    if (!m_marlett) {
        drawnGlyph(r, g, c);
        return;
    }
    // Windows sized the Marlett glyphs from the button's shorter side.
    QFont marlett(QStringLiteral("Marlett"));
    marlett.setPixelSize(std::max(6, std::min(r.width(), r.height()) - 2));
    marlett.setStyleStrategy(QFont::NoAntialias);
    static constexpr char kCharacters[] = {'0', '1', 'r', '5', '6'};
    m_painter.setFont(marlett);
    m_painter.setPen(m_colours[c]);
    m_painter.drawText(r, Qt::AlignCenter, QString(QLatin1Char(kCharacters[int(g)])));
}

// The caption-button and arrow glyphs without Marlett, in whole pixels.
void Scene::drawnGlyph(const QRect& r, Glyph g, int c) {
    const int unit = std::max(1, std::min(r.width(), r.height()) / 14);
    const QPoint centre = r.center();
    switch (g) {
    case Glyph::Minimise:
        fill(QRect(centre.x() - 3 * unit, centre.y() + 2 * unit, 6 * unit, 2 * unit), c);
        break;
    case Glyph::Maximise: {
        const QRect box(centre.x() - 4 * unit, centre.y() - 4 * unit, 9 * unit, 8 * unit);
        ring(box, unit, c);
        fill(QRect(box.left(), box.top(), box.width(), 2 * unit), c);
        break;
    }
    case Glyph::Close: {
        const int side = 8 * unit;
        const QPoint origin(centre.x() - side / 2, centre.y() - side / 2);
        for (int i = 0; i < side; ++i) {
            fill(QRect(origin.x() + i, origin.y() + i, 2 * unit, unit), c);
            fill(QRect(origin.x() + side - i - unit, origin.y() + i, 2 * unit, unit), c);
        }
        break;
    }
    case Glyph::Up:
    case Glyph::Down:
        for (int row = 0; row < 4 * unit; ++row) {
            const int half = row;
            const int y =
                g == Glyph::Up ? centre.y() - 2 * unit + row : centre.y() + 2 * unit - row;
            fill(QRect(centre.x() - half, y, 2 * half + 1, 1), c);
        }
        break;
    }
}

const QImage* Scene::picture(PictureKind kind, const QString& path, const QString& caption) {
    if (path.isEmpty())
        return nullptr;
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
    const QImage* wallpaper =
        picture(PictureKind::Wallpaper, m_doc.icons[kWallpaperIndex], QStringLiteral("Wallpaper"));
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
    const QRect place(cell.left() + (cell.width() - kIconSide) / 2, cell.top() + 2, kIconSide,
                      kIconSide);
    const QString& path = m_doc.icons[slot];
    if (const QImage* icon =
            picture(PictureKind::Icon, path, toQString(kIconsCaptions[std::size_t(slot)])))
        drawPicture(*icon, place);

    // The title sits on the desktop colour, in white or black, whichever shows.
    const QColor& desktop = m_colours[Background];
    const bool dark =
        desktop.red() * 299 + desktop.green() * 587 + desktop.blue() * 114 < 128 * 1000;
    // Titles wrap within the cell when the record says so; otherwise they
    // stand on one line, cut short with an ellipsis.
    const int flags = Qt::AlignHCenter | Qt::AlignTop | (m_icons.titleWrap ? Qt::TextWordWrap : 0);
    const QFontMetrics metrics(m_fonts.icon.font);
    const int room = std::max(1, cell.width() - 4);
    const QString shown =
        m_icons.titleWrap ? caption : metrics.elidedText(caption, Qt::ElideRight, room);
    QRect bounds = metrics.boundingRect(QRect(0, 0, room, 4 * cell.height()), flags, shown);
    bounds.setWidth(bounds.width() + (m_fonts.icon.overstrike ? 1 : 0));
    const QRect label(cell.center().x() - bounds.width() / 2 - 1, place.bottom() + 4,
                      bounds.width() + 2, bounds.height());
    m_painter.fillRect(label, desktop);
    m_painter.setFont(m_fonts.icon.font);
    m_painter.setPen(dark ? Qt::white : Qt::black);
    const QRect inside = label.adjusted(1, 0, -1, 0);
    m_painter.drawText(inside, flags, shown);
    if (m_fonts.icon.overstrike)
        m_painter.drawText(inside.translated(1, 0), flags, shown);
}

// A top-level window: the raised edge, the sizing border at the border width
// (sizable windows), a line of button face, the caption with its buttons.
// Returns what lies below the caption.
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

    // Caption buttons: two pixels less wide and four less high than the
    // caption size, two pixels in from the top and the right; the close box
    // stands apart.
    const QSize size(m_metrics.captionWidth - 2, height - 4);
    QRect close(QPoint(caption.right() - 1 - size.width(), caption.top() + 2), size);
    button(close);
    glyph(close, Glyph::Close, ButtonText);
    int textRight = close.left() - 2;
    if (minMax) {
        const QRect maximise = close.translated(-size.width() - 2, 0);
        const QRect minimise = maximise.translated(-size.width(), 0);
        for (const auto& [place, shape] :
             {std::pair{maximise, Glyph::Maximise}, std::pair{minimise, Glyph::Minimise}}) {
            button(place);
            glyph(place, shape, ButtonText);
        }
        textRight = minimise.left() - 2;
    }
    const QRect textPlace(caption.left() + 3, caption.top(), textRight - caption.left() - 3,
                          height);
    text(textPlace, Qt::AlignLeft | Qt::AlignVCenter, m_fonts.caption,
         active ? TitleText : InactiveTitleText, title);

    return QRect(r.left(), caption.bottom() + 2, r.width(), r.bottom() - caption.bottom() - 1);
}

// The menu bar at the top of `below`: a normal, a disabled and a selected
// item. Returns what lies below it.
QRect Scene::drawMenuBar(const QRect& below) {
    const int height = m_metrics.menuHeight;
    const QRect bar(below.left(), below.top(), below.width(), height);
    fill(bar, Menu);
    fill(QRect(bar.left(), bar.bottom() + 1, bar.width(), 1), ButtonFace);

    const int padding = 6;
    int x = bar.left();
    const auto place = [&](const QString& item) {
        const QRect r(x, bar.top(), textWidth(m_fonts.menu, item) + 2 * padding, height);
        x = r.right() + 1;
        return r;
    };
    const int flags = Qt::AlignCenter;
    const QRect normal = place(QStringLiteral("Normal"));
    text(normal, flags, m_fonts.menu, MenuText, QStringLiteral("Normal"));
    // Disabled items are engraved: a highlight one pixel down and right.
    const QRect disabled = place(QStringLiteral("Disabled"));
    text(disabled.translated(1, 1), flags, m_fonts.menu, ButtonHilight, QStringLiteral("Disabled"));
    text(disabled, flags, m_fonts.menu, GrayText, QStringLiteral("Disabled"));
    const QRect selected = place(QStringLiteral("Selected"));
    fill(selected, Hilight);
    text(selected, flags, m_fonts.menu, HilightText, QStringLiteral("Selected"));

    return QRect(below.left(), bar.bottom() + 2, below.width(), below.bottom() - bar.bottom() - 1);
}

// A vertical scroll bar: arrow buttons at the scroll-bar height, the thumb
// a third of the way down, the track in the scroll-bar colour.
void Scene::drawScrollBar(const QRect& bar) {
    const int arrow = std::min(m_metrics.scrollHeight, bar.height() / 3);
    const QRect up(bar.left(), bar.top(), bar.width(), arrow);
    const QRect down(bar.left(), bar.bottom() - arrow + 1, bar.width(), arrow);
    const QRect track(bar.left(), up.bottom() + 1, bar.width(), down.top() - up.bottom() - 1);
    fill(track, Scrollbar);
    const int thumbHeight = std::max(arrow, track.height() / 3);
    button(QRect(track.left(), track.top() + track.height() / 4, track.width(),
                 std::min(thumbHeight, track.height())));
    button(up);
    glyph(up, Glyph::Up, ButtonText);
    button(down);
    glyph(down, Glyph::Down, ButtonText);
}

void Scene::drawMessageBox(QPoint at, int minWidth) {
    const QString title = QStringLiteral("Message Box");
    const QString message = QStringLiteral("Message Text");
    const QString ok = QStringLiteral("OK");
    const int margin = 12;
    const QSize okSize(std::max(75, textWidth(m_fonts.message, ok) + 16),
                       std::max(23, textHeight(m_fonts.message) + 10));
    const int frame = 3 + 1; // the dialog frame, the line under the caption
    const int width =
        std::max({minWidth, textWidth(m_fonts.message, message) + 2 * margin + 2 * frame,
                  textWidth(m_fonts.caption, title) + m_metrics.captionWidth + 16 + 2 * frame,
                  okSize.width() + 2 * margin + 2 * frame});
    const int height = 2 * frame + m_metrics.captionHeight + margin + textHeight(m_fonts.message) +
                       margin + okSize.height() + margin;
    const QRect body = drawWindow(QRect(at, QSize(width, height)), true, false, false, title);
    fill(body, ButtonFace);
    const QRect line(body.left() + margin, body.top() + margin, body.width() - 2 * margin,
                     textHeight(m_fonts.message));
    text(line, Qt::AlignLeft | Qt::AlignVCenter, m_fonts.message, WindowText, message);

    // The default button: a frame in the window-frame colour around the
    // raised button.
    const QRect okButton(body.left() + (body.width() - okSize.width()) / 2,
                         body.bottom() - margin - okSize.height() + 1, okSize.width(),
                         okSize.height());
    ring(okButton, 1, WindowFrame);
    const QRect face = button(okButton.adjusted(1, 1, -1, -1));
    text(face, Qt::AlignCenter, m_fonts.message, ButtonText, ok);
}

void Scene::drawToolTip(QPoint at) {
    const QString tip = QStringLiteral("Tool Tip");
    const QRect box(at, QSize(textWidth(m_fonts.status, tip) + 8, textHeight(m_fonts.status) + 4));
    fill(box, InfoWindow);
    ring(box, 1, WindowFrame);
    text(box.adjusted(4, 2, -4, -2), Qt::AlignLeft | Qt::AlignVCenter, m_fonts.status, InfoText,
         tip);
    // The pointer that called it up, above and to the left.
    if (const QImage* arrow =
            picture(PictureKind::Pointer, m_doc.pointers[0], toQString(kPointerSlots[0].caption)))
        drawPicture(*arrow, QRect(at.x() - 12, at.y() - kIconSide - 2, kIconSide, kIconSide));
}

// The full Recycle Bin, in a small second view of the desktop.
void Scene::drawFullBin(const QRect& view) {
    const QRect inside = sunken(view);
    fill(inside, Background);
    drawDesktopIcon(QRect(inside.left(), inside.top() + 4, inside.width(), inside.height() - 4), 4,
                    QStringLiteral("Recycle Bin"));
}

void Scene::drawPointerStrip(const QRect& strip) {
    const QRect inside =
        button(strip).adjusted(kStripMargin, kStripMargin, -kStripMargin, -kStripMargin);
    const int cell = inside.width() / kPointerCount;
    for (int i = 0; i < kPointerCount; ++i) {
        const QImage* pointer =
            picture(PictureKind::Pointer, m_doc.pointers[i], toQString(kPointerSlots[i].caption));
        if (!pointer)
            continue; // an empty place
        const QRect place(inside.left() + i * cell + (cell - kIconSide) / 2, inside.top(),
                          std::min(kIconSide, cell), inside.height());
        drawPicture(*pointer, place);
    }
}

void Scene::draw(QSize size) {
    const QRect screen(QPoint(0, 0), size);
    fill(screen, Background);
    drawWallpaper(screen);

    const int stripHeight = kIconSide + 2 * kStripMargin + 4;
    const QRect desktop(0, 0, size.width(), std::max(0, size.height() - stripHeight));
    const auto x = [&](double f) { return desktop.left() + int(desktop.width() * f); };
    const auto y = [&](double f) { return desktop.top() + int(desktop.height() * f); };

    // The desktop icons down the left edge, one per icon-spacing cell.
    const QString titles[] = {QStringLiteral("My Computer"), QStringLiteral("Network Neighborhood"),
                              QStringLiteral("Recycle Bin")};
    for (int k = 0; k < 3; ++k)
        drawDesktopIcon(QRect(0, k * m_icons.vertSpacing, m_icons.horzSpacing, m_icons.vertSpacing),
                        kFirstDesktopIcon + k, titles[k]);
    const int viewWidth = std::max(m_icons.horzSpacing, 96);
    if (desktop.width() >= 480)
        drawFullBin(QRect(desktop.right() - viewWidth - 12, 12, viewWidth + 8,
                          kIconSide + textHeight(m_fonts.icon) * 2 + 20));

    // An application whose workspace shows behind the active window.
    const QRect inactive(x(0.14), y(0.05), x(0.64) - x(0.14), y(0.51) - y(0.05));
    const QRect workspace =
        sunken(drawWindow(inactive, false, true, true, QStringLiteral("Inactive Window")));
    fill(workspace, AppWorkspace);

    const QRect active(x(0.20), y(0.15), x(0.74) - x(0.20), y(0.66) - y(0.15));
    const QRect client =
        sunken(drawMenuBar(drawWindow(active, true, true, true, QStringLiteral("Active Window"))));
    fill(client, WindowColour);
    const int scrollWidth = std::min(m_metrics.scrollWidth, std::max(0, client.width() / 2));
    const QRect textArea = client.adjusted(4, 2, -scrollWidth - 4, 0);
    text(QRect(textArea.topLeft(), QSize(textArea.width(), textHeight(m_fonts.message))),
         Qt::AlignLeft | Qt::AlignVCenter, m_fonts.message, WindowText,
         QStringLiteral("Window Text"));
    drawScrollBar(
        QRect(client.right() - scrollWidth + 1, client.top(), scrollWidth, client.height()));

    drawMessageBox(QPoint(x(0.36), y(0.52)), x(0.66) - x(0.36));
    drawToolTip(QPoint(x(0.78), y(0.78)));
    drawPointerStrip(QRect(0, desktop.bottom() + 1, size.width(), stripHeight));
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

PreviewRendering renderPreview(const ThemeDocument& doc, QSize size, PreviewPictures& pictures) {
    const QSize bounded(std::clamp(size.width(), 1, kMaxPreviewSide),
                        std::clamp(size.height(), 1, kMaxPreviewSide));
    PreviewRendering out;
    out.image = QImage(bounded, QImage::Format_RGB32);
    if (out.image.isNull())
        return out; // no memory for it: an empty picture rather than a crash
    {
        // The painter ends with the scene, before the picture leaves.
        Scene scene(out.image, doc, pictures);
        scene.draw(bounded);
        out.absent = scene.absent();
    }
    return out;
}

} // namespace p95
