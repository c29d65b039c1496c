#pragma once

// The selection tabs under test: a loaded editor, its controls found by
// object name, and the choices made through the scripted file dialog.

#include "editor_test_support.h"
#include "platform/sound_files.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace p95::test {

class TabsFixture : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        window = makeWindow();
    }

    template <typename T = QWidget> T* control(const QString& name) {
        T* widget = window->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    template <typename T = QWidget> T* control(const char* name, int index) {
        return control<T>(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index));
    }
    QString text(const char* name, int index) { return control<QLabel>(name, index)->text(); }

    // Presses a button with the dialog's answer queued (std::nullopt: Cancel);
    // the dialog's properties as they were when it was shown.
    CommonDialog choose(QPushButton* button, std::optional<QString> answer) {
        const size_t before = fakes.fileDialog.shown.size();
        fakes.fileDialog.queue(std::move(answer));
        button->click();
        EXPECT_EQ(fakes.fileDialog.shown.size(), before + 1) << "no dialog shown";
        return fakes.fileDialog.shown.empty() ? CommonDialog{} : fakes.fileDialog.shown.back();
    }

    // A short wave sound of that name, made on first use: a sound is taken
    // only when the file is one.
    QString waveFile(const QString& name) {
        const QString path = tmp() + QStringLiteral("/sounds/") + name;
        if (!QFileInfo::exists(path))
            writeFile(path, sineWave(440.0, 0.05));
        return path;
    }

    // An animated pointer of that name: the header is what a choice looks at.
    QString aniFile(const QString& name) {
        const QString path = tmp() + QStringLiteral("/cursors/") + name;
        writeFile(path, QByteArray("RIFF\x04\0\0\0ACON", 12));
        return path;
    }

    QString programFile(const char* name) const {
        return programDirectory() + QLatin1Char('\\') + QLatin1String(name);
    }

    std::unique_ptr<FrmMain> window;
};

} // namespace p95::test
