#pragma once

#include <QStringList>

namespace p95::cli {

// paletteer95-cli save DOC.json: the save from Prepare on, without the
// confirmation question. Returns the exit status.
int saveCommand(const QStringList& args);

} // namespace p95::cli
