#pragma once

// Opening a .theme file, the one way for the editor's Open, the start
// window's Open, a file given at start and an installed package's theme: the
// file is read once, checked, and its bytes handed to the reading.

#include <QByteArray>
#include <QString>

namespace p95 {

class FileSystem;

struct ThemeFileToOpen {
    QString path;
    QByteArray bytes;
    // Why the file cannot be opened (it cannot be read, or is no theme), in
    // the words the user is told; empty when it can.
    QString refusal;
    bool ok() const { return refusal.isEmpty(); }
};

ThemeFileToOpen readThemeToOpen(const FileSystem& files, const QString& path);

} // namespace p95
