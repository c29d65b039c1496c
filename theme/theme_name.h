#pragma once

#include <QString>

#include <optional>

namespace p95 {

// The one check every entry point applies to a theme name before anything is
// written. Returns the message to show when the name is refused. A name of
// blanks only is accepted.
std::optional<QString> themeNameProblem(const QString& name);

// Longest Windows path a theme's files reach: themes root + name + "\" + the
// longest standard file name. Windows 95 cannot open a longer path than this.
inline constexpr int kMaxWindowsPath = 259;

} // namespace p95
