// Prints what drawing the theme preview costs: the 800x600 screen alone, the
// picture at 800x644 (the CLI's default: the screen pixel for pixel) and at
// 800x600 (the screen scaled), with the pictures already read and with every
// file read afresh, and the redraw of the Theme Preview window's 800x600
// picture while a colour picker bar moves, offscreen. The theme is the screenshots' sample theme,
// every pointer, icon and the wallpaper set. No assertions.

#include "editor/frm_main.h"
#include "editor/frm_preview.h"
#include "platform/drive.h"
#include "platform/file_system.h"
#include "platform/gui/real_services.h"
#include "preview/preview_renderer.h"
#include "tools/sample_theme.h"
#include "ui/frm_color.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace p95;

namespace {

// Nothing of the user's is read or written, and no birthday tune plays.
class FixedClock : public Clock {
public:
    QDate today() const override { return QDate(2026, 3, 3); }
};

void measure(const char* what, int rounds, const std::function<void(int)>& step) {
    std::vector<double> ms;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        step(i);
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-52s median %7.3f ms  95th %7.3f ms  max %7.3f ms  (%d rounds)\n", what,
                ms[ms.size() / 2], ms[ms.size() * 95 / 100], ms.back(), rounds);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir drive;
    qputenv("PALETTEER95_DRIVE_C", drive.path().toUtf8());
    QApplication app(argc, argv);
    (void)ensureProgramDirectory(); // a missing data file only leaves its picture out

    RealServices real;
    FixedClock clock;
    const Services base = real.services();
    const Services services{base.fileDialog, base.messages, base.input,     base.choice,
                            base.audio,      base.pictures, base.clipboard, clock};
    FileSystem files;
    FrmMain window(services, files);
    window.ensureLoaded();
    const auto sample = writeSampleTheme(QStringLiteral("Bench"));
    if (!sample || !window.openThemeFile(sample.value())) {
        std::fprintf(stderr, "preview_bench: cannot open the sample theme\n");
        return 1;
    }
    const ThemeDocument doc = window.document();

    PreviewPictures kept;
    renderPreview(doc, QSize(800, 600), kept);
    measure("screen 800x600 alone, pictures already read", 200,
            [&](int) { renderScreen(doc, PreviewOptions{}, kept); });
    measure("render 800x644 (1:1), pictures already read", 200,
            [&](int) { renderPreview(doc, QSize(800, 644), kept); });
    measure("render 800x600 (scaled), pictures already read", 200,
            [&](int) { renderPreview(doc, QSize(800, 600), kept); });
    measure("render 800x600, every file read afresh", 50, [&](int) {
        PreviewPictures fresh;
        renderPreview(doc, QSize(800, 600), fresh);
    });

    // The window at 800x600 while the red bar of the Background colour moves.
    window.findChild<QAction*>(QStringLiteral("mnuPreview"))->trigger();
    auto* preview = window.findChild<FrmPreview*>(QStringLiteral("frmPreview"));
    QWidget& canvas = preview->canvas();
    preview->resize(preview->size() + (QSize(800, 600) - canvas.size()));
    QApplication::processEvents();
    std::printf("window picture %dx%d\n", canvas.width(), canvas.height());
    window.findChild<QRadioButton*>(QStringLiteral("Option13"))->click();
    window.coloursTab().Label4_Click(1);
    auto* bar = window.coloursTab().picker()->findChild<QScrollBar*>(QStringLiteral("HScroll1"));
    QApplication::processEvents();
    const int before = preview->redraws();
    measure("window redraw 800x600 per picker bar step", 256, [&](int i) {
        bar->setValue(i % 2 ? 255 - i : i);
        preview->repaint();
    });
    std::printf("(%d redraws for 256 bar steps)\n", preview->redraws() - before);
    window.setEndProgram([] {});
    return 0;
}
