#pragma once

// Lines and fields of the sequential text input on any bytes, shared by the
// fuzz target and the regression test: every read makes progress, no record
// is longer than the input, and no record holds a line end. Returns the
// first broken rule, or an empty string.

#include "platform/text_file.h"

namespace p95::fuzz {

inline QString checkSequentialInput(const QByteArray& bytes) {
    // Mode 0 reads lines, mode 1 fields, mode 2 both in turn.
    for (int mode = 0; mode < 3; ++mode) {
        SequentialInput in = SequentialInput::fromBytes(bytes);
        qsizetype reads = 0;
        while (!in.atEnd()) {
            const bool field = mode == 1 || (mode == 2 && reads % 2 == 0);
            const auto record = field ? in.readField() : in.readLine();
            if (!record || record->size() > bytes.size())
                return QStringLiteral("a read before the end gave nothing, or too much");
            if (record->contains(QLatin1Char('\r')) || record->contains(QLatin1Char('\n')))
                return QStringLiteral("a record holds a line end");
            if (++reads > bytes.size() + 1)
                return QStringLiteral("a read consumed nothing"); // it would loop forever
        }
    }
    return {};
}

} // namespace p95::fuzz
