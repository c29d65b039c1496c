#include "editor/tab_context.h"

#include "package/package_limits.h"
#include "platform/drive.h"
#include "ui/widget_names.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QWidget>

namespace p95 {

namespace {

QString removalQuestion(SlotRef slot) {
    QString what;
    switch (slot.family) {
    case SlotFamily::Pointer:
        what = QStringLiteral("this pointer");
        break;
    case SlotFamily::Sound:
        what = QStringLiteral("this sound");
        break;
    case SlotFamily::Icons:
        what = slot.index == kWallpaperIndex     ? QStringLiteral("the wallpaper")
               : slot.index == kScreenSaverIndex ? QStringLiteral("the screen saver")
                                                 : QStringLiteral("this icon");
        break;
    }
    return QStringLiteral("Are you sure that you want to remove %1 from the theme?").arg(what);
}

} // namespace

MsgAnswer TabContext::message(const QString& text, MsgButtons buttons, MsgIcon icon) const {
    return services.messages.show(window, text, buttons, QStringLiteral("Paletteer 95"), icon);
}

bool TabContext::confirmRemoval(SlotRef slot) const {
    return message(removalQuestion(slot), MsgButtons::YesNo) == MsgAnswer::Yes;
}

QString TabContext::chooseFile(const QString& title, const QString& filter, int filterIndex,
                               const QString& defaultExt, const QString& initDir) const {
    dialog.fileName.clear();
    dialog.dialogTitle = title;
    dialog.filter = filter;
    dialog.filterIndex = filterIndex;
    dialog.defaultExt = defaultExt;
    dialog.initDir = initDir;
    services.fileDialog.showOpen(dialog, window);
    return dialog.fileName;
}

std::optional<QString> tooLargeForPackageMessage(const QString& path) {
    const qint64 limit = PackageLimits().entryBytes;
    const Result<QString> host = hostPath(path);
    if (!host.ok() || QFileInfo(host.value()).size() <= limit)
        return std::nullopt;
    return QStringLiteral("The file \"%1\" is larger than %2. The theme can be saved with it, "
                          "but a theme package cannot hold it, so the theme cannot be packed.")
        .arg(path, mib(limit));
}

QString unloadablePictureMessage(const QString& path, const Error& error) {
    const QString reason = error.why();
    return QStringLiteral("The file \"%1\" could not be loaded as a picture (%2), so it cannot be "
                          "used in the theme. Your earlier choice has been kept.")
        .arg(path, reason);
}

} // namespace p95
