// Lines and fields of the sequential text input: never a crash, never a
// hang, and every read makes progress.

#include "platform/text_file.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (int mode = 0; mode < 3; ++mode) {
        p95::SequentialInput in = p95::SequentialInput::fromBytes(bytes);
        qsizetype reads = 0;
        while (!in.atEnd()) {
            const bool field = mode == 1 || (mode == 2 && reads % 2 == 0);
            const auto record = field ? in.readField() : in.readLine();
            if (!record || record->size() > qsizetype(size))
                std::abort();
            if (++reads > qsizetype(size) + 1)
                std::abort(); // a read that consumed nothing would loop forever
        }
    }
    return 0;
}
