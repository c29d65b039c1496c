#include "cli/package_commands.h"

#include "cli/cli_io.h"
#include "package/install.h"
#include "package/pack.h"
#include "platform/drive.h"

#include <QDir>

namespace p95::cli {

namespace {

int usage(const QString& problem) {
    return fail(BadInput, problem + QStringLiteral(" (see paletteer95-cli --help)"));
}

int exitFor(const PackageProblem& problem) {
    return problem.outcome == PackageOutcome::Refused ? BadInput : Failed;
}

} // namespace

int packCommand(const QStringList& args) {
    QString name;
    QString output;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QStringLiteral("-o") || arg == QStringLiteral("--output")) {
            if (i + 1 >= args.size())
                return usage(QStringLiteral("-o needs a file name"));
            output = args[++i];
        } else if (arg.startsWith(QLatin1Char('-'))) {
            return usage(QStringLiteral("unknown option %1").arg(arg));
        } else if (name.isEmpty()) {
            name = arg;
        } else {
            return usage(QStringLiteral("pack takes one theme name"));
        }
    }
    if (name.isEmpty())
        return usage(QStringLiteral("pack needs a theme name"));
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
    QString archive;
    bool force = false;
    for (const QString& arg : args) {
        if (arg == QStringLiteral("--force")) {
            force = true;
        } else if (arg.startsWith(QLatin1Char('-'))) {
            return usage(QStringLiteral("unknown option %1").arg(arg));
        } else if (archive.isEmpty()) {
            archive = arg;
        } else {
            return usage(QStringLiteral("install takes one package"));
        }
    }
    if (archive.isEmpty())
        return usage(QStringLiteral("install needs a package (FILE.zip)"));

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
