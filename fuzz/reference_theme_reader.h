#pragma once

// The theme reader as it was before the one-pass reading: each of the 67
// steps scans every record for its key. Kept only as the reference that the
// differential fuzz target and the regression test hold the program's reader
// to; the program never links it. Do not tidy it: it is the yardstick.

#include "platform/drive.h"
#include "platform/text_codec.h"
#include "platform/text_file.h"
#include "theme/theme_reader.h"

#include <QHash>

#include <algorithm>
#include <functional>

namespace p95::fuzz::reference {

namespace detail {

// Each character's simple upper case where Windows-1252 has it (é→É, ÿ→Ÿ);
// other characters stay as they are (ß, µ). Lengths never change, so
// positions found in the upper-cased text hold in the original.
inline QString windowsUpper(const QString& text) {
    static const QHash<char16_t, char16_t> table = [] {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        QHash<char16_t, char16_t> map;
        for (const QChar c : decodeWindows1252(all)) {
            const QChar upper = c.toUpper();
            if (upper != c && fitsWindows1252(QString(upper)))
                map.insert(c.unicode(), upper.unicode());
        }
        return map;
    }();
    QString out = text;
    for (QChar& c : out) {
        const auto it = table.constFind(c.unicode());
        if (it != table.constEnd())
            c = QChar(*it);
    }
    return out;
}

inline const QString kThemeDirMacro = QStringLiteral("%ThemeDir%");
inline const QString kWinDirMacro = QStringLiteral("%WinDir%");

// The four path extractors differ in letter case, pictures and failure.
enum class Variant {
    A, // My Computer, Network Neighbourhood: all upper case; picture; failure flagged
    B, // recycle bins, pointers, wallpaper: exact case, macro in any case; picture; flagged
    C, // screen saver: extension in any case; no picture; failure silent
    D, // sounds: exact case throughout; no picture; failure shown, then flagged
};

struct PathRule {
    Variant variant;
    QString key;
    QString extension;
    QString alternative;        // empty: none
    bool failsWithoutExtension; // false: neither extension found is no failure
};

struct Extraction {
    enum Outcome { Unchanged, Failed, Taken } outcome = Unchanged;
    QString path;
    Preview preview = Preview::None;
    QString formed; // directory + name as far as they were formed, for the sound message
};

inline bool startsWithMacro(const QString& value, const QString& macro, bool anyCase) {
    if (anyCase)
        return windowsUpper(value.left(macro.size())) == windowsUpper(macro);
    return value.startsWith(macro);
}

// A formed path without a drive ("/home/ann/x.wav", "../../x.cur", a bare
// "rel.cur") is put on drive C, as Windows keeps "\\x" and relative paths on
// its current drive: a .theme file never reaches a host file outside drive C,
// nor one in the working directory.
inline QString onDriveC(const QString& path) {
    if (isWindowsPath(path))
        return path;
    const bool rooted = path.startsWith(QLatin1Char('\\')) || path.startsWith(QLatin1Char('/'));
    return (rooted ? QStringLiteral("C:") : QStringLiteral("C:\\")) + path;
}

inline const QString kTileWallpaperKey = QStringLiteral("TileWallpaper=");

// Splits the decoded text into the two kinds of record the steps read.
struct Records {
    QStringList fields;
    QStringList lines;
};

inline Records recordsOf(const QByteArray& bytes) {
    Records records;
    const QString text = decodeWindows1252(bytes);
    SequentialInput fields(text);
    while (auto field = fields.readField())
        records.fields.append(*field);
    SequentialInput lines(text);
    while (auto line = lines.readLine())
        records.lines.append(*line);
    return records;
}

// Whether any step of the reading would find its record: a section header
// or key in a field, a colour, metrics or tile key on a line.
inline bool holdsAThemeRecord(const Records& records) {
    static const QStringList fieldTexts = [] {
        QStringList texts{toQString(kMyComputerSection),   toQString(kNetworkSection),
                          QStringLiteral("full="),         QStringLiteral("empty="),
                          QStringLiteral("SCRNSAVE.EXE="), QStringLiteral("Wallpaper=")};
        for (int i = 1; i < kPointerCount; ++i)
            texts << toQString(kPointerSlots[i].key) + QLatin1Char('=');
        for (const auto& sound : kSoundSlots)
            texts << QStringLiteral("[AppEvents\\Schemes\\Apps\\") + toQString(sound.eventPath) +
                         QStringLiteral("\\.Current]");
        return texts;
    }();
    static const QStringList lineStarts = [] {
        QStringList texts{kTileWallpaperKey};
        for (const auto& colour : kColourSlots)
            texts << toQString(colour.key) + QLatin1Char('=');
        return texts;
    }();
    const QString arrow = toQString(kPointerSlots[0].key) + QLatin1Char('=');
    for (const QString& field : records.fields) {
        if (field.startsWith(arrow))
            return true;
        for (const QString& text : fieldTexts) {
            if (field.contains(text))
                return true;
        }
    }
    for (const QString& line : records.lines) {
        if (line.contains(QLatin1String("IconMetrics=")) ||
            line.contains(QLatin1String("NonclientMetrics=")))
            return true;
        for (const QString& text : lineStarts) {
            if (line.startsWith(text))
                return true;
        }
    }
    return false;
}

class Reading {
public:
    Reading(const ThemeDocument& doc, const QByteArray& bytes, const PictureProbe& probe)
        : m_probe(probe) {
        m_out.document = doc;
        Records records = recordsOf(bytes);
        m_fields = std::move(records.fields);
        m_lines = std::move(records.lines);
    }

