#pragma once

#include <QStringList>

namespace p95::cli {

// paletteer95-cli preview DOC.json -o FILE.png [--size WxH] [--screen WxH]:
// the theme drawn as a Windows 95 desktop on a screen of the given
// resolution, written as a PNG file. Needs a QGuiApplication.
// Returns the exit status.
int previewCommand(const QStringList& args);

} // namespace p95::cli
