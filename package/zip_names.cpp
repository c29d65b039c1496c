#include "package/zip_names.h"

#include <QStringDecoder>

#include <unistd.h>

namespace p95 {

namespace {

quint32 le(const char* p, int bytes) {
    quint32 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | quint8(p[i]);
    return value;
}

// Bytes of the input at an offset; fewer at its end.
QByteArray readAt(const ArchiveInput& input, qint64 offset, qint64 length) {
    if (input.bytes)
        return input.bytes->mid(offset, length);
    QByteArray bytes(length, Qt::Uninitialized);
    const ssize_t n = ::pread(input.fd, bytes.data(), size_t(length), offset);
    bytes.resize(n < 0 ? 0 : n);
    return bytes;
}

} // namespace

QHash<QString, QString> zipDecomposedNames(const ArchiveInput& input) {
    QHash<QString, QString> names;
    const qint64 size = input.size();
    // The end record, within the last 64 KiB (its comment is at most that).
    const qint64 tailStart = std::max<qint64>(0, size - (65535 + 22));
    const QByteArray tail = readAt(input, tailStart, size - tailStart);
    const qsizetype end = tail.lastIndexOf("PK\5\6");
    if (end < 0 || end + 22 > tail.size())
        return names;
    const qint64 directorySize = le(tail.constData() + end + 12, 4);
    const qint64 directoryOffset = le(tail.constData() + end + 16, 4);
    if (directoryOffset + directorySize > size || directorySize > (qint64(64) << 20))
        return names;
    const QByteArray directory = readAt(input, directoryOffset, directorySize);
    for (qsizetype at = 0; at + 46 <= directory.size();) {
        const char* h = directory.constData() + at;
        if (le(h, 4) != 0x02014b50)
            break;
        const qsizetype nameLength = le(h + 28, 2);
        const qsizetype rest = nameLength + le(h + 30, 2) + le(h + 32, 2);
        if (at + 46 + rest > directory.size())
            break;
        const QByteArray raw = directory.mid(at + 46, nameLength);
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString name = utf8.decode(raw);
        if (!utf8.hasError()) {
            const QString composed = name.normalized(QString::NormalizationForm_C);
            if (composed != name)
                names.insert(composed, name);
        }
        at += 46 + rest;
    }
    return names;
}

} // namespace p95
