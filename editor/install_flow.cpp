#include "editor/install_flow.h"

#include "package/install.h"
#include "platform/drive_choice.h"
#include "platform/file_system.h"

namespace p95 {

std::optional<QString> installPackageFlow(const QString& archive, const Services& services,
                                          FileSystem& files, QWidget* parent) {
    const auto tell = [&](const QString& text, MsgButtons buttons = MsgButtons::Ok,
                          MsgIcon icon = MsgIcon::None) {
        return services.messages.show(parent, text, buttons, QStringLiteral("Paletteer 95"), icon);
    };
    const InstallPlan plan = planInstall(archive, files);
    if (plan.problem) {
        tell(QStringLiteral("The package %1 cannot be installed: %2. Nothing was installed.")
                 .arg(archive, plan.problem->message),
             MsgButtons::Ok, MsgIcon::Warning);
        return std::nullopt;
    }
    bool replace = false;
    if (!plan.existing.isEmpty()) {
        const bool one = plan.existingThemes.size() == 1;
        const QString question =
            (one ? QStringLiteral("The theme %1 is already installed. Installing the package "
                                  "replaces %2 of its files. Do you wish to replace them?")
                 : QStringLiteral("The themes %1 are already installed. Installing the package "
                                  "replaces %2 of their files. Do you wish to replace them?"))
                .arg(plan.existingThemes.join(QStringLiteral(", ")),
                     QString::number(plan.existing.size()));
        if (tell(question, MsgButtons::YesNo, MsgIcon::Warning) != MsgAnswer::Yes)
            return std::nullopt;
        replace = true;
    }
    const InstallResult result = installPackage(plan, files, replace);
    if (result.problem) {
        tell(QStringLiteral("The package %1 could not be installed: %2.")
                 .arg(archive, result.problem->message),
             MsgButtons::Ok, MsgIcon::Warning);
        return std::nullopt;
    }
    // On an image drive C the install is written into the image now, whole or nothing.
    if (const Status written = commitDriveC(); !written.ok()) {
        tell(QStringLiteral("The package %1 could not be installed: %2. Nothing was installed.")
                 .arg(archive, written.error().text()),
             MsgButtons::Ok, MsgIcon::Warning);
        return std::nullopt;
    }
    for (const InstalledTheme& theme : result.themes) {
        if (theme.unfound.isEmpty())
            continue;
        QStringList names;
        for (const QString& name : theme.unfound)
            names << QStringLiteral("%ThemeDir%") + name;
        tell(QStringLiteral("The theme %1 was installed, but the package has no file for "
                            "these names of its .theme file:\n\n%2")
                 .arg(theme.name, names.join(QLatin1Char('\n'))),
             MsgButtons::Ok, MsgIcon::Warning);
    }

    // The installed theme opens; of several, the one the user picks from their list.
    const InstalledTheme* chosen = &result.themes.first();
    if (result.themes.size() > 1) {
        QStringList names;
        for (const InstalledTheme& theme : result.themes)
            names << theme.name;
        const int picked = services.choice.choose(
            parent,
            QStringLiteral("The package held %1 themes. Which one would you like to open?")
                .arg(names.size()),
            QStringLiteral("Paletteer 95"), names);
        if (picked < 0 || picked >= names.size())
            return std::nullopt;
        chosen = &result.themes.at(picked);
    }
    return chosen->themeFile;
}

} // namespace p95
