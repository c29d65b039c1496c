#include "platform/gui/qt_file_dialog.h"

#include "platform/drive.h"
#include "platform/image_drive.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QScreen>

namespace p95 {

QStringList qtNameFilters(const QString& filter) {
    QStringList out;
    if (filter.isEmpty())
        return out;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        QStringList patterns;
        if (i + 1 < parts.size()) {
            for (const QString& p : parts.at(i + 1).split(QLatin1Char(';'))) {
                const QString pattern = p.trimmed();
                if (!pattern.isEmpty())
                    patterns << pattern;
            }
        }
        if (description.isEmpty() && patterns.isEmpty())
            continue;
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        // Qt reads the patterns from the last parenthesised group, so a
        // description that shows its own patterns ("Cursor Files (*.cur)")
        // still gets exactly the patterns of its pair.
        const QString shown = description.isEmpty() ? patterns.join(QLatin1Char(' ')) : description;
        out << QStringLiteral("%1 (%2)").arg(shown, patterns.join(QLatin1Char(' ')));
    }
    return out;
}

namespace {

// Room for the dialog's columns (name, size, type, date) without scrolling
// sideways, within the screen.
constexpr int kMinimumWidth = 700;
constexpr int kMinimumHeight = 450;

QSize openingSize(const QFileDialog& box) {
    QSize size = box.sizeHint().expandedTo(QSize(kMinimumWidth, kMinimumHeight));
    if (const QScreen* screen = box.screen() ? box.screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    return size;
}

// The host folder to start in: the caller's initial directory (a Windows-form
// path is mapped), else the folder of a file name given with a path, else the
// last folder shown, else the home folder -- never the process's working
// directory, which means nothing to the user.
QString startFolder(const CommonDialog& dialog, const QString& lastFolder) {
    if (!dialog.initDir.isEmpty()) {
        const Result<QString> host = hostPath(dialog.initDir);
        if (host.ok() && QFileInfo(host.value()).isDir())
            return host.value();
    }
    if (!dialog.fileName.isEmpty()) {
        const Result<QString> host = hostPath(dialog.fileName);
        if (host.ok()) {
            const QFileInfo info(host.value());
            if (info.absoluteDir().exists() && host.value().contains(QLatin1Char('/')))
                return info.absolutePath();
        }
    }
    if (!lastFolder.isEmpty() && QFileInfo(lastFolder).isDir())
        return lastFolder;
    return QDir::homePath();
}

} // namespace

void QtFileDialog::showOpen(CommonDialog& dialog, QWidget* parent) {
    show(dialog, parent, false);
}

bool QtFileDialog::showSave(CommonDialog& dialog, QWidget* parent) {
    return show(dialog, parent, true);
}

bool QtFileDialog::show(CommonDialog& dialog, QWidget* parent, bool save) {
    QFileDialog box(parent);
    box.setOption(QFileDialog::DontUseNativeDialog, true);
    box.setOption(QFileDialog::HideNameFilterDetails, true);
    // Qt's own question would be a message box of its own title; the caller asks.
    box.setOption(QFileDialog::DontConfirmOverwrite, true);
    box.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    box.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QString title = save ? QStringLiteral("Save As") : QStringLiteral("Open");
    box.setWindowTitle(dialog.dialogTitle.isEmpty() ? title : dialog.dialogTitle);

    const QStringList filters = qtNameFilters(dialog.filter);
    if (!filters.isEmpty()) {
        box.setNameFilters(filters);
        // Out of range counts as the first filter, as an unset index would.
        const int index = dialog.filterIndex >= 1 && dialog.filterIndex <= filters.size()
                              ? dialog.filterIndex - 1
                              : 0;
        box.selectNameFilter(filters.at(index));
    }
    QString suffix = dialog.defaultExt;
    while (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    box.setDefaultSuffix(suffix);

    // On a disk image drive C, a folder is copied from the image when first
    // reached: each folder the dialog goes into is copied before it is listed.
    if (auto* model = box.findChild<QFileSystemModel*>()) {
        QObject::connect(model, &QFileSystemModel::rootPathChanged, &box,
                         [](const QString& folder) {
                             if (ImageDrive* image = activeImageDrive())
                                 image->materialize(folder);
                         });
    }
    box.setDirectory(startFolder(dialog, m_lastFolder));
    box.resize(openingSize(box));
    if (!dialog.fileName.isEmpty()) {
        // Only the name part: the folder was chosen above.
        QString name = dialog.fileName;
        name = name.mid(
            qMax(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\'))) + 1);
        box.selectFile(name);
    }

    const bool chosen = box.exec() == QDialog::Accepted;
    m_lastFolder = box.directory().absolutePath();
    if (!chosen)
        return false;
    const QStringList files = box.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty())
        return false;
    dialog.fileName = files.first();
    return true;
}

} // namespace p95
