#include "theme/get_colors.h"

#include "colour/presets.h"

namespace p95 {

std::array<QString, kColourCount> presetColours(int preset) {
    std::array<QString, kColourCount> colours;
    const Preset& chosen = kPresets.at(static_cast<std::size_t>(preset));
    for (int i = 0; i < kColourCount; ++i)
        colours[i] = toQString(chosen.colours[i]);
    return colours;
}

std::array<QString, kColourCount> colourTextsInUse(const ThemeDocument& doc) {
    if (doc.colourMode != ColourMode::Preset)
        return doc.colours;
    if (doc.preset < 0 || doc.preset >= kPresetCount)
        return doc.colours; // no preset button is selected: nothing to copy
    return presetColours(doc.preset);
}

void GetColors(ThemeDocument& doc) {
    doc.colours = colourTextsInUse(doc);
}

Status loadColourScheme(const FileSystem& files, const QString& path, ThemeDocument& doc) {
    auto colours = readColourScheme(files, path);
    if (!colours)
        return colours.error();
    doc.colours = colours.value();
    doc.colourMode = ColourMode::Own;
    return {};
}

} // namespace p95
