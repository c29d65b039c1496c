// paletteer95: the program. The Tip of the Day window comes first, with the
// editor loaded hidden behind it.

#include "app/form1.h"
#include "app/launch_probe.h"
#include "app/start_up.h"
#include "editor/frm_main.h"
#include "editor/look.h"
#include "platform/drive.h"
#include "platform/file_system.h"
#include "platform/fonts.h"
#include "platform/qt_mci_device.h"
#include "platform/real_services.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

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
    QApplication::setApplicationVersion(QStringLiteral("2.0"));
    QGuiApplication::setDesktopFileName(QStringLiteral("paletteer95"));
    p95::applyDefaultStyle(styleChosen);

    // A data file that could not be copied only leaves its picture out.
    if (const auto problem = p95::ensureProgramDirectory())
        std::fprintf(stderr, "paletteer95: %s\n", qPrintable(problem->text()));

    p95::RealServices real;
    p95::FileSystem files;
    p95::FrmMain editor(real.services(), files);
    p95::StartUp startUp(real.services(), files, editor);
    p95::installLaunchProbe(*startUp.start());
    return app.exec();
}
