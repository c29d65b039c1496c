// Prints what a save into a disk image costs: a theme of 40 files (about
// 2 MB) saved into a 2 GiB FAT32 image (sparse, partition at sector 2048)
// with every guarantee -- the in-use probe and QEMU's locks, the volume
// check, the save into the working copy, the undo journal, mtools, the
// read-back and check, the flushes -- beside a bare `mcopy -s` of the same
// theme folder into the same image followed by `sync IMAGE`. Each round saves
// a new theme. Runs in one process, as the window does; the CLI adds its own
// start (bench/image_save_bench.py times that). No assertions.
//   p95_image_save_bench [ROUNDS]

#include "bench/save_bench_support.h"
#include "platform/disk_image.h"
#include "platform/drive.h"
#include "platform/image_drive.h"
#include "theme/theme_save.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace p95;
using namespace p95::bench;

namespace {

constexpr qsizetype kFileSize = 50 * 1024;

bool run(const QString& program, const QStringList& arguments, const QByteArray& input = {}) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MTOOLSRC"), QStringLiteral("/dev/null"));
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

double since(QElapsedTimer& timer) {
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    return ms;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp(QDir::currentPath() + QStringLiteral("/p95-image-bench-XXXXXX"));
    if (!tmp.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    qputenv("XDG_DATA_HOME", (tmp.path() + QStringLiteral("/xdg")).toUtf8());
    const QString image = tmp.path() + QStringLiteral("/win95.img");
    const QString at = image + QStringLiteral("@@1048576");
    if (!run(QStringLiteral("truncate"), {QStringLiteral("-s2G"), image}) ||
        !run(QStringLiteral("sfdisk"), {QStringLiteral("-q"), image},
             "label: dos\nstart=2048, type=c\n") ||
        !run(QStringLiteral("mkfs.fat"),
             {QStringLiteral("-F"), QStringLiteral("32"), QStringLiteral("--offset"),
              QStringLiteral("2048"), image, QString::number((2 << 20) - 1024)}) ||
        !run(QStringLiteral("mmd"), {QStringLiteral("-i"), at, QStringLiteral("::/Program Files"),
                                     QStringLiteral("::/Program Files/Plus!"),
                                     QStringLiteral("::/Program Files/Plus!/Themes")})) {
        std::fprintf(stderr, "cannot make the image (truncate, sfdisk, mkfs.fat, mmd)\n");
        return 1;
    }
    if (const Status status = fillProgramDirectory(tmp.path() + QStringLiteral("/no-data"));
        !status.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(status.error().text()));
        return 1;
    }

    ThemeDocument doc;
    const qsizetype files =
        fillEverySlot(doc, tmp.path() + QStringLiteral("/src"), kFileSize).size();
    if (files == 0)
        return 1;

    const int rounds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 7;
    std::vector<double> openMs, saveMs, commitMs, totalMs, bareMs;
    FileSystem fileSystem;
    for (int round = 0; round < rounds; ++round) {
        doc.name = QStringLiteral("Bench %1").arg(round);
        run(QStringLiteral("sync"), {});
        QElapsedTimer timer;
        QElapsedTimer whole;
        timer.start();
        whole.start();
        auto drive = ImageDrive::open(image, 0, ImageDrive::Mode::Write);
        if (!drive) {
            std::fprintf(stderr, "%s\n", qPrintable(drive.error().text()));
            return 1;
        }
        setActiveImageDrive(drive.value().get());
        openMs.push_back(since(timer));
        const SaveResult result = saveTheme(doc, fileSystem);
        saveMs.push_back(since(timer));
        const Status written = drive.value()->commit();
        commitMs.push_back(since(timer));
        totalMs.push_back(double(whole.nsecsElapsed()) / 1e6);
        if (result.outcome != SaveOutcome::Saved || !written.ok()) {
            std::fprintf(stderr, "the save failed\n");
            return 1;
        }
        // The same folder, from the working copy, for mcopy.
        const QString bare = tmp.path() + QStringLiteral("/Bare %1").arg(round);
        run(QStringLiteral("cp"),
            {QStringLiteral("-r"), hostPath(themeDirectory(doc.name)).value(), bare});
        setActiveImageDrive(nullptr);
        drive.value().reset();

        run(QStringLiteral("sync"), {});
        timer.restart();
        if (!run(QStringLiteral("mcopy"), {QStringLiteral("-s"), QStringLiteral("-D"),
                                           QStringLiteral("o"), QStringLiteral("-i"), at, bare,
                                           QStringLiteral("::/Program Files/Plus!/Themes/")}) ||
            !run(QStringLiteral("sync"), {image})) {
            std::fprintf(stderr, "mcopy or sync failed\n");
            return 1;
        }
        bareMs.push_back(since(timer));
    }
    std::printf("theme of %lld files of %lld KiB (and its .theme file) into a 2 GiB FAT32 image, "
                "median of %d rounds\n",
                qint64(files), qint64(kFileSize / 1024), rounds);
    std::printf("  save with every guarantee     %8.1f ms\n", median(totalMs));
    std::printf("    open: probe, lock, check    %8.1f ms\n", median(openMs));
    std::printf("    save into the working copy  %8.1f ms\n", median(saveMs));
    std::printf("    journal, mtools, read-back  %8.1f ms\n", median(commitMs));
    std::printf("  mcopy -s + sync IMAGE         %8.1f ms\n", median(bareMs));
    std::printf("  ratio                         %8.2fx (goal <= 3x)\n",
                median(totalMs) / median(bareMs));
    // The save into the working copy is the save any drive C makes (its
    // scratch folder stays on the local drive); what the image adds is the rest.
    std::printf("  ratio of what the image adds  %8.2fx (open + journal, mtools, read-back)\n",
                (median(openMs) + median(commitMs)) / median(bareMs));
    return 0;
}
