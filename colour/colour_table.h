#pragma once

// The 25 system colours in their one fixed index order: name-label caption,
// .theme key and default colour text.

#include <array>
#include <string_view>

namespace p95 {

inline constexpr int kColourCount = 25;

struct ColourSlot {
    std::string_view caption;     // Label4(i)
    std::string_view key;         // [Control Panel\Colors]
    std::string_view defaultText; // Label7(i) at start-up
};

inline constexpr std::array<ColourSlot, kColourCount> kColourSlots{{
    {"Active Title", "ActiveTitle", "0 0 128"},
    {"Background", "Background", "0 128 128"},
    {"Highlight", "Hilight", "0 0 128"},
    {"Highlight Text", "HilightText", "255 255 255"},
    {"Title Text", "TitleText", "255 255 255"},
    {"Window", "Window", "255 255 255"},
    {"Window Text", "WindowText", "0 0 0"},
    {"Scrollbar", "Scrollbar", "192 192 192"},
    {"Inactive Title", "InactiveTitle", "128 128 128"},
    {"Menu", "Menu", "192 192 192"},
    {"Window Frame", "WindowFrame", "0 0 0"},
    {"Menu Text", "MenuText", "0 0 0"},
    {"Active Border", "ActiveBorder", "192 192 192"},
    {"In-active Border", "InactiveBorder", "192 192 192"},
    {"Application Workspace", "AppWorkspace", "128 128 128"},
    {"Button Face", "ButtonFace", "192 192 192"},
    {"Button Shadow", "ButtonShadow", "128 128 128"},
    {"Grey Text", "GrayText", "128 128 128"},
    {"Button Text", "ButtonText", "0 0 0"},
    {"In-active Title Text", "InactiveTitleText", "192 192 192"},
    {"Button Highlight", "ButtonHilight", "255 255 255"},
    {"Button Dark Shadow", "ButtonDkShadow", "0 0 0"},
    {"Button Light", "ButtonLight", "192 192 192"},
    {"Information Text", "InfoText", "0 0 0"},
    {"Information Window", "InfoWindow", "255 255 225"},
}};

} // namespace p95
