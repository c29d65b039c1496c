#pragma once

// Windows-1252, the single-byte code page of every text file the program
// reads or writes. Each byte is one character, so character positions in the
// reading rules are byte positions.

#include <QByteArray>
#include <QString>

#include <optional>

namespace p95 {

// Every byte decodes to one character (the five bytes Windows-1252 leaves
// undefined come back as the matching C1 control characters).
QString decodeWindows1252(const QByteArray& bytes);

// Empty when the text holds a character Windows-1252 cannot write; never a "?".
std::optional<QByteArray> encodeWindows1252(const QString& text);

bool fitsWindows1252(const QString& text);

// The first character of text that Windows-1252 cannot hold, for messages.
QString firstUnencodable(const QString& text);

} // namespace p95
