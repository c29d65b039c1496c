#pragma once

// frmStart, the start window: the user names a new theme (which goes on
// through the loading window) or opens an existing .theme file (which goes
// to the editor at once). Closing it by its frame asks whether to quit.

#include "platform/file_dialog.h"

#include <QDialog>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;

namespace p95 {

class StartUp;

class FrmStart : public QDialog {
    Q_OBJECT
public:
    explicit FrmStart(StartUp& flow);

    // True once the window is being left for the editor; its close asks nothing then.
    bool continuing() const { return m_continuing; }
    // The file dialog's properties as Open leaves them (kept between uses).
    const CommonDialog& commonDialog() const { return CommonDialog1; }

protected:
    void closeEvent(QCloseEvent* event) override;
    // Escape closes by the frame too, so it asks the quit question.
    void reject() override;

private:
    void buildWindow();
    void buildMenus(QMenuBar& bar);
    void loadSteps();

    void Command1_Click(); // "&Continue......", also Enter
    void Command2_Click(); // "&Open a Theme"
    bool themeExists(const QString& name) const;
    void refuse(const QString& message);

    StartUp& m_flow;
    bool m_continuing = false;

    QGroupBox* Frame1 = nullptr;
    QLabel* promptLabel = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    CommonDialog CommonDialog1;
    QLabel* picHelp = nullptr;
    QLabel* lblHelp = nullptr;
    QLabel* Label1 = nullptr;

    QMenu* mnuAbout = nullptr;
    QAction* mnuAbout1 = nullptr;
    QAction* mnuDash = nullptr;
    QAction* mnuEmail = nullptr;
    QAction* mnuHomepage = nullptr;
};

} // namespace p95
