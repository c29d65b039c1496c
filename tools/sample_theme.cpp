#include "tools/sample_theme.h"

#include "colour/presets.h"
#include "platform/drive.h"
#include "theme/theme_document.h"
#include "theme/theme_writer.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace p95 {

namespace {

constexpr int kSide = 32;
constexpr int kHandwriting = 6;

// The classic arrow, tip at (1, 1).
QPainterPath arrowPath() {
    QPainterPath path;
    path.moveTo(1, 1);
    path.lineTo(1, 22);
    path.lineTo(6, 17);
    path.lineTo(10, 26);
    path.lineTo(13, 25);
    path.lineTo(9, 16);
    path.lineTo(16, 16);
    path.closeSubpath();
    return path;
}

// A double-headed arrow through the centre at the given angle (degrees).
void doubleArrow(QPainter& p, qreal degrees) {
    p.save();
    p.translate(16, 16);
    p.rotate(degrees);
    QPainterPath path;
    path.moveTo(-14, 0);
    path.lineTo(-8, -6);
    path.lineTo(-8, -2);
    path.lineTo(8, -2);
    path.lineTo(8, -6);
    path.lineTo(14, 0);
    path.lineTo(8, 6);
    path.lineTo(8, 2);
    path.lineTo(-8, 2);
    path.lineTo(-8, 6);
    path.closeSubpath();
    p.drawPath(path);
    p.restore();
}

// An hourglass whose sand has run from the top to the bottom by `run` (0..1).
void hourglass(QPainter& p, QRectF box, qreal run) {
    const qreal middle = box.center().x();
    QPainterPath glass;
    glass.moveTo(box.left(), box.top());
    glass.lineTo(box.right(), box.top());
    glass.lineTo(middle + 1, box.center().y());
    glass.lineTo(box.right(), box.bottom());
    glass.lineTo(box.left(), box.bottom());
    glass.lineTo(middle - 1, box.center().y());
    glass.closeSubpath();
    p.save();
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::white);
    p.drawPath(glass);
    p.setClipPath(glass);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(160, 120, 40));
    const qreal half = box.height() / 2;
    p.drawRect(QRectF(box.left(), box.top() + half * run, box.width(), half * (1 - run)));
    p.drawRect(QRectF(box.left(), box.bottom() - half * run, box.width(), half * run));
    p.restore();
    p.fillRect(QRectF(box.left() - 2, box.top() - 2, box.width() + 4, 2), Qt::black);
    p.fillRect(QRectF(box.left() - 2, box.bottom(), box.width() + 4, 2), Qt::black);
}

// The picture of pointer slot i, black with a white outline as Windows draws
// them; `frame` moves the sand of the two busy pointers.
QImage pointerImage(int i, int frame = 0) {
    QImage image(kSide, kSide, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 1.2));
    p.setBrush(Qt::black);
    switch (i) {
    case 2: // working in background: the arrow with a small hourglass
        p.drawPath(arrowPath());
        hourglass(p, QRectF(17, 14, 10, 14), frame * 0.5);
        break;
    case 3: // busy: the hourglass
        hourglass(p, QRectF(9, 4, 14, 24), frame * 0.5);
        break;
    case 4: // precision: cross-hair
        p.setPen(QPen(Qt::black, 2));
        p.drawLine(16, 2, 16, 30);
        p.drawLine(2, 16, 30, 16);
        break;
    case 5: // text: I-beam
        p.setPen(QPen(Qt::black, 2));
        p.drawLine(16, 4, 16, 28);
        p.drawLine(11, 4, 21, 4);
        p.drawLine(11, 28, 21, 28);
        break;
    case 7: // unavailable: a circle with a bar
        p.setPen(QPen(Qt::black, 3));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(16, 16), 11, 11);
        p.drawLine(QPointF(8, 8), QPointF(24, 24));
        break;
    case 8:
        doubleArrow(p, 90);
        break;
    case 9:
        doubleArrow(p, 0);
        break;
    case 10:
        doubleArrow(p, 45);
        break;
    case 11:
        doubleArrow(p, -45);
        break;
    case 12: // move: four heads
        doubleArrow(p, 0);
        doubleArrow(p, 90);
        break;
    case 13: { // alternate: upward arrow
        QPainterPath path;
        path.moveTo(16, 2);
        path.lineTo(26, 14);
        path.lineTo(19, 14);
        path.lineTo(19, 30);
        path.lineTo(13, 30);
        path.lineTo(13, 14);
        path.lineTo(6, 14);
        path.closeSubpath();
        p.drawPath(path);
        break;
    }
    default: // the select pointers: the arrow, with a sign of their role
        p.drawPath(arrowPath());
        if (i == 1) {
            p.setPen(QPen(Qt::black, 2));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(19, 3, 9, 9), 180 * 16, -250 * 16);
            p.drawLine(QPointF(23.5, 12), QPointF(23.5, 16));
            p.drawPoint(QPointF(23.5, 19));
        }
        break;
    }
    return image;
}

