#include "app/frm_load.h"

#include "app/start_up.h"
#include "editor/frm_main.h"
#include "platform/drive.h"
#include "ui/window_support.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

namespace p95 {

FrmLoad::FrmLoad(StartUp& flow) : QDialog(nullptr), m_flow(flow) {
    setObjectName(QStringLiteral("frmLoad"));
    setAttribute(Qt::WA_DeleteOnClose);
    // No close box: the window goes away by itself.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    setWindowTitle(QStringLiteral("Loading Paletteer 95"));

    auto* layout = new QVBoxLayout(this);
    Label1 = new QLabel(QStringLiteral("LOADING..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(familyFont(QStringLiteral("Comic Sans MS"), 16));
    Label1->setAlignment(Qt::AlignCenter);
    layout->addWidget(Label1);
    ThemeName = new QLabel(this);
    ThemeName->setObjectName(QStringLiteral("ThemeName"));
    ThemeName->setAlignment(Qt::AlignCenter);
    layout->addWidget(ThemeName);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setMinimumWidth(ProgressBar1->fontMetrics().averageCharWidth() * 40);
    layout->addWidget(ProgressBar1);

    setWindowIcon(m_flow.services().pictures.windowIcon(programFile("theme.icp")));
    placeWindow(*this);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(m_flow.loadInterval());
    connect(m_timer, &QTimer::timeout, this, &FrmLoad::tick);
    m_timer->start();
}

void FrmLoad::setThemeName(const QString& name) {
    ThemeName->setText(name);
}

void FrmLoad::tick() {
    if (m_done)
        return;
    const int v = ProgressBar1->value();
    FrmMain& editor = m_flow.editor();
    if (v == 50) {
        editor.setThemeName(ThemeName->text());
        QLabel* directory = editor.directoryLabel();
        directory->setText(directory->text() + ThemeName->text() + QLatin1Char('\\'));
    }
    if (v > 50)
        m_flow.closeStart();
    if (v >= 95) {
        m_done = true;
        m_timer->stop();
        editor.show();
        editor.raise();
        editor.activateWindow();
        close();
    }
    ProgressBar1->setValue(v + 5);
}

void FrmLoad::closeEvent(QCloseEvent* event) {
    if (m_done)
        event->accept();
    else
        event->ignore();
}

} // namespace p95
