#pragma once

// The faces the windows name, from free fonts a Debian desktop has:
// "MS Sans Serif" and "Marlett" from fonts-wine (loaded from their files, as
// fontconfig does not offer Wine's private folder), "Comic Sans MS" as Comic
// Neue (fonts-comic-neue) and "Courier New" as Liberation Mono
// (fonts-liberation2). A missing font is no failure: Qt's fallback takes over.

#include <QString>

namespace p95 {

// Where Debian's fonts-wine puts its faces.
QString wineFontsFolder();

struct ProgramFonts {
    bool msSansSerif = false; // "MS Sans Serif" can be drawn with its own face
    bool marlett = false;     // "Marlett", the caption-button glyphs
};

// Loads the faces and sets the substitutions, once per process (later calls
// return what the first found). Needs a QGuiApplication.
ProgramFonts installProgramFonts(const QString& folder = wineFontsFolder());

} // namespace p95
