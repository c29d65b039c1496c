#pragma once

// What the CLI's JSON document form must do with any input, shared by the
// fuzz target and the regression test: refuse with a reason, or give a
// document that the writer can write and that survives a round trip.
// Returns the first broken rule, or an empty string.

#include "cli/document_json.h"
#include "theme/theme_writer.h"

#include <QJsonDocument>

namespace p95::fuzz {

inline QString checkDocumentJson(const QByteArray& json) {
    auto doc = documentFromJson(json);
    if (!doc)
        return doc.error().reason.isEmpty() ? QStringLiteral("a refusal without a reason")
                                            : QString();
    if (!themeFileBytes(doc.value()).ok())
        return QStringLiteral("an accepted document cannot be written");
    const QByteArray again = QJsonDocument(documentToJson(doc.value())).toJson();
    auto back = documentFromJson(again);
    if (!back || !(back.value() == doc.value()))
        return QStringLiteral("an accepted document does not survive a round trip");
    return {};
}

} // namespace p95::fuzz
