#include "platform/pictures/picture_loader.h"

#include "platform/drive.h"
#include "platform/text_file.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>

namespace p95 {

namespace {

// Pictures larger than this are not the program's kind of file.
constexpr qint64 kMaxPictureBytes = qint64(32) << 20;
constexpr int kDirectoryHeader = 6;
constexpr int kDirectoryEntry = 16;

quint16 le16(const QByteArray& bytes, qsizetype at) {
    return quint16(quint8(bytes.at(at)) | (quint8(bytes.at(at + 1)) << 8));
}

// The resource type of an icon or cursor directory (1 or 2), or 0. A
// directory must hold at least one entry, and all its entries must fit.
int resourceType(const QByteArray& bytes) {
    if (bytes.size() < kDirectoryHeader + kDirectoryEntry)
        return 0;
    if (le16(bytes, 0) != 0)
        return 0;
    const int type = le16(bytes, 2);
    const int count = le16(bytes, 4);
    if ((type != 1 && type != 2) || count == 0)
        return 0;
    if (bytes.size() < kDirectoryHeader + qsizetype(count) * kDirectoryEntry)
        return 0;
    return type;
}

// Qt decodes a bitmap whose pixel rows are cut short and fills the rest in;
// such a file is corrupt, so an uncompressed bitmap must hold all its rows.
bool bitmapCutShort(const QByteArray& bytes) {
    if (bytes.size() < 34 || !bytes.startsWith("BM"))
        return false;
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };
    const quint32 offBits = u32(10);
    const quint32 infoSize = u32(14);
    if (infoSize < 40)
        return false; // an OS/2 core header: leave it to the reader
    const qint64 width = qint32(u32(18));
    const qint64 height = qAbs(qint64(qint32(u32(22))));
    const quint16 bitCount = u16(28);
    const quint32 compression = u32(30);
    if (compression != 0 && compression != 3) // BI_RGB, BI_BITFIELDS
        return false;
    const qint64 stride = ((width * bitCount + 31) / 32) * 4;
    return qint64(offBits) + stride * height > bytes.size();
}

Error notAPicture(const QString& name, const QString& reason) {
    return Error{QStringLiteral("Loading the picture"), name, reason};
}

// Index of the image a picture box shows: the deepest 32x32 one, else the
// first.
qsizetype shownIndex(const QList<QImage>& images) {
    qsizetype best = -1;
    for (qsizetype i = 0; i < images.size(); ++i) {
        const QImage& image = images.at(i);
        if (image.size() != QSize(32, 32))
            continue;
        if (best < 0 || image.depth() > images.at(best).depth())
            best = i;
    }
    return best < 0 ? 0 : best;
}

Result<QByteArray> readFile(const QString& path) {
    if (path.isEmpty())
        return notAPicture(path, QStringLiteral("No file named"));
    const Result<QString> host = hostPath(path);
    if (!host.ok())
        return notAPicture(path, host.error().reason);
    Result<QByteArray> bytes = readWholeFile(host.value(), kMaxPictureBytes);
    if (!bytes.ok())
        return notAPicture(path, bytes.error().reason);
    return bytes;
}

} // namespace

bool isIconFile(const QByteArray& bytes) {
    return resourceType(bytes) == 1;
}

bool isCursorFile(const QByteArray& bytes) {
    return resourceType(bytes) == 2;
}

Result<QList<QImage>> decodePictureImages(const QByteArray& bytes, const QString& name) {
    // Qt's icon reader takes cursor files (type 2) as well; it is named
    // outright for both, as its content check alone is weak.
    const int type = resourceType(bytes);

    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, type != 0 ? QByteArray("ico") : QByteArray());
    reader.setDecideFormatFromContent(type == 0);
    if (!reader.canRead())
        return notAPicture(name, QStringLiteral("Not a picture"));
    // Bitmaps, icons and cursors only: what the theme manager's slots take.
    const QByteArray format = reader.format().toLower();
    if (format != "bmp" && format != "dib" && format != "ico" && format != "cur")
        return notAPicture(name, QStringLiteral("A %1 picture, not a bitmap, icon or cursor")
                                     .arg(QString::fromLatin1(format)));
    if (bitmapCutShort(bytes))
        return notAPicture(name, QStringLiteral("The picture is cut short"));

    QList<QImage> images;
    const int count = qMax(1, reader.imageCount());
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        QImage image = reader.read();
        if (!image.isNull())
            images << image;
        else if (i == 0 && type == 0)
            break;
    }
    if (images.isEmpty())
        return notAPicture(name, QStringLiteral("Not a picture"));
    return images;
}

Result<CursorImage> decodeCursor(const QByteArray& bytes, const QString& name) {
    if (!isCursorFile(bytes))
        return Error{QStringLiteral("Loading the pointer"), name,
                     QStringLiteral("Not a cursor file")};
    Result<QList<QImage>> images = decodePictureImages(bytes, name);
    if (!images.ok())
        return Error{QStringLiteral("Loading the pointer"), name, images.error().reason};

    // The directory entry of the shown image holds its hotspot. Should the
    // reader have dropped an image it could not read, find the entry by size.
    const qsizetype index = shownIndex(images.value());
    const QImage& image = images.value().at(index);
    const int count = le16(bytes, 4);
    qsizetype entry = kDirectoryHeader + qMin<qsizetype>(index, count - 1) * kDirectoryEntry;
    if (images.value().size() != count) {
        for (int i = 0; i < count; ++i) {
            const qsizetype at = kDirectoryHeader + qsizetype(i) * kDirectoryEntry;
            const int w = quint8(bytes.at(at)) == 0 ? 256 : quint8(bytes.at(at));
            const int h = quint8(bytes.at(at + 1)) == 0 ? 256 : quint8(bytes.at(at + 1));
            if (QSize(w, h) == image.size()) {
                entry = at;
                break;
            }
        }
    }
    // A hostile header may put the hotspot outside the image.
    const int x = qBound(0, int(le16(bytes, entry + 4)), image.width() - 1);
    const int y = qBound(0, int(le16(bytes, entry + 6)), image.height() - 1);
    return CursorImage{image, QPoint(x, y)};
}

