#pragma once

// Product constants shown in the .theme header, the About window and the
// start window's copy commands. One place, so they always agree.

#include <string_view>

namespace p95 {

inline constexpr std::string_view kProductName = "Paletteer 95";
inline constexpr std::string_view kProductTitle = "Paletteer 95 v2.0";
inline constexpr std::string_view kHomePageUrl = "https://paletteer95.example.org/";
inline constexpr std::string_view kContactEmail = "paletteer95@example.org";
inline constexpr std::string_view kAuthorName = "Robin Hale";

} // namespace p95
