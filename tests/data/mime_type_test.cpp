// The .theme file type of data/paletteer95-mime.xml as the desktops see it,
// from a private MIME database built of the freedesktop one and ours: Qt
// (KDE's file managers) and GLib's gio (GNOME's) both tell a Windows 95
// theme from an icon theme's index.theme, which must stay
// application/x-theme so that it never opens in Paletteer 95.

#include "test_support.h"
#include "theme/theme_document.h"
#include "theme/theme_writer.h"

#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kOurs = QStringLiteral("application/x-windows-theme");
const QString kFreedesktop = QStringLiteral("application/x-theme");

class MimeType : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new QTemporaryDir;
        const QString system = QStringLiteral("/usr/share/mime/packages/freedesktop.org.xml");
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
        if (tool.isEmpty() || !QFile::exists(system))
            return;
        const QString packages = s_dir->path() + QStringLiteral("/share/mime/packages");
        QDir().mkpath(packages);
        QFile::copy(system, packages + QStringLiteral("/freedesktop.org.xml"));
        QFile::copy(QStringLiteral(P95_DATA_SOURCE_DIR "/paletteer95-mime.xml"),
                    packages + QStringLiteral("/paletteer95.xml"));
        // Read once per process by Qt: set before the first QMimeDatabase.
        qputenv("XDG_DATA_DIRS", (s_dir->path() + QStringLiteral("/share")).toUtf8());
        qputenv("XDG_DATA_HOME", (s_dir->path() + QStringLiteral("/none")).toUtf8());
        QProcess update;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PKGSYSTEM_ENABLE_FSYNC"), QStringLiteral("0")); // a scratch copy
        update.setProcessEnvironment(env);
        update.start(tool, {s_dir->path() + QStringLiteral("/share/mime")});
        // Anything on standard error is a complaint about the package.
        s_built = update.waitForFinished(60000) && update.exitCode() == 0 &&
                  update.readAllStandardError().isEmpty();
    }
    static void TearDownTestSuite() {
        delete s_dir;
        s_dir = nullptr;
    }
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty())
            GTEST_SKIP() << "update-mime-database is not installed (package shared-mime-info)";
        ASSERT_TRUE(s_built) << "update-mime-database refused the MIME package";
    }

    QString file(const QString& name, const QByteArray& bytes) {
        const QString path = m_files.path() + QLatin1Char('/') + name;
        QDir().mkpath(QFileInfo(path).path());
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
        return path;
    }
    static QString qtType(const QString& path) {
        return QMimeDatabase().mimeTypeForFile(path).name();
    }
    // Empty when gio is not installed.
    static QString gioType(const QString& path) {
        const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
        if (gio.isEmpty())
            return {};
        QProcess info;
        info.start(gio, {QStringLiteral("info"), QStringLiteral("-a"),
                         QStringLiteral("standard::content-type"), path});
        info.waitForFinished(30000);
        const QString out = QString::fromUtf8(info.readAllStandardOutput());
        const qsizetype at = out.indexOf(QStringLiteral("content-type: "));
        return at < 0 ? QStringLiteral("?") : out.mid(at + 14).trimmed();
    }

    static inline QTemporaryDir* s_dir = nullptr;
    static inline bool s_built = false;
    QTemporaryDir m_files;
};

TEST_F(MimeType, ThemesThisProgramOrThePlusThemeManagerWroteAreWindowsThemes) {
    const QString golden = QStringLiteral(P95_GOLDEN_DIR "/full-theme.theme");
    // No My Computer section, and the signature past the first 4 KiB.
    p95::ThemeDocument pointersOnly;
    pointersOnly.name = QStringLiteral("A Theme With Quite A Long Name For Its Files");
    for (QString& pointer : pointersOnly.pointers)
        pointer = QStringLiteral("C:\\Windows\\Cursors\\arrow.cur");
    const auto bytes = p95::themeFileBytes(pointersOnly);
    ASSERT_TRUE(bytes.ok());
    ASSERT_GT(bytes.value().indexOf("[MasterThemeSelector]"), 4096);
    const QStringList themes{
        golden,
        file(QStringLiteral("Pointers.theme"), bytes.value()),
        file(QStringLiteral("Plus.theme"),
             "; Copyright \xA9 Microsoft Corp. 1995\r\n\r\n"
             "[CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon]\r\n"
             "DefaultValue=%ThemeDir%Plus My Computer.ico,0\r\n"),
    };
    const bool haveGio = !gioType(golden).isEmpty();
    for (const QString& theme : themes) {
        EXPECT_EQ(qtType(theme), kOurs) << theme.toStdString();
        if (haveGio) {
            EXPECT_EQ(gioType(theme), kOurs) << theme.toStdString();
        }
    }
}

TEST_F(MimeType, OtherThemeFilesStayTheFreedesktopType) {
    const QStringList others{
        file(QStringLiteral("icons/Ocean/index.theme"),
             "[Icon Theme]\nName=Ocean\nInherits=hicolor\nDirectories=16x16/apps\n"),
        file(QStringLiteral("notes.theme"), "just some words\n"),
    };
    for (const QString& other : others) {
        EXPECT_EQ(qtType(other), kFreedesktop) << other.toStdString();
        const QString gio = gioType(other);
        if (!gio.isEmpty()) {
            EXPECT_EQ(gio, kFreedesktop) << other.toStdString();
        }
    }
}

TEST_F(MimeType, TheSignatureAloneIsFoundWhereTheDesktopLooksFarEnough) {
    // Only the Plus! signature, which comes last, past GLib's 4 KiB look.
    const QString late =
        file(QStringLiteral("Late.theme"),
             QByteArray(5000, ';') + "\r\n[MasterThemeSelector]\r\nMTSM = DABJDKT\r\n");
    EXPECT_EQ(qtType(late), kOurs);
}

} // namespace
