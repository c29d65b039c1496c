#pragma once

// Pictures of one flat colour in the formats a theme names, written into a
// test's own folder, and the pixels of a rendered preview counted.

#include "drive_support.h"
#include "editor/editor_test_support.h"
#include "platform/sound_files.h"

#include <QBuffer>
#include <QColor>
#include <QImage>

#include <initializer_list>

namespace p95::test {

inline QByteArray flatPicture(QRgb colour, QSize size, const char* format) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// An icon file with directory type 2 is a cursor file.
inline QByteArray flatCursor(QRgb colour) {
    QByteArray bytes = flatPicture(colour, QSize(32, 32), "ico");
    bytes[2] = 2;
    return bytes;
}

inline QByteArray riffChunk(const char* id, const QByteArray& data) {
    QByteArray out(id, 4);
    appendLe(out, quint32(data.size()), 4);
    return out + data + (data.size() % 2 ? QByteArray(1, '\0') : QByteArray());
}

// An animated cursor, one flat cursor per frame, with a "rate" chunk
// before the frames as the theme manager's own files have.
inline QByteArray animatedCursor(std::initializer_list<QRgb> frames) {
    QByteArray header(36, '\0');
    header[0] = 36;
    header[4] = char(frames.size());
    header[32] = 1; // the frames are icon files
    QByteArray list("fram");
    for (QRgb frame : frames)
        list += riffChunk("icon", flatCursor(frame));
    return riffChunk("RIFF", QByteArray("ACON") + riffChunk("anih", header) +
                                 riffChunk("rate", QByteArray(4 * int(frames.size()), '\x0a')) +
                                 riffChunk("LIST", list));
}

inline qsizetype countPixels(const QImage& image, QRgb colour, int tolerance = 0) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    qsizetype n = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = line[x];
            if (qAbs(qRed(p) - qRed(colour)) <= tolerance &&
                qAbs(qGreen(p) - qGreen(colour)) <= tolerance &&
                qAbs(qBlue(p) - qBlue(colour)) <= tolerance)
                ++n;
        }
    }
    return n;
}

} // namespace p95::test
