#pragma once

// The JSON form of a theme document, shared by every command of
// paletteer95-cli: one object, every field optional, a missing field keeps
// the value it had.

#include "platform/error.h"
#include "theme/theme_document.h"

#include <QByteArray>
#include <QJsonObject>
#include <QStringList>

namespace p95 {

// Reads a document from JSON on top of base. An error's reason is one line
// that names the field at fault. A "messages" field (the output of read) is
// ignored, so read's output can be fed back.
Result<ThemeDocument> documentFromJson(const QByteArray& json,
                                       const ThemeDocument& base = ThemeDocument());

QJsonObject documentToJson(const ThemeDocument& doc);

} // namespace p95
