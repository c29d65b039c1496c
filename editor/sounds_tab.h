#pragma once

// The "Sounds" tab: one button, hidden path and play picture per sound slot.

#include "editor/help_panel.h"
#include "theme/theme_document.h"

#include <QWidget>

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace p95 {

class SoundsTab : public QWidget {
    Q_OBJECT
public:
    explicit SoundsTab(QWidget* parent = nullptr);

    HelpPanel help; // panel 2
    QGroupBox* Frame7 = nullptr;
    std::array<QPushButton*, kSoundCount> Command4{};
    std::array<QLineEdit*, kSoundCount> Text1{}; // hidden: the slot's path
    std::array<QLabel*, kSoundCount> Image2{};   // play pictures, shown while a sound is set
};

} // namespace p95
