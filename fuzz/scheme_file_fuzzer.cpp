// Colour scheme files of any bytes: refused with a reason and nothing
// changed, or 25 colour texts that save and load back the same.

#include "fuzz/scheme_file_check.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString broken = p95::fuzz::checkSchemeLoading(bytes);
    if (!broken.isEmpty()) {
        std::fprintf(stderr, "scheme file: %s\n", qPrintable(broken));
        std::abort();
    }
    return 0;
}
