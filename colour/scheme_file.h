#pragma once

// Colour scheme files: the 25 colour texts, one per line in colour index
// order, Windows-1252 with CR LF after each line, nothing else. Saved in the
// program directory as the name the user gives + ".scheme".

#include "colour/colour_table.h"
#include "platform/error.h"
#include "platform/file_system.h"

#include <QString>

#include <array>
#include <optional>

namespace p95 {

using ColourTexts = std::array<QString, kColourCount>;

// programDirectory + "\" + name + ".scheme". The name may hold a sub-folder.
QString schemeFilePath(const QString& programDirectory, const QString& name);

// Refuses a name that cannot be a scheme file name (empty, or a character
// Windows refuses in a file name), saying why in the error's reason.
Status checkSchemeName(const QString& name);

// Writes the 25 colour texts as they stand, replacing a file of that name.
Status saveColourScheme(FileSystem& files, const QString& programDirectory, const QString& name,
                        const ColourTexts& colours);

// The first 25 lines of a scheme file, unchanged, as the 25 colour texts;
// later lines are ignored. A file with fewer lines, or whose first 25 lines
// are not all colour texts (three numbers from 0 to 255: "0 128 128"), is
// refused whole, the reason naming the first line that is not one.
Result<ColourTexts> readColourScheme(const FileSystem& files, const QString& path);

} // namespace p95
