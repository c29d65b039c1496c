#pragma once

#include "colour/scheme_file.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "theme/theme_document.h"

namespace p95 {

// In preset mode, copies the selected preset into the 25 colour texts; in
// own-colours mode changes nothing. Runs at every save, before anything is written.
void GetColors(ThemeDocument& doc);

// The 25 colour texts GetColors would leave in doc: the selected preset's in
// preset mode, otherwise (or with no preset selected) doc's own.
std::array<QString, kColourCount> colourTextsInUse(const ThemeDocument& doc);

// Reads a scheme file into the document and puts it in own-colours mode. On
// any failure the document is left as it was.
Status loadColourScheme(const FileSystem& files, const QString& path, ThemeDocument& doc);

// The colour texts of a preset, for checks and display.
std::array<QString, kColourCount> presetColours(int preset);

} // namespace p95
