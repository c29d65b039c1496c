// The CLI's JSON document form on any input: see document_json_check.h.

#include "fuzz/document_json_check.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray json(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString broken = p95::fuzz::checkDocumentJson(json);
    if (!broken.isEmpty()) {
        std::fprintf(stderr, "document json: %s\n", qPrintable(broken));
        std::abort();
    }
    return 0;
}
