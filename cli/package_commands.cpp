#include "cli/package_commands.h"

#include "cli/cli_io.h"
#include "package/install.h"
#include "package/pack.h"
#include "platform/drive.h"

namespace p95::cli {

namespace {

int exitFor(const PackageProblem& problem) {
    return problem.outcome == PackageOutcome::Refused ? BadInput : Failed;
}

} // namespace

int packCommand(const QStringList& args) {
    CommandArgs given;
    if (auto status = parseCommandArgs(QStringLiteral("pack"), args, {kOutput},
                                       QStringLiteral("theme name"), {}, false, given))
        return *status;
    const QString& name = given.operand;
    QString output = given.values.value(QStringLiteral("-o"));
    if (output.isEmpty())
        output = name + QStringLiteral(".zip");

    FileSystem files;
    const PackResult result = packTheme(name, output, files);
    if (result.problem)
        return fail(exitFor(*result.problem),
                    QStringLiteral("cannot pack %1: %2").arg(name, result.problem->message));
    return Done;
}

int installCommand(const QStringList& args) {
    CommandArgs given;
    if (auto status = parseCommandArgs(
            QStringLiteral("install"), args, {{{QStringLiteral("--force")}, {}}},
            QStringLiteral("package"), QStringLiteral(" (FILE.zip)"), false, given))
        return *status;
    const QString& archive = given.operand;
    const bool force = given.flags.contains(QStringLiteral("--force"));

    // The drive is laid out on first use, so that a fresh drive C has its
    // themes root.
    driveCFolder();
    FileSystem files;
    const InstallPlan plan = planInstall(archive, files);
    const InstallResult result = installPackage(plan, files, force);
    if (result.problem) {
        QString message =
            QStringLiteral("cannot install %1: %2").arg(archive, result.problem->message);
        if (!plan.problem && !plan.existing.isEmpty() && !force)
            message += QStringLiteral("; use --force to replace them");
        return fail(exitFor(*result.problem), message);
    }
    QString report;
    for (const InstalledTheme& theme : result.themes) {
        report += QStringLiteral("installed %1: %2\n").arg(theme.name, theme.themeFile);
        for (const QString& name : theme.unfound)
            report += QStringLiteral("  not in the package: %ThemeDir%%1\n").arg(name);
    }
    writeStdout(report.toLocal8Bit());
    return Done;
}

} // namespace p95::cli
