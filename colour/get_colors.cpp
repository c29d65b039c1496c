#include "colour/get_colors.h"

#include "colour/presets.h"

namespace p95 {

std::array<QString, kColourCount> presetColours(int preset) {
    std::array<QString, kColourCount> colours;
    const Preset& chosen = kPresets.at(static_cast<std::size_t>(preset));
    for (int i = 0; i < kColourCount; ++i)
        colours[i] = toQString(chosen.colours[i]);
    return colours;
}

void GetColors(ThemeDocument& doc) {
    if (doc.colourMode != ColourMode::Preset)
        return;
    if (doc.preset < 0 || doc.preset >= kPresetCount)
        return; // no preset button is selected: nothing to copy
    doc.colours = presetColours(doc.preset);
}

} // namespace p95
