// The tip file's rules on any bytes: never a crash, never a hang, and a draw
// always lands on a tip line that exists (never line 1).

#include "app/tip_file.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const p95::TipFile file = p95::parseTipFile(bytes);
    if (file.tips.size() > qsizetype(size))
        std::abort();
    for (double r : {0.0, 0.5, 0.999999, 1.0, -1.0}) {
        const auto k = p95::drawTipLine(file, [r] { return r; });
        if (file.empty() != !k.has_value())
            std::abort();
        if (k && (*k < 2 || *k > file.lastLine()))
            std::abort();
        if (k)
            (void)file.line(*k);
    }
    return 0;
}
