#pragma once

// The "Visuals" tab: desktop icons, screen saver and wallpaper. The Icons
// array holds the six paths (0 wallpaper, 1..4 icons, 5 screen saver).

#include "editor/tab_context.h"
#include "theme/theme_document.h"
#include "ui/help_panel.h"

#include <QPixmap>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace p95 {

class VisualsTab : public QWidget {
    Q_OBJECT
public:
    explicit VisualsTab(QWidget* parent = nullptr);
    ~VisualsTab() override;

    // Connects the buttons; the tab works through its window from then on.
    void attach(const TabContext& context);

    void Command5_Click(int k); // choose the picture of icon k (1..4)
    void Command6_Click();      // choose the screen saver
    void Command7_Click();      // choose the wallpaper
    // "&Remove from Theme" for Icons(k): empties it and its preview after a Yes.
    void removeVisual(int k);

    HelpPanel help;                                       // panel 3
    QGroupBox* Frame5 = nullptr;                          // "Icons"
    QGroupBox* Frame1 = nullptr;                          // "Screen Saver"
    QGroupBox* Frame4 = nullptr;                          // "Wallpaper"
    std::array<QPushButton*, kIconsCount - 1> Command5{}; // 1..4; there is no Command5(0)
    std::array<QLabel*, kIconsCount - 1> Image3{};        // 0 wallpaper preview, 1..4 icons
    std::array<QLabel*, kIconsCount> Icons{};             // paths; only Icons(5) is shown
    QPushButton* Command6 = nullptr;                      // "Screen Saver"
    QPushButton* Command7 = nullptr;                      // "Wallpaper"
    std::array<QRadioButton*, 2> Option2{};               // "Center", "Tiled"
    QButtonGroup* layoutGroup = nullptr;

private:
    // Loads a chosen picture for a preview; refuses it with a message when it
    // cannot be loaded.
    std::optional<QPixmap> loadChosenPicture(const QString& path) const;

    std::unique_ptr<TabContext> m_context;
};

} // namespace p95
