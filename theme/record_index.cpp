#include "theme/record_index.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace p95::reader {

RecordIndex::RecordIndex(const QByteArray& bytes, bool stopAtFirst)
    : m_text(bytes.constData()), m_size(bytes.size()), m_stopAtFirst(stopAtFirst) {
    scan();
}

// The scan's helpers run for every field: declared inline, the compiler folds
// them into the scan (a read of a typical theme is a tenth slower otherwise).

inline void RecordIndex::add(int step, Span span) {
    const qsizetype n = m_recordCount[step]++;
    if (m_lastRecord[step] >= 0) {
        auto& distinct = m_distinct[step];
        if (distinct.empty())
            distinct.emplace(bytes(records[firstRecord[step]].span), firstRecord[step]);
        const auto [it, fresh] = distinct.try_emplace(bytes(span), qsizetype(records.size()));
        if (!fresh) {
            records[it->second].last = n;
            return;
        }
        records[m_lastRecord[step]].next = qsizetype(records.size());
    } else {
        firstRecord[step] = qsizetype(records.size());
    }
    m_lastRecord[step] = qsizetype(records.size());
    records.push_back({span, n, n, -1});
}

// Where c next stands in [from, to), or to. memchr: the scan stays one pass
// over the bytes, done in the C library's fast loops.
inline qsizetype RecordIndex::find(char c, qsizetype from, qsizetype to) const {
    if (from >= to)
        return to;
    const void* at = std::memchr(m_text + from, c, std::size_t(to - from));
    return at ? static_cast<const char*>(at) - m_text : to;
}

// The same towards the end of the text, remembering the answer: a text with
// no line feed (or no carriage return) is not searched again per line.
inline qsizetype RecordIndex::findAhead(char c, qsizetype from, qsizetype& cache) const {
    if (cache < from)
        cache = find(c, from, m_size);
    return cache;
}

void RecordIndex::scan() {
    qsizetype pos = 0;
    qsizetype nextCr = -1;
    qsizetype nextLf = -1;
    while (pos < m_size && !done()) {
        // A line ends at CR LF, a bare LF or a bare CR.
        const qsizetype begin = pos;
        const qsizetype end = std::min(findAhead('\r', pos, nextCr), findAhead('\n', pos, nextLf));
        scanLine(begin, end);
        pos = end;
        if (pos < m_size && m_text[pos] == '\r')
            ++pos;
        if (pos < m_size && m_text[pos] == '\n')
            ++pos;
    }
    // A header in the last field: reading its value would pass the end.
    for (int s = 0; s < kFieldSteps; ++s) {
        if (m_awaiting & bit(s))
            pastEnd[s] = true;
    }
}

// The line [begin, end) and its fields: leading blanks skipped; a field
// ends at a comma or the line's end; one that begins with a double quote
// ends at the closing quote, and what follows it up to the comma is
// dropped. The line's "=" and "[" are found once, each then counted for
// the line and for the field it stands in. Every key ends in "=", every
// section header begins with "["; none holds a blank, quote, comma or
// line end, so none reaches outside the field it is found in.
inline void RecordIndex::scanLine(qsizetype begin, qsizetype end) {
    qsizetype eq = find('=', begin, end);
    qsizetype bracket = find('[', begin, end);
    const qsizetype firstEq = eq;
    bool icon = false;
    bool nonclient = false;
    qsizetype pos = begin;
    for (;;) {
        while (pos < end && m_text[pos] == ' ')
            ++pos;
        Span field;
        qsizetype delimiter = 0; // the comma after the field, or the line's end
        if (pos < end && m_text[pos] == '"') {
            field.begin = pos + 1;
            field.end = find('"', field.begin, end);
            delimiter = find(',', field.end, end);
        } else {
            field.begin = pos;
            field.end = find(',', pos, end);
            delimiter = field.end;
        }
        StepSet found = 0;
        for (; eq < delimiter; eq = find('=', eq + 1, end)) {
            icon = icon || holdsAt(begin, eq + 1, kIconMetricsKey);
            nonclient = nonclient || holdsAt(begin, eq + 1, kNonclientMetricsKey);
            if (eq > field.begin && eq < field.end)
                found |= keysEndingAt(eq, field.begin);
        }
        for (; bracket < delimiter; bracket = find('[', bracket + 1, end)) {
            if (bracket >= field.begin && bracket < field.end)
                found |= headerAt(bracket, field.end);
        }
        endField(field, found);
        if (delimiter >= end)
            break;
        pos = delimiter + 1;
        // A comma at the very end of the text has no field after it.
        if (pos >= m_size)
            break;
    }
    endLine(begin, end, firstEq, icon, nonclient);
}

