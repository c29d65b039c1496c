#pragma once

// The "ReadMe File" tab: the ReadMe text, whether a save includes it, and the
// button that stores it as the default ReadMe.

#include "ui/help_panel.h"

#include <QWidget>

class QCheckBox;
class QPushButton;
class QTextEdit;

namespace p95 {

class ReadMeTab : public QWidget {
    Q_OBJECT
public:
    explicit ReadMeTab(QWidget* parent = nullptr);

    HelpPanel help; // panel 5
    QCheckBox* chkReadMe = nullptr;
    QPushButton* Command14 = nullptr; // "Save as Default &ReadMe File"
    QTextEdit* txtReadMe = nullptr;
};

} // namespace p95
