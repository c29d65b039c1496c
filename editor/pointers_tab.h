#pragma once

// The "Mouse Pointers" tab: one button, preview and hidden path per pointer
// slot. A button shows its pointer on hover: the standard one of its role
// until a cursor file is chosen for it.

#include "editor/tab_context.h"
#include "theme/theme_document.h"
#include "ui/help_panel.h"

#include <QCursor>
#include <QWidget>

#include <array>
#include <memory>

class QGroupBox;
class QLabel;
class QPushButton;

namespace p95 {

class PointersTab : public QWidget {
    Q_OBJECT
public:
    explicit PointersTab(QWidget* parent = nullptr);
    ~PointersTab() override;

    // Connects the buttons; the tab works through its window from then on.
    void attach(const TabContext& context);

    // Command3(i): choose the pointer of slot i.
    void Command3_Click(int i);
    // "&Remove from Theme" for slot i: empties it after a Yes, and the button
    // shows the pointer of its role again.
    void removePointer(int i);

    // "Handwriting" shows the pen from the program directory ("pen.cuz")
    // until a cursor file is chosen for it.
    void showHandwritingPointer();

    HelpPanel help; // panel 1
    QGroupBox* Frame8 = nullptr;
    std::array<QPushButton*, kPointerCount> Command3{};
    std::array<QLabel*, kPointerCount> Image1{}; // previews
    std::array<QLabel*, kPointerCount> Source{}; // hidden: the slot's path

private:
    std::unique_ptr<TabContext> m_context;
    std::array<QCursor, kPointerCount> m_startPointers; // the hover pointers of the empty slots
};

} // namespace p95
