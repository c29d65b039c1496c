// paletteer95: the program. The Tip of the Day window comes first, with the
// editor loaded hidden behind it; a .theme file on the command line (a
// desktop's Open) goes straight into the editor instead.

#include "app/form1.h"
#include "app/start_up.h"
#include "editor/frm_main.h"
#include "platform/audio/qt_mci_device.h"
#include "platform/drive.h"
#include "platform/file_system.h"
#include "platform/gui/real_services.h"
#include "platform/pictures/fonts.h"
#include "theme/save_lock.h"
#include "ui/launch_probe.h"
#include "ui/look.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace {

const char* const kUsage = R"(Usage: paletteer95 [OPTION]... [FILE.theme | PACKAGE]

Builds desktop themes for Windows 95: a .theme file and a theme directory with
the pointers, sounds, icons, wallpaper and screen saver the theme names.

Without a file the Tip of the Day comes first, then the start window, where a
theme is named or opened. With FILE.theme that theme opens in the editor at
once, as "Open a Theme" does; a file that cannot be read is named in a message,
and the program then starts as usual. A theme package (a .zip, .7z, .rar,
.lzh, .cab or tar archive) is installed into the themes folder as "Install
Theme Package" does, and the theme it brings opens in the editor.

Options:
  --help, -h     Show this help and exit.
  --version      Show the version and exit.
  -style NAME    The widget style: the classic "Windows" style unless one is
                 chosen ("Fusion" is another). Qt's other options, such as
                 -platform NAME, are taken as well.
  --             What follows is a file name, even one that begins with "-".

Themes are saved on drive C, the folder $PALETTEER95_DRIVE_C, else
~/.local/share/paletteer95/drive_c. paletteer95-cli does the same work from
the command line.

Exit status: 0 the program ended, 1 no display to show the windows on,
2 bad usage.
)";

// Without a display Qt aborts with a core dump; say what is missing instead.
bool displayMissing() {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return false;
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// A display that is named but cannot be reached ends in qFatal too: exit with
// Qt's own words and status 1 rather than an abort.
void exitOnFatal(QtMsgType type, const QMessageLogContext&, const QString& text) {
    std::fprintf(stderr, "%s\n", qPrintable(text));
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "paletteer95: cannot open a window on this display\n");
        std::_Exit(1);
    }
}

} // namespace

int main(int argc, char** argv) {
    // --help and --version answer before Qt starts, so without a display too.
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    switch (p95::parseStartArguments(raw).action) {
    case p95::StartArguments::Action::Help:
        std::fputs(kUsage, stdout);
        return 0;
    case p95::StartArguments::Action::Version:
        std::puts("paletteer95 " P95_VERSION);
        return 0;
    default:
        break; // the rest once Qt has taken its own options out
    }

    if (displayMissing()) {
        std::fprintf(stderr, "paletteer95: no display to show the windows on (neither DISPLAY "
                             "nor WAYLAND_DISPLAY is set).\n"
                             "Run it in a desktop session, or use paletteer95-cli.\n");
        return 1;
    }

    const bool styleChosen = p95::userChoseStyle(argc, argv);
    p95::prepareMultimediaBackend();

    const QtMessageHandler previous = qInstallMessageHandler(exitOnFatal);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    p95::installProgramFonts();
    QApplication::setApplicationName(QStringLiteral("Paletteer 95"));
    QApplication::setApplicationVersion(QStringLiteral(P95_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("paletteer95"));
    p95::applyDefaultStyle(styleChosen);

    const p95::StartArguments arguments = p95::parseStartArguments(app.arguments().mid(1));
    if (arguments.action == p95::StartArguments::Action::BadUsage) {
        std::fprintf(stderr, "paletteer95: %s (see paletteer95 --help)\n",
                     qPrintable(arguments.problem));
        return 2;
    }

    // A data file that could not be copied only leaves its picture out.
    if (const p95::Status problem = p95::ensureProgramDirectory(); !problem.ok())
        std::fprintf(stderr, "paletteer95: %s\n", qPrintable(problem.error().text()));

    p95::RealServices real;
    p95::FileSystem files;
    {
        // An install cut off earlier is finished or undone before the themes
        // root is shown; a save or install running elsewhere does it
        // instead, and a failure here is told by the next save.
        p95::SaveLock lock;
        (void)lock.acquire(files, p95::programDirectory(), 0, QStringLiteral("Starting"));
    }
    p95::FrmMain editor(real.services(), files);
    p95::StartUp startUp(real.services(), files, editor);
    p95::installLaunchProbe(*startUp.launch(arguments.file));
    return app.exec();
}
