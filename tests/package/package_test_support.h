#pragma once

// A private drive C with its themes root, packages written as files, themes
// in the Plus! and this program's layouts, and the checks the package tests
// share: the whole drive as it stands, and an installed theme opened as the
// program opens it.

#include "archive_builder.h"
#include "drive_support.h"
#include "package/install.h"
#include "package/placement.h"
#include "platform/drive.h"
#include "platform/file_system.h"
#include "theme/theme_document.h"
#include "theme/theme_reader.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QMap>

namespace p95::test {

// Loads a picture only when its file is on the drive: what the window's
// probe does for the files an install placed, without decoding them.
class DiskProbe : public PictureProbe {
public:
    Status probe(const QString& path) const override {
        const Result<QString> host = hostPath(path);
        if (host && QFileInfo(host.value()).isFile())
            return {};
        return Error{QStringLiteral("Loading the picture"), path, QStringLiteral("missing")};
    }
};

// The slots of a small theme and the file names they take after the
// theme's name, as the Plus! themes name theirs.
inline const QStringList kThemeFileNames{
    QStringLiteral(" My Computer.ico"), QStringLiteral(" Normal Select.cur"),
    QStringLiteral(" Busy.ani"), QStringLiteral(" wallpaper.bmp"), QStringLiteral(" asterisk.wav")};

// A .theme file whose values are %ThemeDir% + folder + name + a file name
// above; folder is "" (the Plus! layout) or "Name\" (this program's).
inline QByteArray themeText(const QString& name, const QString& folder) {
    const QString at = QStringLiteral("%ThemeDir%") + folder + name;
    const QString text =
        QStringLiteral("[CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon]\r\n"
                       "DefaultValue=%1 My Computer.ico,0\r\n"
                       "[Control Panel\\Cursors]\r\n"
                       "Arrow=%1 Normal Select.cur\r\n"
                       "Wait=%1 Busy.ani\r\n"
                       "[Control Panel\\Desktop]\r\n"
                       "Wallpaper=%1 wallpaper.bmp\r\n"
                       "TileWallpaper=0\r\n"
                       "[AppEvents\\Schemes\\Apps\\.Default\\SystemAsterisk\\.Current]\r\n"
                       "DefaultValue=%1 asterisk.wav\r\n"
                       "[boot]\r\n"
                       "SCRNSAVE.EXE=%WinDir%System\\%2.scr\r\n")
            .arg(at, name);
    return text.toLatin1();
}

// The theme's files in an archive, each prefixed by `at` ("" or "Sea/"),
// upper-cased when `upper` (as the DOS tools stored them).
inline void addThemeFiles(ArchiveBuilder& builder, const QString& name, const QString& at,
                          bool upper = false) {
    for (const QString& file : kThemeFileNames) {
        QString entry = at + name + file;
        if (upper)
            entry = entry.toUpper();
        builder.file(entry.toUtf8(), (name + file).toUtf8());
    }
}

// A theme saved in this program's layout on the drive whose folder is
// `drive`: Name\Name.theme and its files.
inline void writeSavedTheme(const QString& drive, const QString& name) {
    const QString folder = drive + QStringLiteral("/Program Files/Plus!/Themes/") + name;
    DriveFixture::writeFile(folder + QLatin1Char('/') + name + QStringLiteral(".theme"),
                            themeText(name, name + QLatin1Char('\\')));
    for (const QString& file : kThemeFileNames)
        DriveFixture::writeFile(folder + QLatin1Char('/') + name + file, (name + file).toUtf8());
}

// A package of two themes in this program's layout.
inline QByteArray twoThemes() {
    ArchiveBuilder zip(ArchiveBuilder::Zip);
    for (const QString& name : {QStringLiteral("Sea"), QStringLiteral("Sky")}) {
        zip.file((name + QLatin1Char('/') + name + QStringLiteral(".theme")).toUtf8(),
                 themeText(name, name + QLatin1Char('\\')));
        addThemeFiles(zip, name, name + QLatin1Char('/'));
    }
    return zip.bytes();
}

class PackageFixture : public DriveFixture {
protected:
    void SetUp() override {
        // The platform lays out the themes root on first use.
        ASSERT_FALSE(driveCFolder().isEmpty());
    }

    QString themesHost() const { return onDrive(QStringLiteral("Program Files/Plus!/Themes")); }

    QString writePackage(const QByteArray& bytes, const QString& name = QStringLiteral("p.zip")) {
        const QString path = tmp() + QStringLiteral("/packages/") + name;
        writeFile(path, bytes);
        return path;
    }

    // Every file and folder on the drive, with the files' bytes; the program
    // directory (where the save's lock is) aside.
    QMap<QString, QByteArray> driveContents() const {
        QMap<QString, QByteArray> contents;
        const QDir top(drive());
        QDirIterator it(drive(),
                        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            const QString relative = top.relativeFilePath(info.filePath());
            if (relative.startsWith(QLatin1String("Program Files/Paletteer 95")))
                continue;
            if (info.isDir()) {
                contents.insert(relative + QLatin1Char('/'), {});
            } else {
                QFile file(info.filePath());
                EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << relative.toStdString();
                contents.insert(relative, file.readAll());
            }
        }
        return contents;
    }

    InstallResult install(const QString& package, bool replace = false,
                          const PackageLimits& limits = PackageLimits()) {
        return installPackage(planInstall(package, m_files, limits), m_files, replace, limits);
    }

    // Opens the installed theme as the program does: no message, and every
    // %ThemeDir% name of the file finds its file on the drive.
    void expectOpensWhole(const QString& themeFile) {
        const Result<QByteArray> bytes = readThemeFile(themeFile);
        ASSERT_TRUE(bytes.ok()) << themeFile.toStdString();
        const DiskProbe probe;
        const ThemeReading reading = readTheme(ThemeDocument(), bytes.value(), probe);
        EXPECT_TRUE(reading.messages.isEmpty())
            << themeFile.toStdString() << ": " << reading.messages.join(u'|').toStdString();
        const QList<ThemeDirName> names = themeDirNames(bytes.value());
        EXPECT_FALSE(names.isEmpty());
        for (const ThemeDirName& name : names) {
            const Result<QString> host =
                hostPath(toQString(kThemesRoot) + joinedPath(name.components));
            EXPECT_TRUE(host && QFileInfo(host.value()).isFile()) << name.written.toStdString();
        }
    }

    FileSystem m_files;
};

} // namespace p95::test
