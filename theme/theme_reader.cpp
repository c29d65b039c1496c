#include "theme/theme_reader.h"

#include "platform/drive.h"
#include "platform/file_system.h"
#include "platform/text_codec.h"

#include <QHash>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string_view>
#include <vector>

namespace p95 {

Preview ThemeReading::preview(SlotRef slot) const {
    switch (slot.family) {
    case SlotFamily::Pointer:
        return pointerPreviews.at(slot.index);
    case SlotFamily::Sound:
        return Preview::None;
    case SlotFamily::Icons:
        break;
    }
    return iconsPreviews.at(slot.index);
}

QString themeNameFromPath(const QString& themeFilePath) {
    const QString rest = themeFilePath.left(std::max<qsizetype>(0, themeFilePath.size() - 6));
    // A host path from the file dialog separates with "/": it names the theme too.
    const qsizetype slash =
        std::max(rest.lastIndexOf(QLatin1Char('\\')), rest.lastIndexOf(QLatin1Char('/')));
    return rest.mid(slash + 1);
}

Result<QByteArray> readThemeFile(const FileSystem& files, const QString& themeFilePath) {
    return files.readFile(themeFilePath, kMaxThemeFileBytes);
}

Result<QByteArray> readThemeFile(const QString& themeFilePath) {
    return readThemeFile(FileSystem(), themeFilePath);
}

QString notAThemeMessage(const QString& themeFilePath) {
    return QStringLiteral("The file \"%1\" is not a theme file: none of the sections and keys "
                          "of a theme are in it. Nothing has been changed.")
        .arg(themeFilePath);
}

QString unreadableThemeMessage(const QString& themeFilePath, const Error& error) {
    const QString reason = error.why();
    return QStringLiteral("The theme file \"%1\" could not be read (%2). Nothing has been "
                          "changed.")
        .arg(themeFilePath, reason);
}

namespace {

// ------------------------------------------------------------------ text

// Windows-1252 maps each byte to one character on its own, so a record is
// decoded by itself, byte by byte, exactly as the whole text would be. Every
// key the steps look for is ASCII, and no other byte decodes to ASCII, so the
// steps can look for them in the bytes. The tables: each byte's character,
// and that character's simple upper case where Windows-1252 has it (é→É,
// ÿ→Ÿ, š→Š); other characters stay as they are (ß, µ). Lengths never change,
// so positions found in the upper-cased text hold in the original.
struct DecodeTables {
    std::array<char16_t, 256> plain;
    std::array<char16_t, 256> upper;
};

const DecodeTables& decodeTables() {
    static const DecodeTables tables = [] {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString text = decodeWindows1252(all);
        DecodeTables t{};
        for (int b = 0; b < 256; ++b) {
            const QChar c = text.at(b);
            const QChar upper = c.toUpper();
            t.plain[b] = c.unicode();
            t.upper[b] = (upper != c && fitsWindows1252(QString(upper)) ? upper : c).unicode();
        }
        return t;
    }();
    return tables;
}

void decodeInto(char16_t* to, const char* from, qsizetype size,
                const std::array<char16_t, 256>& table) {
    const auto at = [&](qsizetype i) { return table[static_cast<unsigned char>(from[i])]; };
    qsizetype i = 0;
    // Eight at a time: the fuzz targets' coverage counts every loop test.
    for (; i + 8 <= size; i += 8) {
        to[i] = at(i);
        to[i + 1] = at(i + 1);
        to[i + 2] = at(i + 2);
        to[i + 3] = at(i + 3);
        to[i + 4] = at(i + 4);
        to[i + 5] = at(i + 5);
        to[i + 6] = at(i + 6);
        to[i + 7] = at(i + 7);
    }
    for (; i < size; ++i)
        to[i] = at(i);
}

QString decoded(const char* bytes, qsizetype size,
                const std::array<char16_t, 256>& table = decodeTables().plain) {
    QString out(size, Qt::Uninitialized);
    decodeInto(reinterpret_cast<char16_t*>(out.data()), bytes, size, table);
    return out;
}

// ------------------------------------------------------------------ the steps

// The four path extractors differ in letter case, pictures and failure.
enum class Variant {
    A, // My Computer, Network Neighbourhood: all upper case; picture; failure flagged
    B, // recycle bins, pointers, wallpaper: exact case, macro in any case; picture; flagged
    C, // screen saver: extension in any case; no picture; failure silent
    D, // sounds: exact case throughout; no picture; failure shown, then flagged
};

// How a step finds its records among the fields.
enum class Match {
    Headed,     // the field after one that contains a section header
    Contains,   // a field that contains the key
    BeginsWith, // a field that begins with the key
};

struct PathRule {
    PathRule() = default;
    PathRule(Variant v, QByteArray k, QString e, QString a, bool fails)
        : variant(v), extension(std::move(e)), alternative(std::move(a)),
          failsWithoutExtension(fails),
          upperExtension(QString::fromLatin1(extension.toLatin1().toUpper())),
          keyBytes(std::move(k)), extensionBytes(extension.toLatin1()),
          alternativeBytes(alternative.toLatin1()) {}