// The Contains steps whose key ends at the "=" at position eq.
inline StepSet RecordIndex::keysEndingAt(qsizetype eq, qsizetype fieldBegin) const {
    StepSet found = 0;
    const auto& steps = m_steps;
    for (const int s : m_keysByLastLetter[static_cast<unsigned char>(m_text[eq - 1])]) {
        if (holdsAt(
                fieldBegin, eq + 1,
                std::string_view(steps[s].needle.constData(), std::size_t(steps[s].needle.size()))))
            found |= bit(s);
    }
    return found;
}

// Whether needle stands just before position end, no earlier than begin.
inline bool RecordIndex::holdsAt(qsizetype begin, qsizetype end, std::string_view needle) const {
    const qsizetype from = end - qsizetype(needle.size());
    return from >= begin && std::memcmp(m_text + from, needle.data(), needle.size()) == 0;
}

inline StepSet RecordIndex::headerAt(qsizetype at, qsizetype end) const {
    const auto startsWith = [&](std::string_view start) {
        return qsizetype(start.size()) <= end - at &&
               std::memcmp(m_text + at, start.data(), start.size()) == 0;
    };
    const bool icon = startsWith(kIconHeaderStart);
    if (!icon && !startsWith(kSoundHeaderStart))
        return 0;
    const auto& steps = m_steps;
    for (int s = 0; s < kFieldSteps; ++s) {
        const FieldStep& step = steps[s];
        if (step.match == Match::Headed && (step.slot.family == SlotFamily::Icons) == icon &&
            startsWith(std::string_view(step.needle.constData(), step.needle.size())))
            return bit(s);
    }
    return 0;
}

inline void RecordIndex::endField(Span field, StepSet found) {
    // This field is the value of the headers in the field before it, and
    // is not looked at again by their steps.
    const StepSet consumed = m_awaiting;
    for (StepSet left = consumed; left; left &= left - 1)
        add(std::countr_zero(left), field);
    m_awaiting = 0;
    for (StepSet left = m_beginsWith; left; left &= left - 1) {
        const int s = std::countr_zero(left);
        const QByteArray& key = m_steps[s].needle;
        if (field.size() >= key.size() &&
            std::memcmp(m_text + field.begin, key.constData(), std::size_t(key.size())) == 0)
            found |= bit(s);
    }
    if (!found)
        return;
    any = true;
    m_awaiting = found & m_headed & ~consumed;
    for (StepSet left = found & ~m_headed; left; left &= left - 1)
        add(std::countr_zero(left), field);
}

// Lines that begin with a colour key or the tile key (its "=" is then the
// line's first), and lines that contain a metrics key anywhere (their
// value starts after the key's length).
inline void RecordIndex::endLine(qsizetype begin, qsizetype end, qsizetype firstEq, bool icon,
                                 bool nonclient) {
    if (firstEq >= end)
        return;
    const qsizetype keyLength = firstEq - begin + 1;
    const auto& byLength = m_lineKeys;
    if (keyLength < qsizetype(byLength.size())) {
        for (const auto& [key, which] : byLength[keyLength]) {
            if (std::memcmp(m_text + begin, key.constData(), std::size_t(keyLength)) != 0)
                continue;
            any = true;
            const Span rest{begin + keyLength, end};
            if (which != kTileKey) {
                colours[which] = rest;
            } else if (rest.size() == 1 &&
                       (m_text[rest.begin] == '0' || m_text[rest.begin] == '1')) {
                tile = m_text[rest.begin] - '0';
            }
            break;
        }
    }
    if (icon)
        iconMetrics = Span{begin + qsizetype(kIconMetricsKey.size()), end};
    if (nonclient)
        nonclientMetrics = Span{begin + qsizetype(kNonclientMetricsKey.size()), end};
    any = any || icon || nonclient;
}

} // namespace p95::reader
