#pragma once

// The save itself, run beside the event loop on a worker thread so that a
// slow one can show its progress; the windows take no input meanwhile.

#include "theme/theme_save.h"

class QWidget;

namespace p95 {

class FileSystem;

// Saves doc, showing "Saving the theme NAME..." over parent when it takes a
// while; returns when the save has ended.
SaveResult saveWithProgress(const ThemeDocument& doc, FileSystem& files, QWidget* parent);

} // namespace p95
