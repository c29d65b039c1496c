#pragma once

#include "platform/error.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace p95 {

// The one check every entry point applies to a theme name before anything is
// written. A refused name's error has the message to show, saying which rule
// it breaks, as its reason.
Status checkThemeName(const QString& name);

// Why one component of a Windows path (a folder or file name) cannot be held
// by Windows or by this host, or nothing when it can: a character Windows
// refuses, a reserved device name (alone or with an extension), a trailing
// blank or dot, more bytes than the host holds in one name. The text is a
// phrase such as "it ends in a blank or a dot", for the caller's sentence.
std::optional<QString> fileNameProblem(const QString& component);

// True for CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0..COM9 and LPT0..LPT9
// (the superscript digits ¹ ² ³ count as digits) in any letter case, alone or
// followed by an extension ("Nul.bak", "com¹.txt"). The theme-name check and
// the package check both ask this.
bool isReservedDeviceName(QStringView component);

// Longest Windows path a theme's files reach: themes root + name + "\" + the
// longest standard file name. Windows 95 cannot open a longer path than this.
inline constexpr int kMaxWindowsPath = 259;

// Longest file name, in bytes of the host's file-name encoding, that the
// host's file systems hold (255 on Linux).
inline constexpr int kMaxHostNameBytes = 255;

} // namespace p95
