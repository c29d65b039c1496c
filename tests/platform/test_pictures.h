#pragma once

// Small pictures made on the spot, in the formats the picture probe accepts.

#include <QBuffer>
#include <QByteArray>
#include <QImage>

namespace p95::test {

inline QByteArray pictureBytes(const char* format) {
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(qRgba(0, 128, 128, 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

inline QByteArray bmpBytes() {
    return pictureBytes("bmp");
}
inline QByteArray icoBytes() {
    return pictureBytes("ico");
}
inline QByteArray jpegBytes() {
    return pictureBytes("jpeg");
}

// A cursor file is an icon file with directory type 2 and a hot spot where
// the icon has its planes and bit count.
inline QByteArray curBytes() {
    QByteArray bytes = icoBytes();
    bytes[2] = 2;
    bytes[10] = 3; // hot spot x
    bytes[11] = 0;
    bytes[12] = 4; // hot spot y
    bytes[13] = 0;
    return bytes;
}

} // namespace p95::test
