#pragma once

// Form1, the Tip of the Day window: the first window of the program. It shows
// a tip drawn at random from "tipofday.txz", draws another on request, and
// hands over to the start window. While it loads, it makes the editor load,
// hidden, so the editor is ready when the user gets there.

#include "app/tip_file/tip_file.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace p95 {

class StartUp;

class Form1 : public QDialog {
    Q_OBJECT
public:
    explicit Form1(StartUp& flow);

    // The tips read at the last draw (none when the file was missing or not
    // in the tip file's layout).
    const TipFile& tipFile() const { return m_tipFile; }

protected:
    void closeEvent(QCloseEvent* event) override;
    // Escape closes by the frame too, so it asks the quit question.
    void reject() override;

private:
    void buildWindow();
    void loadSteps(); // steps 2 to 6 of the window's load; "&Get Another Tip" runs them again
    void showTip();
    void fitTipLabel();

    void Command1_Click(); // "&Continue..."
    void Command2_Click(); // "&Get Another Tip"

    StartUp& m_flow;
    bool m_continuing = false;
    TipFile m_tipFile;

    QLabel* Label1 = nullptr;
    QLabel* productLabel = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command1 = nullptr;
};

} // namespace p95
