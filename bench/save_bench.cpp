// Prints what a save costs over the disk: a theme with every slot set (40
// files of 1 MB) saved on a private drive C, beside copying the same 40 files
// twice with cp (the two stages of the save) in the same run. No assertions.

#include "platform/drive.h"
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

namespace {

constexpr int kRounds = 5;
constexpr qsizetype kFileSize = qsizetype(1) << 20;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool runCp(const QStringList& files, const QString& folder) {
    QDir().mkpath(folder);
    QProcess cp;
    cp.start(QStringLiteral("cp"), QStringList(files) << folder);
    return cp.waitForFinished(-1) && cp.exitStatus() == QProcess::NormalExit && cp.exitCode() == 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    if (!tmp.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    qputenv("PALETTEER95_DRIVE_C", (tmp.path() + QStringLiteral("/drive_c")).toUtf8());
    driveCFolder();
    if (auto status = fillProgramDirectory(tmp.path() + QStringLiteral("/no-data"))) {
        std::fprintf(stderr, "%s\n", qPrintable(status->text()));
        return 1;
    }

    ThemeDocument doc;
    doc.name = QStringLiteral("Benchmark");
    QStringList sources;
    QDir().mkpath(tmp.path() + QStringLiteral("/src"));
    for (SlotRef slot : copyOrder()) {
        const QString path =
            tmp.path() + QStringLiteral("/src/%1-%2.bin").arg(int(slot.family)).arg(slot.index);
        QByteArray bytes(kFileSize, Qt::Uninitialized);
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(bytes.data()),
                                              bytes.size() / 4);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        doc.path(slot) = path;
        sources << path;
    }

    std::vector<double> saveMs;
    std::vector<double> cpMs;
    FileSystem files;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        const SaveResult result = saveTheme(doc, files);
        saveMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (result.outcome != SaveOutcome::Saved) {
            std::fprintf(stderr, "save failed: %s\n", qPrintable(result.status->text()));
            return 1;
        }

        const QString first = tmp.path() + QStringLiteral("/cp/stage1");
        const QString second = tmp.path() + QStringLiteral("/cp/stage2");
        timer.restart();
        bool ok = runCp(sources, first);
        QStringList copies;
        for (const QString& source : sources)
            copies << first + QLatin1Char('/') + QFileInfo(source).fileName();
        ok = ok && runCp(copies, second);
        cpMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        QDir(tmp.path() + QStringLiteral("/cp")).removeRecursively();
        if (!ok) {
            std::fprintf(stderr, "cp failed\n");
            return 1;
        }
    }

    const double megabytes = double(sources.size()) * double(kFileSize) / double(1 << 20);
    std::printf("save of a theme with every slot set: %lld files of 1 MB, %d rounds\n",
                static_cast<long long>(sources.size()), kRounds);
    std::printf("  save      median %8.1f ms  min %8.1f ms  (%.0f MB/s of chosen files)\n",
                median(saveMs), *std::min_element(saveMs.begin(), saveMs.end()),
                megabytes / (median(saveMs) / 1000.0));
    std::printf("  cp twice  median %8.1f ms  min %8.1f ms\n", median(cpMs),
                *std::min_element(cpMs.begin(), cpMs.end()));
    std::printf("  ratio save / cp twice (medians): %.2f\n", median(saveMs) / median(cpMs));
    return 0;
}
