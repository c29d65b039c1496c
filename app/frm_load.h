#pragma once

// frmLoad, the loading window: a progress bar in twenty timer ticks that
// hands a new theme name to the editor (11th tick), closes the start window
// (12th) and shows the editor (20th). The user cannot close it: the
// hand-over always completes.

#include <QDialog>

class QLabel;
class QProgressBar;
class QTimer;

namespace p95 {

class StartUp;

class FrmLoad : public QDialog {
    Q_OBJECT
public:
    explicit FrmLoad(StartUp& flow);

    void setThemeName(const QString& name);
    // One tick of the hand-over (the timer calls it; tests may too).
    void tick();
    QTimer* timer() const { return m_timer; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override {} // Escape does not stop the hand-over

private:
    StartUp& m_flow;
    bool m_done = false;

    QLabel* Label1 = nullptr;
    QLabel* ThemeName = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QTimer* m_timer = nullptr;
};

} // namespace p95