    Variant variant = Variant::B;
    QString extension;
    QString alternative;               // empty: none
    bool failsWithoutExtension = true; // false: neither extension found is no failure
    QString upperExtension;
    // In bytes (all ASCII): the key, and the extensions again.
    QByteArray keyBytes;
    QByteArray extensionBytes;
    QByteArray alternativeBytes;
};

// Steps 1 to 40, in their order: the ones that read comma-delimited fields.
struct FieldStep {
    Match match;
    QByteArray needle; // section header or key
    SlotRef slot;
    PathRule rule;
};

constexpr int kFieldSteps = 40;

// Every Headed step's header begins with one of these.
constexpr std::string_view kIconHeaderStart = "[CLSID\\{";
constexpr std::string_view kSoundHeaderStart = "[AppEvents\\Schemes\\Apps\\";

const std::array<FieldStep, kFieldSteps>& fieldSteps() {
    static const std::array<FieldStep, kFieldSteps> steps = [] {
        const QByteArray defaultValue("DefaultValue=");
        const QString ico = QStringLiteral(".ico");
        const QString cur = QStringLiteral(".cur");
        const QString ani = QStringLiteral(".ani");
        std::array<FieldStep, kFieldSteps> s;
        int n = 0;
        const auto bytes = [](std::string_view text) {
            return QByteArray(text.data(), qsizetype(text.size()));
        };
        // Steps 1, 2: the two icons whose value follows their section header.
        s[n++] = {Match::Headed,
                  bytes(kMyComputerSection),
                  {SlotFamily::Icons, 1},
                  {Variant::A, defaultValue, ico, {}, true}};
        s[n++] = {Match::Headed,
                  bytes(kNetworkSection),
                  {SlotFamily::Icons, 2},
                  {Variant::A, defaultValue, ico, {}, true}};
        // Steps 3, 4: the recycle bin, full before empty.
        s[n++] = {
            Match::Contains, "full=", {SlotFamily::Icons, 4}, {Variant::B, "full=", ico, {}, true}};
        s[n++] = {Match::Contains,
                  "empty=",
                  {SlotFamily::Icons, 3},
                  {Variant::B, "empty=", ico, {}, true}};
        // Step 5 wants "Arrow=" at the start so that "UpArrow=" is not taken
        // for it. It accepts ".ani" like the other pointers, but still fails
        // when it finds neither extension.
        for (const int index : kPointerFileOrder) {
            const QByteArray key = bytes(kPointerSlots[index].key) + '=';
            s[n++] = {index == 0 ? Match::BeginsWith : Match::Contains,
                      key,
                      {SlotFamily::Pointer, index},
                      {Variant::B, key, cur, ani, index == 0}};
        }
        // Step 19: the screen saver; step 20: the wallpaper.
        s[n++] = {Match::Contains,
                  "SCRNSAVE.EXE=",
                  {SlotFamily::Icons, kScreenSaverIndex},
                  {Variant::C, "SCRNSAVE.EXE=", QStringLiteral(".scr"), {}, true}};
        s[n++] = {
            Match::Contains,
            "Wallpaper=",
            {SlotFamily::Icons, kWallpaperIndex},
            {Variant::B, "Wallpaper=", QStringLiteral(".bmp"), QStringLiteral(".jpg"), false}};
        // Steps 21..40: sounds, whose value follows their section header.
        for (const int index : kSoundFileOrder) {
            s[n++] = {Match::Headed,
                      bytes(kSoundHeaderStart) + bytes(kSoundSlots[index].eventPath) +
                          "\\.Current]",
                      {SlotFamily::Sound, index},
                      {Variant::D, defaultValue, QStringLiteral(".wav"), {}, true}};
        }
        return s;
    }();
    return steps;
}

using StepSet = std::uint64_t; // one bit per field step
static_assert(kFieldSteps <= 64);

constexpr StepSet bit(int step) {
    return StepSet(1) << step;
}

// Every key of a Contains step ends in "="; a field that holds one holds an
// "=" with the key before it. The steps whose key has c before its "=", by c.
const std::array<std::vector<int>, 256>& keysByLastLetter() {
    static const std::array<std::vector<int>, 256> table = [] {
        std::array<std::vector<int>, 256> t;
        const auto& steps = fieldSteps();
        for (int s = 0; s < kFieldSteps; ++s) {
            const QByteArray& key = steps[s].needle;
            if (steps[s].match == Match::Contains) {
                Q_ASSERT(key.size() >= 2 && key.endsWith('='));
                t[static_cast<unsigned char>(key.at(key.size() - 2))].push_back(s);
            }
        }
        return t;
    }();
    return table;
}

StepSet stepsMatching(Match match) {
    StepSet set = 0;
    for (int s = 0; s < kFieldSteps; ++s) {
        if (fieldSteps()[s].match == match)
            set |= bit(s);
    }
    return set;
}

StepSet headedSteps() {
    static const StepSet set = stepsMatching(Match::Headed);
    return set;
}

StepSet beginsWithSteps() {
    static const StepSet set = stepsMatching(Match::BeginsWith);
    return set;
}

// Steps 41..65 and the tile flag read lines that begin with their key; the
// key's "=" is then the line's first one. The keys by length.
constexpr int kTileKey = kColourCount;

const std::array<std::vector<std::pair<QByteArray, int>>, 32>& lineKeysByLength() {
    static const auto table = [] {
        std::array<std::vector<std::pair<QByteArray, int>>, 32> t;
        for (int i = 0; i < kColourCount; ++i) {
            const QByteArray key =
                QByteArray(kColourSlots[i].key.data(), qsizetype(kColourSlots[i].key.size())) + '=';
            t.at(key.size()).push_back({key, i});
        }
        const QByteArray tile("TileWallpaper=");
        t.at(tile.size()).push_back({tile, kTileKey});
        return t;
    }();
    return table;
}

const QByteArray kIconMetricsKey = QByteArrayLiteral("IconMetrics=");
const QByteArray kNonclientMetricsKey = QByteArrayLiteral("NonclientMetrics=");

// ------------------------------------------------------------------ the index

struct Span {
    qsizetype begin = 0;
    qsizetype end = -1; // -1: none
    bool found() const { return end >= 0; }
    qsizetype size() const { return end - begin; }
};

// One pass over the bytes, splitting them into lines and comma-delimited
// fields as the sequential input does (platform/text_file.h) and noting, for
// every step, the records it acts on, in file order.
class Index {
public:
    // With stopAtFirst the pass ends at the first record any step would find.
    Index(const QByteArray& bytes, bool stopAtFirst)
        : m_text(bytes.constData()), m_size(bytes.size()), m_stopAtFirst(stopAtFirst) {
        scan();
    }

