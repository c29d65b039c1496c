// The install's archive handling on any bytes, through libarchive's memory
// reader: never a crash or a hang, and every reading and placement keeps the
// rules in package_check.h.

#include "fuzz/package_check.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString broken = p95::fuzz::checkPackage(bytes);
    if (!broken.isEmpty()) {
        std::fprintf(stderr, "package: %s\n", qPrintable(broken));
        std::abort();
    }
    return 0;
}
