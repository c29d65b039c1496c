// The one-pass theme reader and the step-by-step reference on the same bytes:
// any difference in what they read, say or ask for is a finding.

#include "fuzz/theme_reader_diff_check.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString difference = p95::fuzz::checkThemeReaderAgainstReference(bytes);
    if (!difference.isEmpty()) {
        std::fprintf(stderr, "theme reader differs: %s\n", qPrintable(difference));
        std::abort();
    }
    return 0;
}
