#pragma once

#include <QStringList>

namespace p95::cli {

// paletteer95-cli pack NAME [-o FILE.zip]. Returns the exit status.
int packCommand(const QStringList& args);

// paletteer95-cli install FILE [--force]. Returns the exit status.
int installCommand(const QStringList& args);

} // namespace p95::cli
