#pragma once

// The "Colors" tab: the colour mode (own colours or a preset), the 25 colour
// names, their hidden colour texts, the eleven presets and the scheme buttons.

#include "colour/presets.h"
#include "editor/tab_context.h"
#include "theme/theme_document.h"
#include "ui/frm_color.h"
#include "ui/help_panel.h"

#include <QGroupBox>
#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>

class QButtonGroup;
class QLabel;
class QPushButton;
class QRadioButton;

namespace p95 {

// A frame whose title is an option button sitting on its top edge.
class OptionFrame : public QGroupBox {
    Q_OBJECT
public:
    OptionFrame(QRadioButton* title, QWidget* parent);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void placeTitle();
    QRadioButton* m_title;
};

class ColoursTab : public QWidget {
    Q_OBJECT
public:
    explicit ColoursTab(QWidget* parent = nullptr);
    ~ColoursTab() override;

    // Connects the name labels and the scheme buttons; the tab works through
    // its window from then on.
    void attach(const TabContext& context);

    // A click on name label Label4(i): opens the colour picker on colour i,
    // or points the open picker at it.
    void Label4_Click(int i);
    void Command13_Click(); // "Save &Color Scheme"
    void Command12_Click(); // "&Load Color Scheme"
    // The open picker, if any.
    FrmColor* picker() const { return m_picker; }

    // Selects the mode's option button and enables or disables the controls
    // that depend on it. The colour texts and the chosen preset stay.
    void showColourMode(ColourMode mode);

    HelpPanel help;                   // panel 4
    HelpPanel schemeHelp;             // panel 6, beside the scheme buttons
    QPushButton* Command13 = nullptr; // "Save &Color Scheme"
    QPushButton* Command12 = nullptr; // "&Load Color Scheme"
    QRadioButton* Option13 = nullptr; // own colours, the title of Frame3
    QRadioButton* Option14 = nullptr; // presets, the title of Frame2
    QButtonGroup* modeGroup = nullptr;
    OptionFrame* Frame3 = nullptr; // the colour names
    QLabel* Label6 = nullptr;
    std::array<QLabel*, kColourCount> Label4{};
    QWidget* Frame9 = nullptr; // hidden, over Frame3: the colour texts
    std::array<QLabel*, kColourCount> Label7{};
    OptionFrame* Frame2 = nullptr; // the presets
    std::array<QRadioButton*, kPresetCount> Option1{};
    QButtonGroup* presetGroup = nullptr;

Q_SIGNALS:
    // A colour picker was opened (the preview follows its bars).
    void pickerOpened(FrmColor* picker);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<TabContext> m_context;
    QPointer<FrmColor> m_picker; // deletes itself when it closes
};

} // namespace p95
