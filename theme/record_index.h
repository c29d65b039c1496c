#pragma once

// The reader's one pass over a .theme file: the bytes split into lines and
// comma-delimited fields as the sequential input does (platform/text_file.h),
// and for every step the records it acts on. Equal records are kept once,
// with where they first and last occur, because equal records extract alike:
// a file that repeats its sections costs the reader no more than one that
// does not.

#include "theme/reader_steps.h"

#include <QByteArray>

#include <array>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace p95::reader {

struct Span {
    qsizetype begin = 0;
    qsizetype end = -1; // -1: none
    bool found() const { return end >= 0; }
    qsizetype size() const { return end - begin; }
};

// One distinct record of a field step. first and last count the step's
// records in file order (0 is its first record of all); next is the step's
// next distinct record in records, -1 after its last.
struct Record {
    Span span;
    qsizetype first = 0;
    qsizetype last = 0;
    qsizetype next = -1;
};

class RecordIndex {
public:
    // With stopAtFirst the pass ends at the first record any step would find.
    // The bytes must outlive the index.
    RecordIndex(const QByteArray& bytes, bool stopAtFirst);

    // Whether any step (or the tile flag) finds a record.
    bool any = false;
    // Every field step's distinct records (for a Headed step: the fields
    // after its headers), each step's chained from its first in the order
    // they first occur.
    std::vector<Record> records;
    std::array<qsizetype, kFieldSteps> firstRecord = filled(-1);
    // A header of the step stood in the last field: reading its value would
    // pass the end.
    std::array<bool, kFieldSteps> pastEnd{};
    // The last line that begins with each colour key: the text after the key.
    std::array<Span, kColourCount> colours{};
    // The last lines that contain the metrics keys, from the key's length on.
    Span iconMetrics;
    Span nonclientMetrics;
    // The last "TileWallpaper=" line saying exactly 0 or 1; -1: none.
    int tile = -1;

    std::string_view bytes(Span span) const {
        return std::string_view(m_text + span.begin, std::size_t(span.size()));
    }

private:
    static std::array<qsizetype, kFieldSteps> filled(qsizetype value) {
        std::array<qsizetype, kFieldSteps> all;
        all.fill(value);
        return all;
    }
    bool done() const { return m_stopAtFirst && any; }
    void add(int step, Span span);
    qsizetype find(char c, qsizetype from, qsizetype to) const;
    qsizetype findAhead(char c, qsizetype from, qsizetype& cache) const;
    void scan();
    void scanLine(qsizetype begin, qsizetype end);
    StepSet keysEndingAt(qsizetype eq, qsizetype fieldBegin) const;
    bool holdsAt(qsizetype begin, qsizetype end, std::string_view needle) const;
    StepSet headerAt(qsizetype at, qsizetype end) const;
    void endField(Span field, StepSet found);
    void endLine(qsizetype begin, qsizetype end, qsizetype firstEq, bool icon, bool nonclient);

    // The tables, looked up once: the scan consults them for every field.
    const std::array<FieldStep, kFieldSteps>& m_steps = fieldSteps();
    const std::array<std::vector<int>, 256>& m_keysByLastLetter = keysByLastLetter();
    const std::array<std::vector<std::pair<QByteArray, int>>, 32>& m_lineKeys = lineKeysByLength();
    const StepSet m_headed = headedSteps();
    const StepSet m_beginsWith = beginsWithSteps();
    const char* m_text;
    qsizetype m_size;
    bool m_stopAtFirst;
    StepSet m_awaiting = 0; // headed steps whose header was in the last field seen
    std::array<qsizetype, kFieldSteps> m_recordCount{};
    std::array<qsizetype, kFieldSteps> m_lastRecord = filled(-1);
    // Each step's distinct records by their bytes, into records; built only
    // once a step meets its second record (most steps have one).
    std::array<std::unordered_map<std::string_view, qsizetype>, kFieldSteps> m_distinct;
};

} // namespace p95::reader
