#include "app/tip_file/tip_file.h"

#include "platform/text_file.h"

#include <algorithm>
#include <cmath>

namespace p95 {

namespace {

// A tip file is a few kilobytes; a larger one is not read (no tip shown).
constexpr qint64 kMaxTipFileBytes = qint64(4) << 20;

// Past any line count a file within that size can reach.
constexpr qint64 kManyLines = qint64(1) << 40;

// Line 1 as N: decimal digits with optional blanks around them. A number too
// large for any file counts as "more lines than the file has".
std::optional<qint64> lastTipLine(const QString& line) {
    const QString digits = line.trimmed();
    if (digits.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = std::min(value * 10 + (c.unicode() - u'0'), kManyLines);
    }
    return value;
}

} // namespace

TipFile parseTipFile(const QByteArray& bytes) {
    TipFile result;
    SequentialInput input = SequentialInput::fromBytes(bytes);
    if (input.atEnd())
        return result;
    const auto first = input.readLine();
    const auto last = first ? lastTipLine(*first) : std::nullopt;
    if (!last || *last < 2)
        return result;
    for (qint64 k = 2; k <= *last && !input.atEnd(); ++k) {
        const auto line = input.readLine();
        if (!line)
            break;
        result.tips << *line;
    }
    return result;
}

TipFile readTipFile(const QString& hostPath) {
    auto bytes = readWholeFile(hostPath, kMaxTipFileBytes);
    if (!bytes)
        return {};
    return parseTipFile(bytes.value());
}

std::optional<int> drawTipLine(const TipFile& file, const RandomSource& random) {
    if (file.empty())
        return std::nullopt;
    const int count = int(file.tips.size());
    // The same distribution as drawing k in 1..N and drawing again on 1, in
    // one step; a source that strays out of [0, 1) still picks a tip.
    double r = random ? random() : 0.0;
    if (!(r >= 0.0) || r >= 1.0)
        r = 0.0;
    const int offset = std::clamp(int(std::floor(r * count)), 0, count - 1);
    return 2 + offset;
}

} // namespace p95
