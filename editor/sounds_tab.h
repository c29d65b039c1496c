#pragma once

// The "Sounds" tab: one button, hidden path and play picture per sound slot.
// The play picture plays the sound on a left click; it and the button offer
// "&Remove from Theme" on a right click. From the keyboard: Space or Enter
// plays, the Menu key or Shift+F10 opens the pop-up.

#include "editor/tab_context.h"
#include "theme/theme_document.h"
#include "ui/help_panel.h"

#include <QPixmap>
#include <QWidget>

#include <array>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace p95 {

class SoundsTab : public QWidget {
    Q_OBJECT
public:
    explicit SoundsTab(QWidget* parent = nullptr);
    ~SoundsTab() override;

    // Connects the buttons, the play pictures and their removal pop-up.
    void attach(const TabContext& context);

    void Command4_Click(int i); // choose the sound of slot i
    void Image2_Click(int i);   // play the sound of slot i
    void removeSound(int i);    // mnuRemove for slot i: asks, then empties it
    // The play picture the removal pop-up was last opened for (0 before any;
    // -1 when it was last opened for another kind of slot).
    int currentSound() const;

    HelpPanel help; // panel 2
    QGroupBox* Frame7 = nullptr;
    std::array<QPushButton*, kSoundCount> Command4{};
    std::array<QLineEdit*, kSoundCount> Text1{}; // hidden: the slot's path
    std::array<QLabel*, kSoundCount> Image2{};   // play pictures, shown while a sound is set

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPicture(int i, const QString& file);

    std::unique_ptr<TabContext> m_context;
};

} // namespace p95
