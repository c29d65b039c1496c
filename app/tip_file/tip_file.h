#pragma once

// The tip file "tipofday.txz": line 1 holds N, the number of the last line
// that holds a tip; lines 2..N are the tips. Parsing needs no widgets, so the
// rules can be tested and fuzzed on their own.
//
// A file that does not follow that layout never stops the window and never
// hangs it: a line 1 that is not a whole number of at least 2 gives no tips,
// and a file with fewer lines than line 1 says gives the tips it has.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace p95 {

struct TipFile {
    // Lines 2.. of the file that line 1 announces and that exist, unchanged.
    QStringList tips;

    bool empty() const { return tips.isEmpty(); }
    // Line k of the file (2 <= k <= tips.size() + 1).
    const QString& line(int k) const { return tips.at(k - 2); }
    int lastLine() const { return int(tips.size()) + 1; }
};

// Reads the bytes of a tip file (Windows-1252; CR LF, LF or CR line ends).
TipFile parseTipFile(const QByteArray& bytes);

// Reads the tip file at a host path; a missing or unreadable file gives no tips.
TipFile readTipFile(const QString& hostPath);

// A number in [0, 1), uniformly distributed.
using RandomSource = std::function<double()>;

// The number of the tip line to show, drawn uniformly from 2..lastLine(), so
// line 1 is never drawn. Nothing when there is no tip. One draw, never a loop.
std::optional<int> drawTipLine(const TipFile& file, const RandomSource& random);

} // namespace p95
