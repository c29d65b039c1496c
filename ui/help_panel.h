#pragma once

// The help panels: an information picture beside a text, one on the window and
// one or two on each tab. The texts are set when the window loads.

#include <QString>

class QLabel;
class QWidget;

namespace p95 {

inline constexpr int kHelpPanelCount = 7;

// The text of help panel i (0..6).
QString helpText(int index);

struct HelpPanel {
    QWidget* panel = nullptr;  // holds the two below, for placing in a layout
    QLabel* picHelp = nullptr; // objectName picHelp_<i>
    QLabel* lblHelp = nullptr; // objectName lblHelp_<i>
};

// Builds help panel i, empty (the window's load fills picture and text).
HelpPanel makeHelpPanel(int index, QWidget* parent);

} // namespace p95
