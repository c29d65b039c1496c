// Lines and fields of the sequential text input: never a crash, never a
// hang, and every read makes progress (sequential_input_check.h).

#include "fuzz/sequential_input_check.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString broken = p95::fuzz::checkSequentialInput(bytes);
    if (!broken.isEmpty()) {
        std::fprintf(stderr, "sequential input: %s\n", qPrintable(broken));
        std::abort();
    }
    return 0;
}
