#pragma once

// "&Pack Theme...": the saved theme packed into a zip archive the user
// chooses, asking before an existing file is replaced.

#include "platform/gui/services.h"

#include <QString>

class QWidget;

namespace p95 {

class FileSystem;

// Packs the saved theme `name`; unsavedChanges adds to the closing message
// that they are not in the package. Every outcome is told over parent.
void packSavedTheme(const QString& name, bool unsavedChanges, const Services& services,
                    FileSystem& files, QWidget* parent);

} // namespace p95
