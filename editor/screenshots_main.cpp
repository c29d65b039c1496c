// paletteer95-screenshots OUTDIR: renders the editor window offscreen, each
// tab selected in turn, to PNG files (for the README and for looking at the
// layout without a display).

#include "editor/frm_main.h"
#include "editor/look.h"
#include "editor/sample_theme.h"
#include "platform/drive.h"
#include "platform/file_system.h"
#include "platform/fonts.h"
#include "platform/real_services.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// A day without a birthday, so that making screenshots never plays the tune.
class FixedClock : public p95::Clock {
public:
    QDate today() const override { return QDate(2026, 3, 3); }
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: paletteer95-screenshots OUTDIR\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A fresh drive C of its own: nothing of the user's is read or written.
    QTemporaryDir drive;
    if (!drive.isValid()) {
        std::fprintf(stderr, "paletteer95-screenshots: cannot make a temporary folder\n");
        return 1;
    }
    qputenv("PALETTEER95_DRIVE_C", drive.path().toUtf8());

    const bool styleChosen = p95::userChoseStyle(argc, argv);
    QApplication app(argc, argv);
    p95::installProgramFonts(); // the faces the program draws with
    p95::applyDefaultStyle(styleChosen);
    p95::ensureProgramDirectory(); // a missing data file only leaves its picture out

    const QString outDir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "paletteer95-screenshots: cannot make %s\n", argv[1]);
        return 1;
    }

    p95::RealServices real;
    FixedClock clock;
    const p95::Services base = real.services();
    const p95::Services services{base.fileDialog, base.messages,  base.input, base.audio,
                                 base.pictures,   base.clipboard, clock};
    p95::FileSystem files;
    p95::FrmMain window(services, files);
    window.ensureLoaded();
    window.setThemeName(QStringLiteral("Ocean"));
    window.directoryLabel()->setText(window.directoryLabel()->text() + QStringLiteral("Ocean\\"));
    // Every tab filled, as after opening a theme.
    if (const auto sample = p95::writeSampleTheme(QStringLiteral("Ocean")))
        window.readTheme(sample.value());
    window.show();

    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    const char* const names[] = {"pointers", "sounds", "visuals", "colors", "readme"};
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        QApplication::processEvents();
        const QString file =
            QStringLiteral("%1/editor-%2-%3.png").arg(outDir).arg(i).arg(QLatin1String(names[i]));
        if (!window.grab().save(file)) {
            std::fprintf(stderr, "paletteer95-screenshots: cannot write %s\n", qPrintable(file));
            return 1;
        }
        std::printf("%s\n", qPrintable(file));
    }
    window.setEndProgram([] {});
    return 0;
}
