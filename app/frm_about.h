#pragma once

// frmAbout, the About window: the product and its version, and where to get
// help, with one-click copies of the home-page and e-mail addresses. Modeless;
// the start-up flow keeps it to one window however often it is opened.

#include <QDialog>

class QLabel;
class QPushButton;

namespace p95 {

class StartUp;

class FrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit FrmAbout(StartUp& flow);

private:
    StartUp& m_flow;

    QLabel* Label1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command1 = nullptr;
};

} // namespace p95
