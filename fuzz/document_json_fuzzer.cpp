// The CLI's JSON document form: any input is either refused with a reason or
// gives a document that the writer can write and that survives a round trip.

#include "cli/document_json.h"
#include "theme/theme_writer.h"

#include <QJsonDocument>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray json(reinterpret_cast<const char*>(data), qsizetype(size));
    auto doc = p95::documentFromJson(json);
    if (!doc) {
        if (doc.error().reason.isEmpty())
            std::abort();
        return 0;
    }
    if (!p95::themeFileBytes(doc.value()).ok())
        std::abort(); // accepted text must be writable
    const QByteArray again = QJsonDocument(p95::documentToJson(doc.value())).toJson();
    auto back = p95::documentFromJson(again);
    if (!back || !(back.value() == doc.value()))
        std::abort();
    return 0;
}
