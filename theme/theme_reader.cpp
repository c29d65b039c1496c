#include "theme/theme_reader.h"

#include "platform/drive.h"
#include "platform/file_system.h"
#include "platform/text_codec.h"
#include "theme/reader_steps.h"
#include "theme/record_index.h"

#include <QHash>

#include <algorithm>
#include <optional>
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

using namespace reader;

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
    QString text(Span span) const {
        const std::string_view bytes = m_index.bytes(span);
        return decoded(bytes.data(), qsizetype(bytes.size()));
    }

    // One step over its records. The index holds each distinct record once:
    // the last record taken wins, and the first that failed is the one shown.
    void runStep(int s) {
        const FieldStep& step = fieldSteps()[s];
        std::optional<Extraction> taken;
        std::optional<Extraction> failed;
        qsizetype takenAt = -1;
        // In the order they first occur: the first failure found is the first in the file.
        for (qsizetype at = m_index.firstRecord[s]; at >= 0; at = m_index.records[at].next) {
            const Record& record = m_index.records[at];
            Extraction extraction = extract(record.span, step.rule);
            if (extraction.outcome == Extraction::Taken && record.last > takenAt) {
                takenAt = record.last;
                taken = std::move(extraction);
            } else if (extraction.outcome == Extraction::Failed && !failed) {
                failed = std::move(extraction);
            }
        }
        apply(step, taken ? &*taken : nullptr, failed ? &*failed : nullptr, m_index.pastEnd[s]);
    }

    void apply(const FieldStep& step, const Extraction* taken, const Extraction* failed,
               bool pastEnd) {
        ThemeDocument& doc = m_out.document;
        const int index = step.slot.index;
        switch (step.rule.kind) {
        case PathKind::UpperCasedPicture:
        case PathKind::Picture:
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
        case PathKind::QuietFile:
            if (taken)
                doc.icons[kScreenSaverIndex] = taken->path;
            return;
        case PathKind::ReportedFile:
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
        const bool upperCased = rule.kind == PathKind::UpperCasedPicture;
        const auto& table = upperCased ? decodeTables().upper : decodeTables().plain;
        Extraction result;
        const std::string_view recordBytes = m_index.bytes(record);
        const QLatin1StringView r(recordBytes.data(), qsizetype(recordBytes.size()));
        const QLatin1StringView k(rule.keyBytes);
        const Qt::CaseSensitivity keyCase = upperCased ? Qt::CaseInsensitive : Qt::CaseSensitive;
        // An upper-cased path stores its extension upper-cased; a quiet file
        // looks for its extension in any case.
        const QString* extension = upperCased ? &rule.upperExtension : &rule.extension;
        const Qt::CaseSensitivity extensionCase = upperCased || rule.kind == PathKind::QuietFile
                                                      ? Qt::CaseInsensitive
                                                      : Qt::CaseSensitive;

        if (!r.contains(k, keyCase))
            return result;
        if (rule.kind == PathKind::ReportedFile && r.size() == k.size())
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
            rule.kind == PathKind::ReportedFile ? Qt::CaseSensitive : Qt::CaseInsensitive;
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

        if (upperCased || rule.kind == PathKind::Picture) {
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
    const RecordIndex m_index;
    ThemeReading m_out;
    QHash<QString, bool> m_probed;
    bool m_loadProblem = false;
};

} // namespace

ThemeReading readTheme(const ThemeDocument& doc, const QByteArray& themeFileBytes,
                       const PictureProbe& probe) {
    return Reading(doc, themeFileBytes, probe).run();
}

bool isThemeText(const QByteArray& themeFileBytes) {
    return RecordIndex(themeFileBytes, true).any;
}

QString themeOpenRefusal(const Result<QByteArray>& read, const QString& themeFilePath) {
    if (!read)
        return unreadableThemeMessage(themeFilePath, read.error());
    if (!isThemeText(read.value()))
        return notAThemeMessage(themeFilePath);
    return {};
}

} // namespace p95
