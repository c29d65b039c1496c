// The theme reader on any bytes: never a crash or a hang, and every reading
// keeps the rules in theme_reader_check.h.

#include "fuzz/theme_reader_check.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString broken = p95::fuzz::checkThemeReading(bytes);
    if (!broken.isEmpty()) {
        std::fprintf(stderr, "theme reader: %s\n", qPrintable(broken));
        std::abort();
    }
    return 0;
}
