#include "platform/drive.h"

#include "platform/text_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <utility>

namespace p95 {

namespace {

bool isSeparator(QChar c) {
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

// The entry of folder whose name is component, regardless of letter case. An
// exact match wins; among names that differ only in case the first in sorted
// order is taken, so the answer does not depend on the directory's order.
QString findEntry(const QString& folder, const QString& component) {
    if (QFileInfo::exists(folder + QLatin1Char('/') + component))
        return component;
    const QStringList entries = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(component, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return {};
}

void layOutDrive(const QString& folder) {
    QDir dir(folder);
    dir.mkpath(QStringLiteral("Program Files/Plus!/Themes"));
    dir.mkpath(QStringLiteral("Windows"));
}

} // namespace

bool isWindowsPath(const QString& path) {
    return path.size() >= 3 && path.at(0).isLetter() && path.at(0).unicode() < 0x80 &&
           path.at(1) == QLatin1Char(':') && isSeparator(path.at(2));
}

QString driveCFolder() {
    QString folder = qEnvironmentVariable("PALETTEER95_DRIVE_C");
    if (folder.isEmpty()) {
        QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
        // The XDG rules ignore a relative value.
        if (dataHome.isEmpty() || QDir::isRelativePath(dataHome))
            dataHome = QDir::homePath() + QStringLiteral("/.local/share");
        folder = dataHome + QStringLiteral("/paletteer95/drive_c");
    }
    folder = QDir::cleanPath(QDir(folder).absolutePath());
    if (!QFileInfo(folder).isDir() && QDir().mkpath(folder))
        layOutDrive(folder);
    return folder;
}

Result<QString> hostPath(const QString& path) {
    if (!isWindowsPath(path))
        return path;
    const QChar drive = path.at(0).toUpper();
    if (drive != QLatin1Char('C')) {
        return Error{QStringLiteral("Finding the drive"), path,
                     QStringLiteral("there is no drive %1:").arg(drive)};
    }

    QStringList wanted;
    for (const QString& component :
         path.mid(3).split(QRegularExpression(QStringLiteral("[\\\\/]")), Qt::SkipEmptyParts)) {
        if (component == QStringLiteral("."))
            continue;
        if (component == QStringLiteral("..")) {
            if (!wanted.isEmpty())
                wanted.removeLast(); // never above the root
            continue;
        }
        wanted << component;
    }

    QString result = driveCFolder();
    bool found = true; // below a component that does not exist, nothing can be found
    for (const QString& component : wanted) {
        QString name = component;
        if (found) {
            const QString entry = findEntry(result, component);
            if (entry.isEmpty())
                found = false;
            else
                name = entry;
        }
        result += QLatin1Char('/') + name;
    }
    if (isSeparator(path.back()) && !result.endsWith(QLatin1Char('/')))
        result += QLatin1Char('/');
    return result;
}

QString programFile(const QString& name) {
    return programDirectory() + QLatin1Char('\\') + name;
}

QString programDirectory() {
    return QStringLiteral("C:\\Program Files\\Paletteer 95");
}

QString installedDataFolder() {
    const QString buildData = QStringLiteral(P95_BUILD_DATA_DIR);
    const QString installData = QStringLiteral(P95_INSTALL_DATA_DIR);
    if (QCoreApplication::instance()) {
        const QString appDir = QDir::cleanPath(QCoreApplication::applicationDirPath());
        const QString buildDir = QDir::cleanPath(QStringLiteral(P95_BUILD_DIR));
        if (appDir == buildDir || appDir.startsWith(buildDir + QLatin1Char('/')))
            return buildData;
        // An installation moved as a whole keeps share/ beside bin/.
        const QString beside = QDir::cleanPath(appDir + QStringLiteral("/../share/paletteer95"));
        if (QFileInfo(beside).isDir())
            return beside;
    }
    if (QFileInfo(installData).isDir())
        return installData;
    return buildData;
}

bool isUserDataFile(const QString& fileName) {
    return fileName.compare(QStringLiteral("PersonalReadMe.txz"), Qt::CaseInsensitive) == 0 ||
           fileName.endsWith(QStringLiteral(".scheme"), Qt::CaseInsensitive);
}

Status fillProgramDirectory(const QString& dataFolder) {
    auto target = hostPath(programDirectory());
    if (!target)
        return target.error();
    const QString programHost = target.value();
    if (!QFileInfo(programHost).isDir() && !QDir().mkpath(programHost)) {
        return Error{QStringLiteral("Creating the program directory"), programDirectory(),
                     QStringLiteral("the folder cannot be created")};
    }

    // A file that cannot be copied only leaves its picture or tip out: go on
    // with the others, and tell of each failure once.
    QList<std::pair<QString, Error>> failures;
    const QDir data(dataFolder);
    const QStringList files = data.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : files) {
        const QString existing = findEntry(programHost, name);
        const QString destination =
            programHost + QLatin1Char('/') + (existing.isEmpty() ? name : existing);
        if (!existing.isEmpty() && isUserDataFile(name))
            continue;
        auto bytes = readWholeFile(data.filePath(name));
        if (!bytes) {
            failures.append({name, bytes.error()});
            continue;
        }
        if (!existing.isEmpty()) {
            auto current = readWholeFile(destination);
            if (current && current.value() == bytes.value())
                continue;
        }
        if (auto status = writeFileAtomically(destination, bytes.value()); !status.ok())
            failures.append({name, status.error()});
    }
    if (failures.isEmpty())
        return {};
    if (failures.size() == 1)
        return failures.constFirst().second;
    QStringList each;
    for (const auto& [name, error] : failures)
        each << QStringLiteral("%1: %2").arg(name, error.why());
    return Error{QStringLiteral("Putting %1 data files in place").arg(failures.size()),
                 programDirectory(), each.join(QStringLiteral("; "))};
}

namespace {
// What the last filling from the installation could not do, until the
// start-up windows have told the user.
Status& pendingProblem() {
    static Status problem;
    return problem;
}
} // namespace

Status ensureProgramDirectory() {
    const Status status = fillProgramDirectory(installedDataFolder());
    pendingProblem() = status;
    return status;
}

Status takeProgramDirectoryProblem() {
    return std::exchange(pendingProblem(), Status());
}

bool programDirectoryExists() {
    const auto host = hostPath(programDirectory());
    return host && QFileInfo(host.value()).isDir();
}

} // namespace p95