Result<QList<QImage>> readPictureImages(const QString& path) {
    const Result<QByteArray> bytes = readFile(path);
    if (!bytes.ok())
        return bytes.error();
    return decodePictureImages(bytes.value(), path);
}

Result<QImage> readPicture(const QString& path) {
    const Result<QList<QImage>> images = readPictureImages(path);
    if (!images.ok())
        return images.error();
    return images.value().at(shownIndex(images.value()));
}

Result<CursorImage> readCursor(const QString& path) {
    const Result<QByteArray> bytes = readFile(path);
    if (!bytes.ok())
        return Error{QStringLiteral("Loading the pointer"), path, bytes.error().reason};
    return decodeCursor(bytes.value(), path);
}

} // namespace p95

namespace p95 {

namespace {

quint32 le32(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

} // namespace

bool isAnimatedCursorFile(const QByteArray& bytes) {
    return bytes.size() >= 12 && bytes.startsWith("RIFF") && bytes.mid(8, 4) == "ACON";
}

Status checkAnimatedCursorFile(const QString& path) {
    const QString step = QStringLiteral("Checking the animated pointer");
    const Result<QString> host = hostPath(path);
    if (!host.ok())
        return Error{step, path, host.error().reason};
    QFile file;
    if (const Status opened = openRegularFile(file, host.value()); !opened.ok())
        return Error{step, path, opened.error().reason};
    if (!isAnimatedCursorFile(file.read(12)))
        return Error{step, path, QStringLiteral("not a RIFF \"ACON\" file")};
    return {};
}

Result<QByteArray> firstAnimatedFrame(const QByteArray& bytes, const QString& name) {
    const auto broken = [&name](const QString& reason) {
        return Error{QStringLiteral("Loading the animated pointer"), name, reason};
    };
    if (!isAnimatedCursorFile(bytes))
        return broken(QStringLiteral("Not an animated cursor file"));
    // Chunk sizes come from the file: every one is checked against what is
    // really there, in 64 bits, so a hostile size can neither overflow nor
    // read past the end.
    const qint64 end = std::min<qint64>(bytes.size(), 8 + qint64(le32(bytes, 4)));
    qint64 at = 12;
    while (at + 8 <= end) {
        const QByteArray id = bytes.mid(at, 4);
        const qint64 size = std::min<qint64>(le32(bytes, at + 4), end - at - 8);
        const qint64 data = at + 8;
        if (id == "LIST" && size >= 4 && bytes.mid(data, 4) == "fram") {
            const qint64 listEnd = data + size;
            qint64 sub = data + 4;
            while (sub + 8 <= listEnd) {
                const qint64 subSize = std::min<qint64>(le32(bytes, sub + 4), listEnd - sub - 8);
                if (bytes.mid(sub, 4) == "icon")
                    return bytes.mid(sub + 8, subSize);
                sub += 8 + subSize + (subSize & 1);
            }
            return broken(QStringLiteral("The animated cursor holds no frame"));
        }
        at = data + size + (size & 1);
    }
    return broken(QStringLiteral("The animated cursor holds no frame"));
}

Result<QImage> decodePointerPicture(const QByteArray& bytes, const QString& name) {
    QByteArray picture = bytes;
    if (isAnimatedCursorFile(bytes)) {
        Result<QByteArray> frame = firstAnimatedFrame(bytes, name);
        if (!frame.ok())
            return frame.error();
        picture = frame.value();
    }
    const Result<QList<QImage>> images = decodePictureImages(picture, name);
    if (!images.ok())
        return images.error();
    return images.value().at(shownIndex(images.value()));
}

Result<QImage> decodeWallpaper(const QByteArray& bytes, const QString& name) {
    if (!bytes.startsWith("\xFF\xD8\xFF")) {
        // Not a JPEG: a bitmap, as the Visuals tab shows it.
        const Result<QList<QImage>> images = decodePictureImages(bytes, name);
        if (!images.ok())
            return images.error();
        if (resourceType(bytes) != 0)
            return notAPicture(name, QStringLiteral("An icon, not a bitmap or JPEG picture"));
        return images.value().first();
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, QByteArray("jpeg"));
    QImage image = reader.read();
    if (image.isNull())
        return notAPicture(name, reader.errorString());
    return image;
}

Result<QImage> readWallpaper(const QString& path) {
    const Result<QByteArray> bytes = readFile(path);
    if (!bytes.ok())
        return bytes.error();
    return decodeWallpaper(bytes.value(), path);
}

Result<QImage> readPointerPicture(const QString& path) {
    const Result<QByteArray> bytes = readFile(path);
    if (!bytes.ok())
        return bytes.error();
    return decodePointerPicture(bytes.value(), path);
}

} // namespace p95
