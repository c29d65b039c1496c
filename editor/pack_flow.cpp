#include "editor/pack_flow.h"

#include "package/pack.h"
#include "platform/file_system.h"
#include "theme/theme_document.h"

#include <QDir>

namespace p95 {

void packSavedTheme(const QString& name, bool unsavedChanges, const Services& services,
                    FileSystem& files, QWidget* parent) {
    const auto tell = [&](const QString& text, MsgButtons buttons, MsgIcon icon) {
        return services.messages.show(parent, text, buttons, QStringLiteral("Paletteer 95"), icon);
    };
    if (!files.fileExists(themeFilePath(name))) {
        tell(QStringLiteral("The theme %1 has not been saved yet. A package holds the saved "
                            "theme: save it first.")
                 .arg(name),
             MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    CommonDialog dialog;
    dialog.dialogTitle = QStringLiteral("Pack Theme");
    dialog.filter = QStringLiteral("Zip Archives (*.zip)|*.zip");
    dialog.filterIndex = 1;
    dialog.defaultExt = QStringLiteral(".zip");
    dialog.initDir = QDir::homePath();
    dialog.fileName = QDir::homePath() + QLatin1Char('/') + name + QStringLiteral(".zip");
    for (;;) {
        if (!services.fileDialog.showSave(dialog, parent))
            return;
        // No: choose another name in the same dialog.
        if (!files.fileExists(dialog.fileName) ||
            tell(QStringLiteral("%1 already exists. Do you want to replace it?")
                     .arg(dialog.fileName),
                 MsgButtons::YesNo, MsgIcon::Warning) == MsgAnswer::Yes)
            break;
        dialog.initDir.clear();
    }
    const PackResult result = packTheme(name, dialog.fileName, files);
    if (result.problem) {
        tell(QStringLiteral("The theme %1 could not be packed: %2.")
                 .arg(name, result.problem->message),
             MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    QString packed = QStringLiteral("The theme %1 was packed into %2.").arg(name, dialog.fileName);
    if (unsavedChanges)
        packed += QStringLiteral("\n\nThe package holds the theme as it was last saved: the "
                                 "changes that are not saved are not in it.");
    tell(packed, MsgButtons::Ok, MsgIcon::Information);
}

} // namespace p95