    // Whether any step (or the tile flag) finds a record.
    bool any = false;
    // The records the field steps act on, in file order, each step's
    // chained from its first (for a Headed step: the fields after its
    // headers). pastEnd: a header stood in the last field.
    struct Record {
        Span span;
        qsizetype next = -1;
    };
    std::vector<Record> records;
    std::array<qsizetype, kFieldSteps> firstRecord = filled(-1);
    std::array<qsizetype, kFieldSteps> recordCount = filled(0);
    std::array<bool, kFieldSteps> pastEnd{};
    // The last line that begins with each colour key: the text after the key.
    std::array<Span, kColourCount> colours{};
    // The last lines that contain the metrics keys, from the key's length on.
    Span iconMetrics;
    Span nonclientMetrics;
    // The last "TileWallpaper=" line saying exactly 0 or 1; -1: none.
    int tile = -1;

    const char* text() const { return m_text; }

private:
    bool done() const { return m_stopAtFirst && any; }

    static std::array<qsizetype, kFieldSteps> filled(qsizetype value) {
        std::array<qsizetype, kFieldSteps> all;
        all.fill(value);
        return all;
    }

    void add(int step, Span span) {
        const qsizetype at = qsizetype(records.size());
        records.push_back({span, -1});
        if (m_lastRecord[step] >= 0)
            records[m_lastRecord[step]].next = at;
        else
            firstRecord[step] = at;
        m_lastRecord[step] = at;
        ++recordCount[step];
    }

