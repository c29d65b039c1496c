#pragma once

// A private drive C with a program directory, the scripted services and a
// QApplication for the editor window's tests.

#include "drive_support.h"
#include "editor/frm_main.h"
#include "fakes/fake_services.h"
#include "faults/disk_faults.h"
#include "platform/drive.h"
#include "platform/file_system.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <memory>

namespace p95::test {

inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "p95_editor_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv); // lives for the whole test run
}

inline const QByteArray kDefaultReadMeBytes = "Thank you for using this theme.\r\nEnjoy it!";

class EditorFixture : public DriveFixture {
protected:
    void SetUp() override {
        ensureApplication();
        auto dir = hostPath(programDirectory());
        ASSERT_TRUE(dir.ok());
        m_programDir = dir.value();
        QDir().mkpath(m_programDir);
        writeFile(m_programDir + QStringLiteral("/PersonalReadMe.txz"), kDefaultReadMeBytes);
    }

    // A loaded editor whose Yes to the quit question only counts.
    std::unique_ptr<FrmMain> makeWindow(FileSystem* files = nullptr) {
        auto window = std::make_unique<FrmMain>(fakes.services(), files ? *files : m_files);
        window->setEndProgram([this] { ++m_programEnds; });
        window->ensureLoaded();
        return window;
    }

    // The host path of a Windows-form path on this test's drive.
    QString host(const QString& windowsPath) const {
        auto path = hostPath(windowsPath);
        EXPECT_TRUE(path.ok()) << windowsPath.toStdString();
        return path.ok() ? path.value() : QString();
    }

    template <typename T> static T* find(QWidget& window, const char* name) {
        T* widget = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    FakeServices fakes;
    DiskFaults m_disk; // no fault until a test sets one
    FileSystem m_files{m_disk};
    QString m_programDir;
    int m_programEnds = 0;
};

} // namespace p95::test
