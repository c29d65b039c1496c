#pragma once

// The start-up flow over a private drive C and the scripted services: an
// editor that is not loaded yet, the flow with a scripted random source, and
// a Yes to a quit question that only counts.

#include "app/form1.h"
#include "app/frm_about.h"
#include "app/frm_load.h"
#include "app/frm_start.h"
#include "app/start_up.h"
#include "editor/editor_test_support.h"
#include "test_support.h"
#include "theme/theme_name.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTimer>

#include <deque>

namespace p95::test {

inline const QByteArray kThreeLineTips =
    "3\r\nClick a pointer button to choose a cursor.\r\nSave often.\r\n";

class StartUpFixture : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        writeTips(kThreeLineTips);
        editor = std::make_unique<FrmMain>(fakes.services(), m_files);
        editor->setEndProgram([this] { ++m_programEnds; });
        flow = std::make_unique<StartUp>(fakes.services(), m_files, *editor);
        flow->setEndProgram([this] { ++flowEnds; });
        flow->setRandom([this] {
            if (randoms.empty())
                return 0.0;
            const double r = randoms.front();
            randoms.pop_front();
            return r;
        });
    }

    void TearDown() override {
        flow.reset();
        editor.reset();
    }

    void writeTips(const QByteArray& bytes) {
        writeFile(m_programDir + QStringLiteral("/tipofday.txz"), bytes);
    }

    // Lets windows closed with WA_DeleteOnClose go, as the event loop would.
    static void processDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Program start, then "&Continue..." on the tip window.
    FrmStart* reachStartWindow() {
        Form1* tip = flow->start();
        find<QPushButton>(*tip, "Command1")->click();
        processDeletes();
        FrmStart* start = flow->startWindow();
        EXPECT_NE(start, nullptr);
        return start;
    }

    // Types a name into the start window and presses "&Continue......".
    void continueWith(FrmStart& start, const QString& name) {
        find<QLineEdit>(start, "Text1")->setText(name);
        find<QPushButton>(start, "Command1")->click();
    }

    // Runs the loading window's ticks by hand (its own timer stopped).
    void tick(FrmLoad& load, int count) {
        load.timer()->stop();
        for (int i = 0; i < count; ++i)
            load.tick();
    }

    QString editorText(const char* name) { return find<QLabel>(*editor, name)->text(); }

    std::unique_ptr<FrmMain> editor;
    std::unique_ptr<StartUp> flow;
    std::deque<double> randoms;
    int flowEnds = 0;
};

} // namespace p95::test