    ThemeReading run() {
        ThemeDocument& doc = m_out.document;
        // A file that is no theme at all changes nothing.
        m_out.isTheme = holdsAThemeRecord(Records{m_fields, m_lines});
        if (!m_out.isTheme)
            return std::move(m_out);
        for (QString& p : doc.pointers)
            p.clear();
        for (QString& s : doc.sounds)
            s.clear();
        for (QString& i : doc.icons)
            i.clear();

        const QString defaultValue = QStringLiteral("DefaultValue=");
        const QString ico = QStringLiteral(".ico");
        const QString cur = QStringLiteral(".cur");
        const QString ani = QStringLiteral(".ani");

        // Steps 1, 2: the two icons whose value follows their section header.
        const std::pair<int, std::string_view> headed[] = {{1, kMyComputerSection},
                                                           {2, kNetworkSection}};
        // (Clang 14 cannot capture structured bindings: copy the index.)
        for (const auto& [slotIndex, section] : headed) {
            const int index = slotIndex;
            const PathRule rule{Variant::A, defaultValue, ico, {}, true};
            scanHeaded(
                toQString(section), [&](const QString& r) { takeIcon(index, extract(r, rule)); },
                [&] { m_loadProblem = true; });
        }

        // Steps 3, 4: the recycle bin, full before empty.
        for (const auto& [slotIndex, key] : {std::pair{4, "full="}, std::pair{3, "empty="}}) {
            const int index = slotIndex;
            const PathRule rule{Variant::B, QString::fromLatin1(key), ico, {}, true};
            scanFields(rule.key, false,
                       [&](const QString& r) { takeIcon(index, extract(r, rule)); });
        }

        // Step 5 wants "Arrow=" at the start so that "UpArrow=" is not taken
        // for it. It accepts ".ani" like the other pointers, so that an
        // animated Normal Select pointer reads back, but still fails when it
        // finds neither extension.
        for (int n = 0; n < kPointerCount; ++n) {
            const int index = kPointerFileOrder[n];
            const PathRule rule{Variant::B, toQString(kPointerSlots[index].key) + QLatin1Char('='),
                                cur, ani, index == 0};
            scanFields(rule.key, index == 0,
                       [&](const QString& r) { takePointer(index, extract(r, rule)); });
        }

        // Step 19: the screen saver.
        {
            const PathRule rule{
                Variant::C, QStringLiteral("SCRNSAVE.EXE="), QStringLiteral(".scr"), {}, true};
            scanFields(rule.key, false, [&](const QString& r) {
                const Extraction e = extract(r, rule);
                if (e.outcome == Extraction::Taken)
                    doc.icons[kScreenSaverIndex] = e.path;
            });
        }

        // Step 20: the wallpaper.
        {
            const PathRule rule{Variant::B, QStringLiteral("Wallpaper="), QStringLiteral(".bmp"),
                                QStringLiteral(".jpg"), false};
            scanFields(rule.key, false,
                       [&](const QString& r) { takeIcon(kWallpaperIndex, extract(r, rule)); });
        }

        // Steps 21..40: sounds, whose value follows their section header.
        for (const int index : kSoundFileOrder) {
            const PathRule rule{Variant::D, defaultValue, QStringLiteral(".wav"), {}, true};
            const QString header = QStringLiteral("[AppEvents\\Schemes\\Apps\\") +
                                   toQString(kSoundSlots[index].eventPath) +
                                   QStringLiteral("\\.Current]");
            scanHeaded(
                header, [&](const QString& r) { takeSound(index, extract(r, rule)); },
                [&] {
                    takeSound(index, Extraction{Extraction::Failed, {}, Preview::None, {}});
                });
        }

        // Steps 41..65: colours, whole lines; a line that merely contains a
        // key ("InactiveTitle=" holds "ActiveTitle=") does not set it.
        for (int i = 0; i < kColourCount; ++i) {
            const QString key = toQString(kColourSlots[i].key) + QLatin1Char('=');
            for (const QString& line : std::as_const(m_lines)) {
                if (line.startsWith(key)) // contains the key, and begins with it
                    doc.colours[i] = line.mid(key.size());
            }
        }

        // Steps 66, 67: metrics, whole lines, everything after the key's length.
        const std::pair<QString, QString*> metrics[] = {
            {QStringLiteral("IconMetrics="), &doc.iconMetrics},
            {QStringLiteral("NonclientMetrics="), &doc.nonclientMetrics}};
        for (const auto& [key, target] : metrics) {
            for (const QString& line : std::as_const(m_lines)) {
                if (line.contains(key))
                    *target = line.mid(key.size());
            }
        }

        // The tile flag: the last line that begins with the key and says
        // exactly "0" or "1" decides; other values leave the choice.
        for (const QString& line : std::as_const(m_lines)) {
            if (!line.startsWith(kTileWallpaperKey))
                continue;
            const QStringView value = QStringView(line).mid(kTileWallpaperKey.size());
            if (value == u"0" || value == u"1")
                doc.tiled = value == u"1";
        }

        doc.colourMode = ColourMode::Own;
        if (m_loadProblem)
            m_out.messages.append(toQString(kLoadProblemMessage));
        return std::move(m_out);
    }

private:
    // One step over field records: act on every field that holds (or, with
    // atStart, begins with) the key.
    void scanFields(const QString& key, bool atStart,
                    const std::function<void(const QString&)>& act) const {
        for (const QString& field : m_fields) {
            if (atStart ? field.startsWith(key) : field.contains(key))
                act(field);
        }
    }

