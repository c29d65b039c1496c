#include "platform/text_codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace p95 {

QString decodeWindows1252(const QByteArray& bytes) {
    QStringDecoder decoder("windows-1252", QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    // One character per byte is what the reading rules count on; fall back
    // byte by byte should the codec ever merge or drop one.
    if (decoder.hasError() || text.size() != bytes.size()) {
        text.clear();
        text.reserve(bytes.size());
        for (char c : bytes) {
            QStringDecoder single("windows-1252", QStringDecoder::Flag::Stateless);
            const QString one = single.decode(QByteArray(1, c));
            text += one.size() == 1 ? one.at(0) : QChar(static_cast<unsigned char>(c));
        }
    }
    return text;
}

std::optional<QByteArray> encodeWindows1252(const QString& text) {
    QStringEncoder encoder("windows-1252", QStringEncoder::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError() || bytes.size() != text.size())
        return std::nullopt;
    // The codec may substitute rather than report; a round trip proves it did not.
    if (decodeWindows1252(bytes) != text)
        return std::nullopt;
    return bytes;
}

bool fitsWindows1252(const QString& text) {
    return encodeWindows1252(text).has_value();
}

QString firstUnencodable(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype len = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString piece = text.mid(i, len);
        if (!fitsWindows1252(piece))
            return piece;
        i += len - 1;
    }
    return {};
}

} // namespace p95
