#include "app/start_up.h"

#include "app/form1.h"
#include "app/frm_about.h"
#include "app/frm_load.h"
#include "app/frm_start.h"
#include "editor/frm_main.h"
#include "package/install.h"
#include "platform/drive.h"
#include "platform/file_system.h"
#include "theme/theme_reader.h"
#include "ui/window_support.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>

namespace p95 {

namespace {

template <typename Window> Window* showWindow(Window* window) {
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

// Data files that could not be put in place only leave a picture or a tip
// out, but the user should know why: told once, over the first window.
void tellProgramDirectoryProblem(Services services, QWidget* over) {
    if (const Status problem = takeProgramDirectoryProblem(); !problem.ok()) {
        services.messages.show(
            over,
            QStringLiteral("Some of Paletteer 95's own files could not be put in its "
                           "program directory, so a picture or a tip may be missing.\n\n") +
                problem.error().text(),
            MsgButtons::Ok, kMessageTitle, MsgIcon::Warning);
    }
}

// The path the editor shows and reads: a file dialog returns full paths.
QString fullPath(const QString& argument) {
    if (isWindowsPath(argument))
        return argument;
    return QDir::cleanPath(QFileInfo(argument).absoluteFilePath());
}

} // namespace

StartArguments parseStartArguments(const QStringList& arguments) {
    StartArguments result;
    QStringList files;
    bool optionsEnd = false;
    for (const QString& arg : arguments) {
        if (optionsEnd || !arg.startsWith(QLatin1Char('-'))) {
            files << arg;
        } else if (arg == QStringLiteral("--")) {
            optionsEnd = true;
        } else if (arg == QStringLiteral("--help") || arg == QStringLiteral("-h")) {
            return {StartArguments::Action::Help, {}, {}};
        } else if (arg == QStringLiteral("--version")) {
            return {StartArguments::Action::Version, {}, {}};
        } else if (result.problem.isEmpty()) {
            result.problem = QStringLiteral("unknown option %1").arg(arg);
        }
    }
    if (result.problem.isEmpty() && files.size() > 1)
        result.problem =
            QStringLiteral("%1 files given; one is opened at a time").arg(files.size());
    if (!result.problem.isEmpty()) {
        result.action = StartArguments::Action::BadUsage;
        return result;
    }
    if (!files.isEmpty())
        result.file = fullPath(files.front());
    return result;
}

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
    tellProgramDirectoryProblem(m_services, m_tip);
    return m_tip;
}

QWidget* StartUp::launch(const QString& file) {
    // The one place where a file given at start is told apart by its kind: a
    // theme package (by its archive ending) is installed, anything else is
    // taken for a .theme file.
    if (!file.isEmpty()) {
        const bool opened =
            isPackageFileName(file) ? installPackageAtStart(file) : openThemeAtStart(file);
        if (opened) {
            tellProgramDirectoryProblem(m_services, &m_editor);
            return &m_editor;
        }
    }
    return start();
}

void StartUp::loadEditor() {
    m_editor.loadText()->setText(QStringLiteral("Load"));
    m_editor.ensureLoaded();
    // The Handwriting button shows the program's pen on hover.
    m_editor.pointersTab().showHandwritingPointer();
}

bool StartUp::installPackageAtStart(const QString& path) {
    loadEditor();
    // The install asks and tells what it must; the editor shows only once a
    // theme is to be opened in it. A package refused, declined or without a
    // chosen theme leads to the usual start.
    const bool opened = m_editor.installPackageFile(path, [this] { showWindow(&m_editor); });
    if (!opened)
        m_editor.hide();
    return opened;
}

bool StartUp::openThemeAtStart(const QString& path) {
    loadEditor();

    // A file that cannot be read, or is no theme, is said before any window
    // shows, in the words of the editor's Open.
    if (const QString refusal = themeOpenRefusal(readThemeFile(m_files, path), path);
        !refusal.isEmpty()) {
        m_services.messages.show(nullptr, refusal, MsgButtons::Ok, kMessageTitle, MsgIcon::Warning);
        return false;
    }

    QLabel* loadFile = m_editor.loadFileLabel();
    QLabel* directory = m_editor.directoryLabel();
    const QString keptLoadFile = loadFile->text();
    const QString keptDirectory = directory->text();
    const QString keptName = m_editor.document().name;
    m_editor.showOpenedFile(path);
    showWindow(&m_editor);
    if (m_editor.readTheme(path))
        return true;

    // Refused by the reading after all (the file changed meanwhile), which
    // said why. The usual start follows, and the loading window's hand-over
    // adds to lblDirectory as it finds it.
    m_editor.hide();
    loadFile->setText(keptLoadFile);
    directory->setText(keptDirectory);
    m_editor.setThemeName(keptName);
    return false;
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
