#pragma once

// "&Install Theme Package...": a package installed into the themes folder,
// asking before it replaces files of installed themes, and the theme to open
// afterwards (of several, the one the user picks).

#include "platform/gui/services.h"

#include <QString>

#include <optional>

class QWidget;

namespace p95 {

class FileSystem;

// Installs the package at archive; every question and outcome is told over
// parent. The .theme file to open, or nothing when nothing is to be opened
// (refused, declined, or no theme named).
std::optional<QString> installPackageFlow(const QString& archive, const Services& services,
                                          FileSystem& files, QWidget* parent);

} // namespace p95
