#pragma once

// The "Mouse Pointers" tab: one button, preview and hidden path per pointer slot.

#include "editor/help_panel.h"
#include "theme/theme_document.h"

#include <QWidget>

#include <array>

class QGroupBox;
class QLabel;
class QPushButton;

namespace p95 {

class PointersTab : public QWidget {
    Q_OBJECT
public:
    explicit PointersTab(QWidget* parent = nullptr);

    HelpPanel help; // panel 1
    QGroupBox* Frame8 = nullptr;
    std::array<QPushButton*, kPointerCount> Command3{};
    std::array<QLabel*, kPointerCount> Image1{}; // previews
    std::array<QLabel*, kPointerCount> Source{}; // hidden: the slot's path
};

} // namespace p95
