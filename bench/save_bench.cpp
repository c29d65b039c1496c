// Prints what a save costs over the disk: a theme with every slot set (40
// files of 1 MiB) saved on a private drive C, beside copying the same 40
// files twice with cp (the two stages of the save), and the same two cp runs
// followed by one "sync -f" (the same copies made durable), in the same run:
// a new theme beside cp into new folders, and the theme saved again over its
// files beside cp again over its copies (replacing files frees their space,
// which costs the same either way).
// Every measurement starts from a disk with nothing left to write. No
// assertions.
//   p95_save_bench [ROUNDS]

#include "bench/save_bench_support.h"
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
using namespace p95::bench;

namespace {

constexpr int kDefaultRounds = 7;
constexpr qsizetype kFileSize = qsizetype(1) << 20;

bool run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

bool runCp(const QStringList& files, const QString& folder) {
    QDir().mkpath(folder);
    return run(QStringLiteral("cp"), QStringList(files) << folder);
}

// Nothing left to write: each measurement starts alike.
void settle() {
    run(QStringLiteral("sync"), {});
}

void print(const char* what, const std::vector<double>& ms, double megabytes) {
    std::printf("  %-26s median %8.1f ms  min %8.1f ms  (%.0f MB/s of chosen files)\n", what,
                median(ms), *std::min_element(ms.begin(), ms.end()),
                megabytes / (median(ms) / 1000.0));
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
    if (auto status = fillProgramDirectory(tmp.path() + QStringLiteral("/no-data")); !status.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(status.error().text()));
        return 1;
    }

    ThemeDocument doc;
    doc.name = QStringLiteral("Benchmark");
    const QStringList sources = fillEverySlot(doc, tmp.path() + QStringLiteral("/src"), kFileSize);
    if (sources.isEmpty())
        return 1;

    const int rounds =
        argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : kDefaultRounds;
    // A new theme, and the same theme saved again over its files; beside
    // them cp into new folders, and cp again over the copies it made.
    std::vector<double> saveNewMs;
    std::vector<double> saveAgainMs;
    std::vector<double> cpMs;
    std::vector<double> syncedMs;
    std::vector<double> syncedAgainMs;
    FileSystem files;
    const QString themeHost = hostPath(themeDirectory(doc.name)).value();
    const QString cpFolder = tmp.path() + QStringLiteral("/cp");
    const QString first = cpFolder + QStringLiteral("/stage1");
    const QString second = cpFolder + QStringLiteral("/stage2");
    QStringList copies;
    for (const QString& source : sources)
        copies << first + QLatin1Char('/') + QFileInfo(source).fileName();
    const auto cpTwice = [&] { return runCp(sources, first) && runCp(copies, second); };
    const auto syncedCpTwice = [&] {
        return cpTwice() && run(QStringLiteral("sync"), {QStringLiteral("-f"), second});
    };
    const auto timed = [](std::vector<double>& ms, const auto& work) {
        settle();
        QElapsedTimer timer;
        timer.start();
        const bool ok = work();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
        return ok;
    };
    const auto save = [&] {
        const SaveResult result = saveTheme(doc, files);
        if (result.outcome != SaveOutcome::Saved)
            std::fprintf(stderr, "save failed: %s\n", qPrintable(result.status.error().text()));
        return result.outcome == SaveOutcome::Saved;
    };
    for (int round = 0; round < rounds; ++round) {
        QDir(themeHost).removeRecursively();
        QDir(cpFolder).removeRecursively();
        bool ok = timed(saveNewMs, save) && timed(saveAgainMs, save);
        ok = ok && timed(cpMs, cpTwice);
        QDir(cpFolder).removeRecursively();
        ok = ok && timed(syncedMs, syncedCpTwice) && timed(syncedAgainMs, syncedCpTwice);
        if (!ok) {
            std::fprintf(stderr, "a save, cp or sync failed\n");
            return 1;
        }
    }

    const double megabytes = double(sources.size()) * double(kFileSize) / double(1 << 20);
    std::printf("save of a theme with every slot set: %lld files of 1 MiB, %d rounds, medians\n",
                static_cast<long long>(sources.size()), rounds);
    print("save, new theme", saveNewMs, megabytes);
    print("cp twice", cpMs, megabytes);
    print("cp twice, sync -f", syncedMs, megabytes);
    print("save again over it", saveAgainMs, megabytes);
    print("cp twice again, sync -f", syncedAgainMs, megabytes);
    std::printf("  ratio new theme / (cp twice, sync -f):              %.2f\n",
                median(saveNewMs) / median(syncedMs));
    std::printf("  ratio saved again / (cp twice over copies, sync -f): %.2f\n",
                median(saveAgainMs) / median(syncedAgainMs));
    return 0;
}
