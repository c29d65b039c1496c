// The tip file of any bytes: no crash, no hang (a huge line 1 included),
// and every draw shows one of the tips.

#include "fuzz/tip_file_check.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString broken = p95::fuzz::checkTipFile(bytes);
    if (!broken.isEmpty()) {
        std::fprintf(stderr, "tip file: %s\n", qPrintable(broken));
        std::abort();
    }
    return 0;
}