    // One step whose value is the field after a section header; the scan
    // goes on behind that field. A header in the last field is a failure.
    void scanHeaded(const QString& header, const std::function<void(const QString&)>& act,
                    const std::function<void()>& pastEnd) const {
        for (qsizetype i = 0; i < m_fields.size(); ++i) {
            if (!m_fields[i].contains(header))
                continue;
            if (i + 1 >= m_fields.size()) {
                pastEnd();
                break;
            }
            act(m_fields[++i]);
        }
    }

    // The common core of the path extractors.
    Extraction extract(const QString& record, const PathRule& rule) {
        Extraction result;
        const bool upper = rule.variant == Variant::A;
        const QString r = upper ? windowsUpper(record) : record;
        const QString k = upper ? windowsUpper(rule.key) : rule.key;
        QString extension = upper ? windowsUpper(rule.extension) : rule.extension;

        if (!r.contains(k))
            return result;
        if (rule.variant == Variant::D && r.size() == k.size())
            return result; // "DefaultValue=" with no value: an empty sound, silently

        // p: the extension's position (0-based here).
        qsizetype p = rule.variant == Variant::C ? windowsUpper(r).indexOf(windowsUpper(extension))
                                                 : r.indexOf(extension);
        if (p < 0 && !rule.alternative.isEmpty()) {
            p = r.indexOf(rule.alternative);
            if (p >= 0)
                extension = rule.alternative;
        }
        if (p < 0) {
            if (rule.failsWithoutExtension)
                result.outcome = Extraction::Failed;
            return result;
        }

        // The value is taken to start right after the key and runs p
        // characters, so it may reach past the extension.
        const QString value = r.mid(k.size(), p);
        const bool macroAnyCase = rule.variant != Variant::D;
        QString directory;
        qsizetype prefixLength = 0;
        if (startsWithMacro(value, kThemeDirMacro, macroAnyCase)) {
            directory = toQString(kThemesRoot);
            prefixLength = kThemeDirMacro.size();
        } else if (startsWithMacro(value, kWinDirMacro, macroAnyCase)) {
            directory = toQString(kWindowsDir);
            prefixLength = kWinDirMacro.size();
        } else {
            directory = value.left(value.lastIndexOf(QLatin1Char('\\')) + 1);
            prefixLength = directory.size();
        }
        result.formed = directory;

        const qsizetype start = k.size() + prefixLength;
        if (p - start < 0) {
            result.outcome = Extraction::Failed;
            return result;
        }
        const QString name = r.mid(start, p - start);
        result.formed = directory + name;
        result.path = onDriveC(directory + name + extension);

        if (rule.variant == Variant::A || rule.variant == Variant::B) {
            if (extension == QStringLiteral(".ani")) {
                result.preview = Preview::AnimatedPointer;
            } else if (extension == QStringLiteral(".jpg")) {
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

    void takePointer(int index, const Extraction& e) {
        if (e.outcome == Extraction::Failed)
            m_loadProblem = true;
        if (e.outcome != Extraction::Taken)
            return;
        m_out.document.pointers[index] = e.path;
        m_out.pointerPreviews[index] = e.preview;
    }

    void takeIcon(int index, const Extraction& e) {
        if (e.outcome == Extraction::Failed)
            m_loadProblem = true;
        if (e.outcome != Extraction::Taken)
            return;
        if (index == kWallpaperIndex)
            m_out.document.jpegWallpaper = e.preview == Preview::JpegWallpaper;
        m_out.document.icons[index] = e.path;
        m_out.iconsPreviews[index] = e.preview;
    }

    void takeSound(int index, const Extraction& e) {
        if (e.outcome == Extraction::Taken)
            m_out.document.sounds[index] = e.path;
        if (e.outcome != Extraction::Failed)
            return;
        // One message per sound slot: a file with thousands of broken
        // sections must not raise thousands of message boxes.
        if (!m_soundMessageShown[index]) {
            m_soundMessageShown[index] = true;
            m_out.messages.append(e.formed + QStringLiteral(".wav"));
        }
        m_loadProblem = true;
    }

    const PictureProbe& m_probe;
    QStringList m_fields;
    QStringList m_lines;
    ThemeReading m_out;
    QHash<QString, bool> m_probed;
    std::array<bool, kSoundCount> m_soundMessageShown{};
    bool m_loadProblem = false;
};

} // namespace detail

inline ThemeReading readTheme(const ThemeDocument& doc, const QByteArray& themeFileBytes,
                              const PictureProbe& probe) {
    return detail::Reading(doc, themeFileBytes, probe).run();
}

inline bool isThemeText(const QByteArray& themeFileBytes) {
    return detail::holdsAThemeRecord(detail::recordsOf(themeFileBytes));
}

} // namespace p95::fuzz::reference
