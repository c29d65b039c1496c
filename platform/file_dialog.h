#pragma once

// The file-open dialog as its callers use it: properties set before showing,
// the chosen path read back from fileName.

#include <QString>

class QWidget;

namespace p95 {

struct CommonDialog {
    QString fileName;    // in: initial name; out: the chosen host path, unchanged on Cancel
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
};

} // namespace p95
