#include "editor/save_flow.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>

namespace p95 {

namespace {
// A save that takes longer than this shows a progress dialog.
constexpr int kSaveProgressDelayMs = 500;
} // namespace

SaveResult saveWithProgress(const ThemeDocument& doc, FileSystem& files, QWidget* parent) {
    SaveResult result;
    QProgressDialog progress(QStringLiteral("Saving the theme %1...").arg(doc.name), QString(), 0,
                             0, parent);
    progress.setObjectName(QStringLiteral("saveProgress"));
    progress.setWindowTitle(QStringLiteral("Paletteer 95"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setCancelButton(nullptr);
    progress.setMinimumDuration(kSaveProgressDelayMs);
    progress.setValue(0);

    QThread* worker = QThread::create([&result, &doc, &files] { result = saveTheme(doc, files); });
    QEventLoop wait;
    QObject::connect(worker, &QThread::finished, &wait, &QEventLoop::quit);
    worker->start();
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    delete worker;
    return result;
}

} // namespace p95
