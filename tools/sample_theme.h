#pragma once

// A sample theme for pictures of the editor window: every pointer, icon and
// the wallpaper drawn on the spot, most sounds and a screen saver, saved as a
// theme directory on the mapped drive C. Opening it fills every tab.

#include "platform/error.h"

#include <QString>

namespace p95 {

// Writes the theme `name` under the themes root; the Windows-form path of its
// .theme file.
Result<QString> writeSampleTheme(const QString& name);

} // namespace p95
