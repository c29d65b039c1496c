#pragma once

// frmColor, the colour picker: three scroll bars for red, green and blue with
// a preview. Modeless; each opening makes a new window, which deletes itself
// when it closes. Select hands the colour text back through colourSelected();
// Cancel and the close box hand back nothing.

#include "colour/colour_text.h"

#include <QDialog>

#include <array>

class QFrame;
class QIcon;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace p95 {

class FrmColor : public QDialog {
    Q_OBJECT
public:
    // Opens on colourText, the current text of colour `index`; text that is
    // not three numbers 0..255 opens on what can be read of it.
    FrmColor(int index, const QString& colourText, const QIcon& icon, QWidget* parent = nullptr);

    // Another colour was clicked while the picker is open: Select now stores
    // into that one. The bars keep their positions.
    void retarget(int index, const QString& colourText);

    int colourIndex() const;
    Rgb colour() const;

Q_SIGNALS:
    void colourSelected(int index, const QString& colourText);
    // The colour the bars stand at, each time they move or the picker is
    // pointed at another colour: what Select would store now, and where.
    void colourChanging(int index, const QString& colourText);

private:
    void buildWindow();
    void Command3_Click(); // initialises the bars from txtColor
    void Command2_Click(); // "&Select"
    void showNumbers();
    void fillPreview(Rgb colour);

    // Visible controls, under their own names.
    QLabel* Label7 = nullptr; // the instruction
    std::array<QLabel*, 3> captions{};
    QScrollBar* HScroll1 = nullptr;
    QScrollBar* HScroll2 = nullptr;
    QScrollBar* HScroll3 = nullptr;
    QLabel* Label4 = nullptr; // red, green and blue as numbers
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label8 = nullptr;
    QFrame* Shape1 = nullptr;
    QPushButton* Command2 = nullptr; // "&Select"
    QPushButton* Command1 = nullptr; // "&Cancel"

    // Hidden state of this opening.
    QLabel* Index = nullptr;
    QLineEdit* txtColor = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QPushButton* Command3 = nullptr;
};

} // namespace p95
