#pragma once

// Turns a theme document into the lines of its .theme file, in the layout the
// Plus! theme manager reads. The writer shows nothing; failures go back to the
// caller.

#include "platform/error.h"
#include "theme/theme_document.h"

#include <QStringList>

namespace p95 {

// Every line of the .theme file, without line ends.
QStringList themeFileLines(const ThemeDocument& doc);

// The file's bytes: Windows-1252, CR LF after every line. Fails when the
// document holds text Windows-1252 cannot write.
Result<QByteArray> themeFileBytes(const ThemeDocument& doc);

// Writes the .theme file to a host path (written beside it and renamed over it).
Status writeThemeFile(const ThemeDocument& doc, const QString& hostPath);

} // namespace p95
