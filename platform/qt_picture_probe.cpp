#include "platform/qt_picture_probe.h"

#include "platform/drive.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QtEndian>

namespace p95 {

namespace {

// Qt decodes a bitmap whose pixel rows are cut short and fills the rest in;
// such a file is corrupt, so an uncompressed bitmap must hold all its rows.
bool bitmapCutShort(const QString& hostPath, qint64 fileSize) {
    QFile file(hostPath);
    if (!file.open(QIODevice::ReadOnly))
        return false; // the reader has already read it; let it decide
    const QByteArray head = file.read(34);
    if (head.size() < 34 || !head.startsWith("BM"))
        return false;
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(head.constData() + at); };
    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(head.constData() + at); };
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
    return qint64(offBits) + stride * height > fileSize;
}

} // namespace

Status QtPictureProbe::probe(const QString& path) const {
    const QString step = QStringLiteral("Loading a picture");
    const auto host = hostPath(path);
    if (!host)
        return Error{step, path, host.error().reason};
    const QFileInfo info(host.value());
    if (!info.exists())
        return Error{step, path, QStringLiteral("file not found")};
    if (!info.isFile())
        return Error{step, path, QStringLiteral("not a file")};

    QImageReader reader(host.value());
    // By content, never by name. Qt's ico handler reads cursor files too
    // (directory type 2) and reports them as "ico".
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format().toLower();
    if (format.isEmpty())
        return Error{step, path, QStringLiteral("not a picture")};
    if (format != "bmp" && format != "dib" && format != "ico" && format != "cur") {
        return Error{step, path,
                     QStringLiteral("a %1 picture, not a bitmap, icon or cursor")
                         .arg(QString::fromLatin1(format))};
    }
    if (reader.read().isNull())
        return Error{step, path, reader.errorString()};
    if ((format == "bmp" || format == "dib") && bitmapCutShort(host.value(), info.size()))
        return Error{step, path, QStringLiteral("the picture is cut short")};
    return std::nullopt;
}

} // namespace p95
