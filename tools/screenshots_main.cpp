// paletteer95-screenshots OUTDIR: renders the editor window offscreen, each
// tab selected in turn, then the Theme Preview window over it and the
// preview picture itself, to PNG files (for the README and for looking at
// the layout without a display).

#include "editor/frm_main.h"
#include "editor/frm_preview.h"
#include "platform/drive.h"
#include "platform/file_system.h"
#include "platform/gui/real_services.h"
#include "platform/pictures/fonts.h"
#include "preview/preview_renderer.h"
#include "tools/sample_theme.h"
#include "ui/look.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// A day without a birthday, so that making screenshots never plays the tune.
class FixedClock : public p95::Clock {
public:
    QDate today() const override { return QDate(2026, 3, 3); }
};

bool save(const QImage& image, const QString& file) {
    if (!image.save(file)) {
        std::fprintf(stderr, "paletteer95-screenshots: cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

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
    (void)p95::ensureProgramDirectory(); // a missing data file only leaves its picture out

    const QString outDir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "paletteer95-screenshots: cannot make %s\n", argv[1]);
        return 1;
    }

    p95::RealServices real;
    FixedClock clock;
    const p95::Services base = real.services();
    const p95::Services services{base.fileDialog, base.messages, base.input,     base.choice,
                                 base.audio,      base.pictures, base.clipboard, clock};
    p95::FileSystem files;
    p95::FrmMain window(services, files);
    window.ensureLoaded();
    window.startNewTheme(QStringLiteral("Ocean"));
    // Every tab filled, as after opening a theme.
    if (const auto sample = p95::writeSampleTheme(QStringLiteral("Ocean")))
        window.openTheme(p95::readThemeToOpen(files, sample.value()));
    window.show();

    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    const char* const names[] = {"pointers", "sounds", "visuals", "colors", "readme"};
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        QApplication::processEvents();
        const QString file =
            QStringLiteral("%1/editor-%2-%3.png").arg(outDir).arg(i).arg(QLatin1String(names[i]));
        if (!save(window.grab().toImage(), file))
            return 1;
    }

    // The picture paletteer95-cli preview draws of this theme by default: the
    // 800x600 screen pixel for pixel, the pointer strip below it.
    p95::PreviewPictures pictures;
    if (!save(p95::renderPreview(window.document(), p95::previewSizeFor(p95::kDefaultPreviewScreen),
                                 pictures)
                  .image,
              outDir + QStringLiteral("/preview-ocean.png")))
        return 1;

    // The preview window, opened from the File menu: the theme's own colours,
    // then a preset chosen on the Colors tab, which it follows.
    window.findChild<QAction*>(QStringLiteral("mnuPreview"))->trigger();
    auto* preview = window.findChild<p95::FrmPreview*>(QStringLiteral("frmPreview"));
    // The 640x480 screen, pixel for pixel in the window's picture.
    preview->findChild<QComboBox*>(QStringLiteral("cboScreen"))->setCurrentIndex(0);
    QApplication::processEvents();
    preview->resize(preview->size() +
                    (p95::previewSizeFor(QSize(640, 480)) - preview->canvas().size()));
    const struct {
        const char* option; // the Colors tab's control clicked first, if any
        const char* file;
    } shots[] = {{nullptr, "preview-window-0-own-colours.png"},
                 {"Option1_3", "preview-window-1-preset.png"}};
    for (const auto& shot : shots) {
        if (shot.option) {
            window.findChild<QRadioButton*>(QStringLiteral("Option14"))->click();
            window.findChild<QRadioButton*>(QLatin1String(shot.option))->click();
        }
        QApplication::processEvents();
        if (!save(preview->grab().toImage(), outDir + QLatin1Char('/') + QLatin1String(shot.file)))
            return 1;
    }
    window.setEndProgram([] {});
    return 0;
}
