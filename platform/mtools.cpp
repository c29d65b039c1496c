#include "platform/mtools.h"

#include "platform/work_folder.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <csignal>

#include <sys/prctl.h>

namespace p95 {

namespace {

// Long names always (a user's mtools_no_vfat=1 would drop them), numeric
// tails as Windows makes them, no lower-case display of short names.
const char kConfiguration[] = "MTOOLS_SKIP_CHECK=0\n"
                              "MTOOLS_LOWER_CASE=0\n"
                              "MTOOLS_NO_VFAT=0\n"
                              "MTOOLS_NAME_NUMERIC_TAIL=1\n"
                              "MTOOLS_DOTTED_DIR=0\n"
                              "MTOOLS_TWENTY_FOUR_HOUR_CLOCK=1\n"
                              "default_codepage=850\n";

constexpr int kTimeoutMs = 120000;

} // namespace

Mtools::Mtools(const QString& imagePath, qint64 offset)
    : m_image(QStringLiteral("%1@@%2").arg(imagePath).arg(offset)),
      m_home(std::make_unique<WorkFolder>(QDir::tempPath(), QStringLiteral("paletteer95-mtools"))) {
    QFile rc(m_home->filePath(QStringLiteral("mtoolsrc")));
    if (rc.open(QIODevice::WriteOnly))
        rc.write(kConfiguration);
}

Mtools::~Mtools() = default;

QString Mtools::volumePath(const QString& path) {
    QString p = path;
    while (p.startsWith(QLatin1Char('/')))
        p.remove(0, 1);
    return QStringLiteral("::/") + p;
}

Result<QByteArray> Mtools::run(const QString& program, const QStringList& args) {
    const auto failure = [&](const QString& reason) {
        return Error{QStringLiteral("Writing to the disk image (%1)").arg(program), {}, reason};
    };
    if (!m_home->isValid())
        return failure(QStringLiteral("no private folder for mtools"));
    QProcess process;
    // Only what mtools needs: no MTOOLS_* of the user, no ~/.mtoolsrc.
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("HOME"), m_home->path());
    environment.insert(QStringLiteral("MTOOLSRC"), m_home->filePath(QStringLiteral("mtoolsrc")));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    environment.insert(QStringLiteral("TZ"), qEnvironmentVariable("TZ", QStringLiteral("UTC")));
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    // A write must not go on once we are gone (killed): the journal's
    // rollback at the next use would race with it.
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    QStringList all{QStringLiteral("-i"), m_image};
    all += args;
    process.start(program, all);
    if (!process.waitForStarted())
        return failure(QStringLiteral("%1 cannot be started (is mtools installed?)").arg(program));
    if (!process.waitForFinished(kTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return failure(QStringLiteral("%1 did not finish").arg(program));
    }
    const QByteArray out = process.readAllStandardOutput();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        QString reason = QString::fromUtf8(process.readAllStandardError()).trimmed();
        reason = reason.section(QLatin1Char('\n'), 0, 0);
        return failure(reason.isEmpty() ? QStringLiteral("%1 failed").arg(program) : reason);
    }
    return out;
}

Status Mtools::makeFolders(const QStringList& paths) {
    if (paths.isEmpty())
        return {};
    QStringList args{QStringLiteral("-D"), QStringLiteral("sS")};
    for (const QString& p : paths)
        args << volumePath(p);
    auto done = run(QStringLiteral("mmd"), args);
    return done ? Status() : Status(done.error());
}

Status Mtools::copyInto(const QStringList& hostSources, const QString& folder, bool overwrite) {
    if (hostSources.isEmpty())
        return {};
    // Never "r" (rename asks for a name and spins without input) or "m" (asks).
    QStringList args{QStringLiteral("-s"), QStringLiteral("-D"),
                     overwrite ? QStringLiteral("oA") : QStringLiteral("sA")};
    args += hostSources;
    QString target = volumePath(folder);
    if (!target.endsWith(QLatin1Char('/')))
        target += QLatin1Char('/');
    args << target;
    auto done = run(QStringLiteral("mcopy"), args);
    return done ? Status() : Status(done.error());
}

Status Mtools::deleteFiles(const QStringList& paths) {
    if (paths.isEmpty())
        return {};
    QStringList args;
    for (const QString& p : paths)
        args << volumePath(p);
    auto done = run(QStringLiteral("mdel"), args);
    return done ? Status() : Status(done.error());
}

Status Mtools::deleteTrees(const QStringList& paths) {
    if (paths.isEmpty())
        return {};
    QStringList args;
    for (const QString& p : paths)
        args << volumePath(p);
    auto done = run(QStringLiteral("mdeltree"), args);
    return done ? Status() : Status(done.error());
}

} // namespace p95
