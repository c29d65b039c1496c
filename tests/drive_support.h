#pragma once

// A private drive C for one test: PALETTEER95_DRIVE_C points into a temporary
// folder for the test's lifetime, so no test touches the real home.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace p95::test {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : m_name(name) {
        if (qEnvironmentVariableIsSet(name))
            m_old = qgetenv(name);
        qputenv(name, value);
    }
    ~ScopedEnv() {
        if (m_old)
            qputenv(m_name, *m_old);
        else
            qunsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<QByteArray> m_old;
};

// The drive folder does not exist until the platform first asks for it, so
// the platform lays it out as it would on a fresh install.
class DriveFixture : public ::testing::Test {
public:
    // A file with its folders made; public for the helpers outside a fixture.
    static void writeFile(const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write(bytes);
    }

protected:
    DriveFixture()
        : m_drive(m_tmp.path() + QStringLiteral("/drive_c")),
          m_env("PALETTEER95_DRIVE_C", m_drive.toUtf8()) {}

    QString drive() const { return m_drive; }
    QString tmp() const { return m_tmp.path(); }

    // A host path below the drive folder ("Windows/x.wav").
    QString onDrive(const QString& relative) const { return m_drive + QLatin1Char('/') + relative; }

    QTemporaryDir m_tmp;
    QString m_drive;
    ScopedEnv m_env;
};

} // namespace p95::test
