#include "app/start_up.h"

#include "app/window_support.h"

#include "app/form1.h"
#include "app/frm_about.h"
#include "app/frm_load.h"
#include "app/frm_start.h"
#include "editor/frm_main.h"
#include "platform/drive.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QRandomGenerator>

namespace p95 {

namespace {

template <typename Window> Window* showWindow(Window* window) {
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace

StartUp::StartUp(Services services, FileSystem& files, FrmMain& editor, QObject* parent)
    : QObject(parent), m_services(services), m_files(files), m_editor(editor),
      // Seeded by the system, so each start draws differently.
      m_random([] { return QRandomGenerator::global()->generateDouble(); }),
      m_endProgram([] { QCoreApplication::quit(); }) {
    connect(&m_editor, &FrmMain::aboutRequested, this, &StartUp::showAbout);
}

StartUp::~StartUp() {
    // Windows still up when the program ends go with it.
    delete m_tip.data();
    delete m_start.data();
    delete m_load.data();
    delete m_about.data();
}

Form1* StartUp::tipWindow() const {
    return m_tip;
}
FrmStart* StartUp::startWindow() const {
    return m_start;
}
FrmLoad* StartUp::loadWindow() const {
    return m_load;
}
FrmAbout* StartUp::aboutWindow() const {
    return m_about;
}

Form1* StartUp::start() {
    if (!m_tip)
        m_tip = new Form1(*this);
    showWindow(m_tip.data());
    // Data files that could not be put in place only leave a picture or a
    // tip out, but the user should know why.
    if (const Status problem = takeProgramDirectoryProblem()) {
        m_services.messages.show(
            m_tip,
            QStringLiteral("Some of Paletteer 95's own files could not be put in its "
                           "program directory, so a picture or a tip may be missing.\n\n") +
                problem->text(),
            MsgButtons::Ok, kMessageTitle, MsgIcon::Warning);
    }
    return m_tip;
}

FrmStart* StartUp::showStart() {
    if (!m_start)
        m_start = new FrmStart(*this);
    return showWindow(m_start.data());
}

FrmLoad* StartUp::showLoad(const QString& themeName) {
    if (!m_load)
        m_load = new FrmLoad(*this);
    showWindow(m_load.data());
    m_load->setThemeName(themeName);
    return m_load;
}

FrmAbout* StartUp::showAbout() {
    if (!m_about)
        m_about = new FrmAbout(*this);
    return showWindow(m_about.data());
}

void StartUp::closeStart() {
    if (m_start && m_start->continuing())
        m_start->close();
}

void StartUp::endProgram() {
    m_endProgram();
}

void StartUp::closeOrAskToQuit(QWidget* window, QCloseEvent* event, bool continuing) {
    if (continuing) {
        event->accept();
        return;
    }
    const MsgAnswer answer = services().messages.show(window, kQuitQuestion, MsgButtons::YesNo,
                                                      kMessageTitle, MsgIcon::None);
    if (answer != MsgAnswer::Yes) {
        event->ignore();
        return;
    }
    event->accept();
    endProgram();
}

} // namespace p95