    // Where c next stands in [from, to), or to. memchr: the scan stays one
    // pass over the bytes, done in the C library's fast loops.
    qsizetype find(char c, qsizetype from, qsizetype to) const {
        if (from >= to)
            return to;
        const void* at = std::memchr(m_text + from, c, std::size_t(to - from));
        return at ? static_cast<const char*>(at) - m_text : to;
    }
    // The same towards the end of the text, remembering the answer: a text
    // with no line feed (or no carriage return) is not searched again per line.
    qsizetype findAhead(char c, qsizetype from, qsizetype& cache) const {
        if (cache < from)
            cache = find(c, from, m_size);
        return cache;
    }

    void scan() {
        qsizetype pos = 0;
        qsizetype nextCr = -1;
        qsizetype nextLf = -1;
        while (pos < m_size && !done()) {
            // A line ends at CR LF, a bare LF or a bare CR.
            const qsizetype begin = pos;
            const qsizetype end =
                std::min(findAhead('\r', pos, nextCr), findAhead('\n', pos, nextLf));
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
    void scanLine(qsizetype begin, qsizetype end) {
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
    StepSet keysEndingAt(qsizetype eq, qsizetype fieldBegin) const {
        StepSet found = 0;
        const auto& steps = fieldSteps();
        for (const int s : keysByLastLetter()[static_cast<unsigned char>(m_text[eq - 1])]) {
            if (holdsAt(fieldBegin, eq + 1, steps[s].needle))
                found |= bit(s);
        }
        return found;
    }

    // Whether needle stands just before position end, no earlier than begin.
    bool holdsAt(qsizetype begin, qsizetype end, const QByteArray& needle) const {
        const qsizetype from = end - needle.size();
        return from >= begin &&
               std::memcmp(m_text + from, needle.constData(), std::size_t(needle.size())) == 0;
    }

    StepSet headerAt(qsizetype at, qsizetype end) const {
        const auto startsWith = [&](std::string_view start) {
            return qsizetype(start.size()) <= end - at &&
                   std::memcmp(m_text + at, start.data(), start.size()) == 0;
        };
        const bool icon = startsWith(kIconHeaderStart);
        if (!icon && !startsWith(kSoundHeaderStart))
            return 0;
        const auto& steps = fieldSteps();
        for (int s = 0; s < kFieldSteps; ++s) {
            const FieldStep& step = steps[s];
            if (step.match == Match::Headed && (step.slot.family == SlotFamily::Icons) == icon &&
                startsWith(std::string_view(step.needle.constData(), step.needle.size())))
                return bit(s);
        }
        return 0;
    }

    void endField(Span field, StepSet found) {
        // This field is the value of the headers in the field before it, and
        // is not looked at again by their steps.
        const StepSet consumed = m_awaiting;
        for (StepSet left = consumed; left; left &= left - 1)
            add(std::countr_zero(left), field);
        m_awaiting = 0;
        for (StepSet left = beginsWithSteps(); left; left &= left - 1) {
            const int s = std::countr_zero(left);
            const QByteArray& key = fieldSteps()[s].needle;
            if (field.size() >= key.size() &&
                std::memcmp(m_text + field.begin, key.constData(), std::size_t(key.size())) == 0)
                found |= bit(s);
        }
        if (!found)
            return;
        any = true;
        m_awaiting = found & headedSteps() & ~consumed;
        for (StepSet left = found & ~headedSteps(); left; left &= left - 1)
            add(std::countr_zero(left), field);
    }

    // Lines that begin with a colour key or the tile key (its "=" is then the
    // line's first), and lines that contain a metrics key anywhere (their
    // value starts after the key's length).
    void endLine(qsizetype begin, qsizetype end, qsizetype firstEq, bool icon, bool nonclient) {
        if (firstEq >= end)
            return;
        const qsizetype keyLength = firstEq - begin + 1;
        const auto& byLength = lineKeysByLength();
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
            iconMetrics = Span{begin + kIconMetricsKey.size(), end};
        if (nonclient)
            nonclientMetrics = Span{begin + kNonclientMetricsKey.size(), end};
        any = any || icon || nonclient;
    }

    const char* m_text;
    qsizetype m_size;
    bool m_stopAtFirst;
    StepSet m_awaiting = 0; // headed steps whose header was in the last field seen
    std::array<qsizetype, kFieldSteps> m_lastRecord = filled(-1);
};

// ------------------------------------------------------------------ extraction

constexpr QLatin1StringView kThemeDirMacroBytes("%ThemeDir%");
constexpr QLatin1StringView kWinDirMacroBytes("%WinDir%");

struct Extraction {
    enum Outcome { Unchanged, Failed, Taken } outcome = Unchanged;
    QString path;
    Preview preview = Preview::None;
    QString formed; // directory + name as far as they were formed, for the sound message
};

// A formed path without a drive ("/home/ann/x.wav", "../../x.cur", a bare
// "rel.cur") is put on drive C, as Windows keeps "\\x" and relative paths on
// its current drive: a .theme file never reaches a host file outside drive C,
// nor one in the working directory.
QString onDriveC(const QString& path) {
    if (isWindowsPath(path))
        return path;
    const bool rooted = path.startsWith(QLatin1Char('\\')) || path.startsWith(QLatin1Char('/'));
    return (rooted ? QStringLiteral("C:") : QStringLiteral("C:\\")) + path;
}

class Reading {
public:
    Reading(const ThemeDocument& doc, const QByteArray& bytes, const PictureProbe& probe)
        : m_probe(probe), m_index(bytes, false), m_out{doc, {}, {}, {}, true, {}} {}

    ThemeReading run() {
        ThemeDocument& doc = m_out.document;
        // A file that is no theme at all changes nothing.
        m_out.isTheme = m_index.any;
        if (!m_out.isTheme)
            return std::move(m_out);
        for (QString& p : doc.pointers)
            p.clear();
        for (QString& s : doc.sounds)
            s.clear();
        for (QString& i : doc.icons)
            i.clear();

        for (int s = 0; s < kFieldSteps; ++s)
            runStep(s);

        // Steps 41..65: colours; a line that merely contains a key
        // ("InactiveTitle=" holds "ActiveTitle=") does not set it.
        for (int i = 0; i < kColourCount; ++i) {
            if (m_index.colours[i].found())
                doc.colours[i] = text(m_index.colours[i]);
        }
        // Steps 66, 67: metrics, everything after the key's length.
        if (m_index.iconMetrics.found())
            doc.iconMetrics = text(m_index.iconMetrics);
        if (m_index.nonclientMetrics.found())
            doc.nonclientMetrics = text(m_index.nonclientMetrics);
        // The tile flag: the last line that begins with the key and says
        // exactly "0" or "1" decides; other values leave the choice.
        if (m_index.tile >= 0)
            doc.tiled = m_index.tile == 1;

        doc.colourMode = ColourMode::Own;
        if (m_loadProblem)
            m_out.messages.append(toQString(kLoadProblemMessage));
        return std::move(m_out);
    }

private:
    QString text(Span span) const { return decoded(m_index.text() + span.begin, span.size()); }
    std::string_view bytes(Span span) const {
        return std::string_view(m_index.text() + span.begin, std::size_t(span.size()));
    }

    // One step over its records, in file order. Equal records extract alike
    // (a file does not change during one reading), so each is extracted once:
    // a file that repeats its sections costs no more than one that does not.
    void runStep(int s) {
        constexpr std::size_t kNone = std::size_t(-1);
        const FieldStep& step = fieldSteps()[s];
        const qsizetype count = m_index.recordCount[s];
        m_extractions.clear();
        m_distinct.clear();
        // An open-addressed set of the records seen: hash, extraction.
        const std::size_t capacity = count > 1 ? std::bit_ceil(std::size_t(count) * 2) : 0;
        m_seen.assign(capacity, {0, kNone});
        std::size_t taken = kNone;  // the last record taken
        std::size_t failed = kNone; // the first record that failed
        for (qsizetype at = m_index.firstRecord[s]; at >= 0; at = m_index.records[at].next) {
            const Span span = m_index.records[at].span;
            std::size_t which = m_extractions.size();
            bool fresh = true;
            if (capacity) {
                const std::string_view text = bytes(span);
                const std::size_t hash = std::hash<std::string_view>{}(text);
                for (std::size_t i = hash & (capacity - 1);; i = (i + 1) & (capacity - 1)) {
                    auto& [slotHash, slot] = m_seen[i];
                    if (slot == kNone) {
                        slotHash = hash;
                        slot = which;
                        break;
                    }
                    if (slotHash == hash && bytes(m_distinct[slot]) == text) {
                        which = slot;
                        fresh = false;
                        break;
                    }
                }
            }
            if (fresh) {
                m_extractions.push_back(extract(span, step.rule));
                m_distinct.push_back(span);
            }
            const Extraction::Outcome outcome = m_extractions[which].outcome;
            if (outcome == Extraction::Taken)
                taken = which;
            else if (outcome == Extraction::Failed && failed == kNone)
                failed = which;
        }
        apply(step, taken == kNone ? nullptr : &m_extractions[taken],
              failed == kNone ? nullptr : &m_extractions[failed], m_index.pastEnd[s]);
    }

    void apply(const FieldStep& step, const Extraction* taken, const Extraction* failed,
               bool pastEnd) {
        ThemeDocument& doc = m_out.document;
        const int index = step.slot.index;
        switch (step.rule.variant) {
        case Variant::A:
        case Variant::B:
            if (failed || pastEnd)
                noteUnloaded(step.slot, failed);
            if (!taken)
                return;
            doc.path(step.slot) = taken->path;
            if (step.slot.family == SlotFamily::Pointer) {
                m_out.pointerPreviews[index] = taken->preview;
            } else {
                if (index == kWallpaperIndex)
                    doc.jpegWallpaper = taken->preview == Preview::JpegWallpaper;
                m_out.iconsPreviews[index] = taken->preview;
            }
            return;
        case Variant::C:
            if (taken)
                doc.icons[kScreenSaverIndex] = taken->path;
            return;
        case Variant::D:
            if (taken)
                doc.sounds[index] = taken->path;
            if (!failed && !pastEnd)
                return;
            // One message per sound slot: a file with thousands of broken
            // sections must not raise thousands of message boxes.
            m_out.messages.append((failed ? failed->formed : QString()) + QStringLiteral(".wav"));
            noteUnloaded(step.slot, failed, QStringLiteral(".wav"));
            return;
        }
    }

    // A sound's file is named as its message names it: as far as it was formed, + ".wav".
    void noteUnloaded(SlotRef slot, const Extraction* failed, const QString& ending = QString()) {
        m_loadProblem = true;
        if (failed && !failed->path.isEmpty())
            m_out.unloaded.append(failed->path);
        else if (failed && !failed->formed.isEmpty())
            m_out.unloaded.append(failed->formed + ending);
        else
            m_out.unloaded.append(
                QStringLiteral("%1 (no file name could be read)").arg(slotCaption(slot)));
    }

    // The common core of the path extractors. Keys, extensions and macros
    // are ASCII, which Windows-1252 bytes hold as they are (and upper-cased
    // text holds an ASCII letter only where the byte is that letter in either
    // case), so they are found in the record's bytes; only the parts of the
    // path are decoded.
    Extraction extract(Span record, const PathRule& rule) {
        static const QString themesRoot = toQString(kThemesRoot);
        static const QString windowsDir = toQString(kWindowsDir);
        const auto& table =
            rule.variant == Variant::A ? decodeTables().upper : decodeTables().plain;
        Extraction result;
        const QLatin1StringView r(m_index.text() + record.begin, record.size());
        const QLatin1StringView k(rule.keyBytes);
        const Qt::CaseSensitivity keyCase =
            rule.variant == Variant::A ? Qt::CaseInsensitive : Qt::CaseSensitive;
        // Variant A upper-cases the extension it stores, C looks for it in any case.
        const QString* extension =
            rule.variant == Variant::A ? &rule.upperExtension : &rule.extension;
        const Qt::CaseSensitivity extensionCase =
            rule.variant == Variant::A || rule.variant == Variant::C ? Qt::CaseInsensitive
                                                                     : Qt::CaseSensitive;

        if (!r.contains(k, keyCase))
            return result;
        if (rule.variant == Variant::D && r.size() == k.size())
            return result; // "DefaultValue=" with no value: an empty sound, silently

        // p: the extension's position (0-based here).
        qsizetype p = r.indexOf(QLatin1StringView(rule.extensionBytes), 0, extensionCase);
        if (p < 0 && !rule.alternative.isEmpty()) {
            p = r.indexOf(QLatin1StringView(rule.alternativeBytes));
            if (p >= 0)
                extension = &rule.alternative;
        }
        if (p < 0) {
            if (rule.failsWithoutExtension)
                result.outcome = Extraction::Failed;
            return result;
        }

        // The value is taken to start right after the key and runs p
        // characters, so it may reach past the extension.
        const QLatin1StringView value = r.sliced(k.size(), std::min(p, r.size() - k.size()));
        const Qt::CaseSensitivity macroCase =
            rule.variant == Variant::D ? Qt::CaseSensitive : Qt::CaseInsensitive;
        qsizetype prefixLength = 0;
        if (value.startsWith(kThemeDirMacroBytes, macroCase)) {
            result.formed = themesRoot;
            prefixLength = kThemeDirMacroBytes.size();
        } else if (value.startsWith(kWinDirMacroBytes, macroCase)) {
            result.formed = windowsDir;
            prefixLength = kWinDirMacroBytes.size();
        } else {
            prefixLength = value.lastIndexOf(QLatin1Char('\\')) + 1;
            result.formed = decoded(value.data(), prefixLength, table);
        }

        const qsizetype start = k.size() + prefixLength;
        if (p - start < 0) {
            result.outcome = Extraction::Failed;
            return result;
        }
        result.formed += decoded(r.data() + start, p - start, table);
        result.path = onDriveC(result.formed + *extension);

        if (rule.variant == Variant::A || rule.variant == Variant::B) {
            if (*extension == QLatin1String(".ani")) {
                result.preview = Preview::AnimatedPointer;
            } else if (*extension == QLatin1String(".jpg")) {
                result.preview = Preview::JpegWallpaper;
            } else if (loads(result.path)) {
                result.preview = Preview::File;
            } else {
                result.outcome = Extraction::Failed;
                return result;
            }
        }
        result.outcome = Extraction::Taken;
        return result;
    }

    // A file does not change during one reading: probe each path once.
    bool loads(const QString& path) {
        auto it = m_probed.constFind(path);
        if (it == m_probed.constEnd())
            it = m_probed.insert(path, m_probe.probe(path).ok());
        return *it;
    }

    const PictureProbe& m_probe;
    const Index m_index;
    ThemeReading m_out;
    QHash<QString, bool> m_probed;
    // Reused by every step: each distinct record, its extraction, and where
    // they are found by hash.
    std::vector<Extraction> m_extractions;
    std::vector<Span> m_distinct;
    std::vector<std::pair<std::size_t, std::size_t>> m_seen;
    bool m_loadProblem = false;
};

} // namespace

ThemeReading readTheme(const ThemeDocument& doc, const QByteArray& themeFileBytes,
                       const PictureProbe& probe) {
    return Reading(doc, themeFileBytes, probe).run();
}

bool isThemeText(const QByteArray& themeFileBytes) {
    return Index(themeFileBytes, true).any;
}

QString themeOpenRefusal(const Result<QByteArray>& read, const QString& themeFilePath) {
    if (!read)
        return unreadableThemeMessage(themeFilePath, read.error());
    if (!isThemeText(read.value()))
        return notAThemeMessage(themeFilePath);
    return {};
}

} // namespace p95
