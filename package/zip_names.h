#pragma once

// libarchive hands out every UTF-8 name of a zip in Unicode's composed form
// (NFC). A package keeps its names byte for byte, so a name stored
// decomposed (NFD, as some systems write them) must come back decomposed:
// this reads the names as the zip's central directory stores them.

#include "package/archive_reader.h"

#include <QHash>

namespace p95 {

// The names of a zip's central directory that are valid UTF-8 and change
// when composed, by their composed form. Empty for anything else.
QHash<QString, QString> zipDecomposedNames(const ArchiveInput& input);

} // namespace p95
