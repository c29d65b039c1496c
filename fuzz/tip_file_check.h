#pragma once

// What a tip file of any bytes must give, shared by the fuzz target and the
// regression test: tips that are lines of the file, never line 1, and a draw
// that always lands on one of them. Returns the first broken rule, or an
// empty string.

#include "app/tip_file/tip_file.h"

#include <QByteArray>
#include <QString>

#include <cmath>
#include <limits>

namespace p95::fuzz {

inline QString checkTipFile(const QByteArray& bytes) {
    const TipFile file = parseTipFile(bytes);
    // Every line end is at least one byte, and line 1 is never a tip.
    if (file.tips.size() > bytes.count('\n') + bytes.count('\r'))
        return QStringLiteral("more tips than the file has lines after line 1");
    for (const QString& tip : file.tips) {
        if (tip.contains(QLatin1Char('\r')) || tip.contains(QLatin1Char('\n')))
            return QStringLiteral("a tip holds a line end");
    }
    if (file.lastLine() != file.tips.size() + 1)
        return QStringLiteral("the last line does not follow the tips");
    const double draws[] = {0.0,
                            0.5,
                            std::nextafter(1.0, 0.0),
                            1.0,
                            -0.25,
                            std::numeric_limits<double>::quiet_NaN(),
                            std::numeric_limits<double>::infinity()};
    for (const double r : draws) {
        const auto k = drawTipLine(file, [r] { return r; });
        if (file.empty() != !k.has_value())
            return QStringLiteral("a draw without tips, or no draw with tips");
        if (k && (*k < 2 || *k > file.lastLine()))
            return QStringLiteral("a draw of line %1 outside 2..%2").arg(*k).arg(file.lastLine());
        if (k && file.line(*k).size() > bytes.size())
            return QStringLiteral("the drawn tip is longer than the file");
    }
    return {};
}

} // namespace p95::fuzz
