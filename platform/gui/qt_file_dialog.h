#pragma once

// The file dialogs on Qt's own (non-native) dialog, so that they look and
// behave the same on every desktop.

#include "platform/file_dialog.h"

#include <QString>
#include <QStringList>

namespace p95 {

// A "description|pattern|description|pattern" filter in Qt's name-filter form,
// one entry per pair. Each entry is the description followed by its patterns
// in parentheses ("Cursor Files (*.cur) (*.cur)"); the dialog hides that last
// group, so the user sees the description exactly as the caller wrote it.
// Patterns separated by ";" become a space-separated list; a missing or empty
// pattern matches every file; empty pairs are dropped.
QStringList qtNameFilters(const QString& filter);

class QtFileDialog : public FileDialogService {
public:
    void showOpen(CommonDialog& dialog, QWidget* parent) override;
    bool showSave(CommonDialog& dialog, QWidget* parent) override;

    // The folder the dialog showed last; where it starts when the caller sets
    // no initial directory (the home folder before the first showing).
    QString lastFolder() const { return m_lastFolder; }

private:
    bool show(CommonDialog& dialog, QWidget* parent, bool save);

    QString m_lastFolder;
};

} // namespace p95
