#pragma once

#include <QStringList>

namespace p95::cli {

// paletteer95-cli read FILE.theme [--into DOC.json]: the document after
// opening FILE.theme, with the messages the reading shows. Returns the exit
// status.
int readCommand(const QStringList& args);

} // namespace p95::cli
