#include "editor/tab_context.h"

#include "platform/drive.h"

namespace p95 {

MsgAnswer TabContext::message(const QString& text, MsgButtons buttons, MsgIcon icon) const {
    return services.messages.show(window, text, buttons, QStringLiteral("Paletteer 95"), icon);
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

QString TabContext::programFile(const QString& name) {
    return programDirectory() + QLatin1Char('\\') + name;
}

QString unloadablePictureMessage(const QString& path, const Error& error) {
    const QString reason = error.reason.isEmpty() ? error.step : error.reason;
    return QStringLiteral("The file \"%1\" could not be loaded as a picture (%2), so it cannot be "
                          "used in the theme. Your earlier choice has been kept.")
        .arg(path, reason);
}

} // namespace p95