// A desktop icon: a computer, two networked computers, or a waste-paper bin.
QImage iconImage(int k) {
    QImage image(kSide, kSide, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setPen(QPen(Qt::black, 1));
    auto computer = [&](QRectF screen) {
        p.setBrush(QColor(192, 192, 192));
        p.drawRect(screen.adjusted(-2, -2, 2, 2));
        p.setBrush(QColor(0, 128, 128));
        p.drawRect(screen);
        p.setBrush(QColor(192, 192, 192));
        const qreal middle = screen.center().x();
        p.drawRect(QRectF(middle - 5, screen.bottom() + 2, 10, 3));
    };
    if (k == 1) {
        computer(QRectF(6, 4, 20, 15));
        p.drawRect(QRectF(4, 25, 24, 5));
    } else if (k == 2) {
        computer(QRectF(3, 4, 12, 9));
        computer(QRectF(17, 15, 12, 9));
        p.setPen(QPen(Qt::black, 1.5));
        p.drawLine(9, 22, 9, 29);
        p.drawLine(9, 29, 23, 29);
    } else {
        // Recycle bin: 3 empty, 4 full.
        QPainterPath bin;
        bin.moveTo(7, 9);
        bin.lineTo(25, 9);
        bin.lineTo(22, 30);
        bin.lineTo(10, 30);
        bin.closeSubpath();
        if (k == 4) {
            p.setBrush(Qt::white);
            p.drawRect(QRectF(9, 3, 8, 8));
            p.drawRect(QRectF(15, 2, 8, 9));
        }
        p.setBrush(QColor(160, 176, 192));
        p.drawPath(bin);
        for (int x = 12; x <= 20; x += 4)
            p.drawLine(x, 12, x, 27);
    }
    return image;
}

// The wallpaper: sky, sun and sea in bands.
QImage wallpaperImage() {
    QImage image(640, 480, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, 300);
    sky.setColorAt(0, QColor(255, 190, 120));
    sky.setColorAt(1, QColor(255, 230, 180));
    p.fillRect(0, 0, 640, 300, sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 120, 60));
    p.drawEllipse(QPointF(420, 290), 70, 70);
    for (int band = 0; band < 9; ++band) {
        const int top = 290 + band * 22;
        p.setBrush(QColor(0, 70 + band * 8, 130 + band * 10));
        QPainterPath wave;
        wave.moveTo(0, top);
        for (int x = 0; x <= 640; x += 16)
            wave.lineTo(x, top + 4 * std::sin((x + band * 37) / 30.0));
        wave.lineTo(640, 480);
        wave.lineTo(0, 480);
        wave.closeSubpath();
        p.drawPath(wave);
    }
    return image;
}

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A cursor file is an icon file with directory type 2 and a hot spot in the
// places an icon keeps its planes and bit count.
QByteArray cursorFile(const QImage& image, QPoint hotspot) {
    QByteArray bytes = encoded(image, "ico");
    if (bytes.size() < 14)
        return bytes;
    bytes[2] = 2;
    bytes[10] = char(hotspot.x());
    bytes[11] = 0;
    bytes[12] = char(hotspot.y());
    bytes[13] = 0;
    return bytes;
}

// The low `bytes` bytes of value, least significant first, as RIFF files keep numbers.
void appendLittleEndian(QByteArray& out, quint32 value, int bytes = 4) {
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xff));
}

QByteArray chunk(const char* id, const QByteArray& data) {
    QByteArray out(id, 4);
    appendLittleEndian(out, quint32(data.size()));
    out += data;
    if (data.size() % 2)
        out.append('\0');
    return out;
}

// An animated cursor: a RIFF "ACON" file with a header and one cursor file
// per frame, shown a third of a second each.
QByteArray animatedCursorFile(int slot, QPoint hotspot) {
    constexpr int kFrames = 3;
    QByteArray header;
    // Size, frames, steps, four unused, rate in sixtieths, frames are icons.
    for (const quint32 value : {36u, quint32(kFrames), quint32(kFrames), 0u, 0u, 0u, 0u, 20u, 1u})
        appendLittleEndian(header, value);
    QByteArray frames("fram");
    for (int frame = 0; frame < kFrames; ++frame)
        frames += chunk("icon", cursorFile(pointerImage(slot, frame), hotspot));
    return chunk("RIFF", QByteArray("ACON") + chunk("anih", header) + chunk("LIST", frames));
}

