#pragma once

// The ReadMe of a theme: the user's default ReadMe in the program directory,
// which every save reloads, and the ReadMe.txt a save writes into the theme
// directory. Both are plain text: Windows-1252 with CR LF between lines. In
// the program, lines are separated by "\n", as the editor gives them.

#include "platform/error.h"
#include "platform/file_system.h"
#include "theme/theme_document.h"

#include <QByteArray>
#include <QString>

namespace p95 {

// programDirectory + "\PersonalReadMe.txz".
QString defaultReadMePath(const QString& programDirectory);
// Themes root + name + "\ReadMe.txt".
QString themeReadMePath(const QString& themeName);

// The bytes of a plain text: CR LF between lines, nothing added after the
// last one. Fails, naming the character, when Windows-1252 cannot hold it.
Result<QByteArray> plainTextBytes(const QString& text);
// The text of a plain-text file; CR LF, a bare CR and a bare LF all end a line.
QString plainTextFromBytes(const QByteArray& bytes);

Result<QString> loadDefaultReadMe(const FileSystem& files, const QString& programDirectory);
Status storeDefaultReadMe(FileSystem& files, const QString& programDirectory, const QString& text);

// When the document includes its ReadMe, writes doc.readMe to the theme's
// ReadMe.txt, replacing it; otherwise does nothing.
Status GenerateReadMe(FileSystem& files, const ThemeDocument& doc);

} // namespace p95
