#pragma once

// The reader's fixed data: the 40 steps that read comma-delimited fields, in
// their order, each with how it finds its records and how it forms a path
// from one; and the keys of the steps that read whole lines. Shared by the
// record index (which finds the records) and the reader (which acts on them).

#include "theme/theme_document.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <bit>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace p95::reader {

// How a step forms a path from its record, what it checks and what a failure
// does. The kinds differ in letter case, in the picture check and in failure.
enum class PathKind {
    // My Computer, Network Neighbourhood: key, macro and extension in any
    // case, the path stored upper-cased; it must load as a picture; a failure
    // raises the load-problem message.
    UpperCasedPicture,
    // Recycle bins, pointers, wallpaper: exact case, the macro in any case; it
    // must load as a picture; a failure raises the load-problem message.
    Picture,
    // Screen saver: the extension in any case; taken unchecked; a failure
    // passes silently.
    QuietFile,
    // Sounds: exact case throughout; taken unchecked; a failure is shown as
    // its own message, then raises the load-problem message.
    ReportedFile,
};

// How a step finds its records among the fields.
enum class Match {
    Headed,     // the field after one that contains a section header
    Contains,   // a field that contains the key
    BeginsWith, // a field that begins with the key
};

struct PathRule {
    PathRule() = default;
    PathRule(PathKind k, QByteArray key, QString e, QString a, bool fails)
        : kind(k), extension(std::move(e)), alternative(std::move(a)), failsWithoutExtension(fails),
          upperExtension(QString::fromLatin1(extension.toLatin1().toUpper())),
          keyBytes(std::move(key)), extensionBytes(extension.toLatin1()),
          alternativeBytes(alternative.toLatin1()) {}

    PathKind kind = PathKind::Picture;
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

inline constexpr int kFieldSteps = 40;

const std::array<FieldStep, kFieldSteps>& fieldSteps();

// Every Headed step's header begins with one of these.
inline constexpr std::string_view kIconHeaderStart = "[CLSID\\{";
inline constexpr std::string_view kSoundHeaderStart = "[AppEvents\\Schemes\\Apps\\";

using StepSet = std::uint64_t; // one bit per field step
static_assert(kFieldSteps <= 64);

constexpr StepSet bit(int step) {
    return StepSet(1) << step;
}

// Every key of a Contains step ends in "="; a field that holds one holds an
// "=" with the key before it. The steps whose key has c before its "=", by c.
const std::array<std::vector<int>, 256>& keysByLastLetter();

StepSet headedSteps();
StepSet beginsWithSteps();

// Steps 41..65 and the tile flag read lines that begin with their key; the
// key's "=" is then the line's first one. The keys by length, each with its
// colour index or kTileKey.
inline constexpr int kTileKey = kColourCount;
const std::array<std::vector<std::pair<QByteArray, int>>, 32>& lineKeysByLength();

// Steps 66, 67: lines that contain these keys anywhere.
inline constexpr std::string_view kIconMetricsKey = "IconMetrics=";
inline constexpr std::string_view kNonclientMetricsKey = "NonclientMetrics=";

} // namespace p95::reader