// A short, quiet wave file: 8-bit mono silence.
QByteArray waveFile() {
    const quint32 samples = 2205;
    QByteArray out;
    out += "RIFF";
    appendLittleEndian(out, 36 + samples, 4);
    out += "WAVEfmt ";
    appendLittleEndian(out, 16, 4);
    appendLittleEndian(out, 1, 2);     // PCM
    appendLittleEndian(out, 1, 2);     // mono
    appendLittleEndian(out, 22050, 4); // sample rate
    appendLittleEndian(out, 22050, 4); // byte rate
    appendLittleEndian(out, 1, 2);     // block align
    appendLittleEndian(out, 8, 2);     // bits per sample
    out += "data";
    appendLittleEndian(out, samples, 4);
    out += QByteArray(int(samples), char(0x80));
    return out;
}

Status writeBytes(const QString& windowsPath, const QByteArray& bytes) {
    const QString step = QStringLiteral("Writing the sample theme");
    auto host = hostPath(windowsPath);
    if (!host)
        return Error{step, windowsPath, host.error().reason};
    QDir().mkpath(QFileInfo(host.value()).absolutePath());
    QFile file(host.value());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return Error{step, windowsPath, file.errorString()};
    return {};
}

} // namespace

Result<QString> writeSampleTheme(const QString& name) {
    ThemeDocument doc;
    doc.name = name;
    // Two animated pointers (shown by their placeholder), the rest drawn.
    for (int i = 0; i < kPointerCount; ++i)
        doc.pointers[i] = QStringLiteral("sample%1").arg(i == 2 || i == 3 ? ".ani" : ".cur");
    // Most sounds, so that some play pictures stay hidden.
    for (int i = 0; i < kSoundCount; ++i) {
        if (i % 3 != 2)
            doc.sounds[i] = QStringLiteral("sample.wav");
    }
    doc.icons[kWallpaperIndex] = QStringLiteral("sample.bmp");
    for (int k = kFirstDesktopIcon; k <= kLastDesktopIcon; ++k)
        doc.icons[k] = QStringLiteral("sample.ico");
    doc.icons[kScreenSaverIndex] = QStringLiteral("sample.scr");
    const Preset& travel = kPresets[10];
    for (int i = 0; i < kColourCount; ++i)
        doc.colours[i] = toQString(travel.colours[i]);

    // Every file under the name the theme file gives it.
    const QString directory = themeDirectory(name) + QLatin1Char('\\');
    const QByteArray wave = waveFile();
    // The program's own pen for "Handwriting", when it is installed.
    QByteArray pen;
    if (auto penFile = hostPath(programDirectory() + QStringLiteral("\\pen.cuz"))) {
        QFile file(penFile.value());
        if (file.open(QIODevice::ReadOnly))
            pen = file.readAll();
    }
    for (SlotRef slot : copyOrder()) {
        if (doc.isEmpty(slot))
            continue;
        QByteArray bytes;
        switch (slot.family) {
        case SlotFamily::Pointer:
            if (doc.pointers[slot.index].endsWith(QStringLiteral(".ani")))
                bytes =
                    animatedCursorFile(slot.index, slot.index == 3 ? QPoint(16, 16) : QPoint(1, 1));
            else if (slot.index == kHandwriting && !pen.isEmpty())
                bytes = pen;
            else
                bytes = cursorFile(pointerImage(slot.index), QPoint(1, 1));
            break;
        case SlotFamily::Sound:
            bytes = wave;
            break;
        case SlotFamily::Icons:
            if (slot.index == kWallpaperIndex)
                bytes = encoded(wallpaperImage(), "bmp");
            else if (slot.index == kScreenSaverIndex)
                bytes = QByteArray("MZ sample screen saver");
            else
                bytes = encoded(iconImage(slot.index), "ico");
            break;
        }
        if (Status written = writeBytes(directory + standardFileName(doc, slot), bytes);
            !written.ok())
            return written.error();
    }

    auto lines = themeFileBytes(doc);
    if (!lines)
        return lines.error();
    const QString themeFile = themeFilePath(name);
    if (Status written = writeBytes(themeFile, lines.value()); !written.ok())
        return written.error();
    return themeFile;
}

} // namespace p95
