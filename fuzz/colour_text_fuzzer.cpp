// Colour text as the picker reads it: never a crash, and the rules in
// colour_text_check.h.

#include "fuzz/colour_text_check.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString broken = p95::fuzz::checkColourText(bytes);
    if (!broken.isEmpty()) {
        std::fprintf(stderr, "colour text: %s\n", qPrintable(broken));
        std::abort();
    }
    return 0;
}
