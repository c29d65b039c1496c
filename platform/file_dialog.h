#pragma once

// The file dialogs as their callers use them: properties set before showing,
// the chosen path read back from fileName.

#include <QString>

class QWidget;

namespace p95 {

struct CommonDialog {
    QString fileName; // in: initial name; out: the chosen host path, unchanged on Cancel
    QString dialogTitle;
    QString filter;      // "description|pattern|description|pattern..."
    int filterIndex = 1; // the selected filter, counted from 1
    QString defaultExt;  // ".cur"
    QString initDir;     // Windows-form or host path; empty: the last folder shown
};

class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    // Modal. On a choice fileName holds the full host path exactly as chosen; on
    // Cancel fileName keeps what it held before and nothing else happens.
    virtual void showOpen(CommonDialog& dialog, QWidget* parent) = 0;
    // The same for a file to write, which need not exist; fileName may hold
    // the name to offer. True when a file was chosen (Cancel cannot be told
    // from the name left unchanged). The dialog never asks about a file that
    // exists: the caller asks its own question (titled "Paletteer 95",
    // through the message box service), so that a script answers it in a
    // test just as the user does.
    virtual bool showSave(CommonDialog& dialog, QWidget* parent) = 0;
};

} // namespace p95
