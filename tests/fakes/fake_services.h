#pragma once

// Scripted fakes of the host services: answers are queued in advance and every
// call is recorded, so widget tests run headless and never block. A call with
// no answer queued fails the test and takes the harmless answer (Cancel / No).

#include "platform/gui/services.h"

#include <QDate>
#include <QPixmap>
#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

#include <deque>
#include <optional>

namespace p95::test {

class FakeFileDialog : public FileDialogService {
public:
    // A path to choose, or std::nullopt for Cancel; the open and save
    // dialogs take their answers from the one queue.
    void queue(std::optional<QString> answer) { m_answers.push_back(std::move(answer)); }
    void showOpen(CommonDialog& dialog, QWidget* parent) override {
        respond(dialog, parent, false);
    }
    bool showSave(CommonDialog& dialog, QWidget* parent) override {
        return respond(dialog, parent, true);
    }
    bool drained() const { return m_answers.empty(); }
    std::vector<CommonDialog> shown; // the properties as they were when shown
    std::vector<bool> saving;        // per dialog shown: a save dialog

private:
    bool respond(CommonDialog& dialog, QWidget*, bool save) {
        shown.push_back(dialog);
        saving.push_back(save);
        if (m_answers.empty()) {
            ADD_FAILURE() << "file dialog shown with no answer queued: "
                          << dialog.dialogTitle.toStdString();
            return false;
        }
        auto answer = m_answers.front();
        m_answers.pop_front();
        if (answer)
            dialog.fileName = *answer;
        return answer.has_value();
    }

    std::deque<std::optional<QString>> m_answers;
};

class FakeMessageBox : public MessageBoxService {
public:
    struct Shown {
        QString text;
        MsgButtons buttons;
        QString title;
        MsgIcon icon;
        QString details; // the unfolding details; "" for none
    };
    void queue(MsgAnswer answer) { m_answers.push_back(answer); }
    MsgAnswer show(QWidget* parent, const QString& text, MsgButtons buttons, const QString& title,
                   MsgIcon icon) override {
        return showWithDetails(parent, text, QString(), buttons, title, icon);
    }
    MsgAnswer showWithDetails(QWidget*, const QString& text, const QString& details,
                              MsgButtons buttons, const QString& title, MsgIcon icon) override {
        shown.push_back({text, buttons, title, icon, details});
        if (!m_answers.empty()) {
            const MsgAnswer answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        }
        if (buttons == MsgButtons::Ok)
            return MsgAnswer::Ok; // a plain message needs no script
        ADD_FAILURE() << "question asked with no answer queued: " << text.toStdString();
        return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
    }
    QStringList texts() const {
        QStringList out;
        for (const Shown& s : shown)
            out << s.text;
        return out;
    }
    bool drained() const { return m_answers.empty(); }
    std::vector<Shown> shown;

private:
    std::deque<MsgAnswer> m_answers;
};

class FakeInputBox : public InputBoxService {
public:
    struct Asked {
        QString prompt;
        QString title;
        QString defaultAnswer;
    };
    // The text on OK, or "" for Cancel.
    void queue(QString answer) { m_answers.push_back(std::move(answer)); }
    QString ask(QWidget*, const QString& prompt, const QString& title,
                const QString& defaultAnswer) override {
        asked.push_back({prompt, title, defaultAnswer});
        if (m_answers.empty()) {
            ADD_FAILURE() << "input box shown with no answer queued: " << prompt.toStdString();
            return {};
        }
        QString answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    std::vector<Asked> asked;

private:
    std::deque<QString> m_answers;
};

class FakeListChoice : public ListChoiceService {
public:
    struct Asked {
        QString prompt;
        QString title;
        QStringList items;
    };
    // The index to choose, or -1 for Cancel.
    void queue(int answer) { m_answers.push_back(answer); }
    int choose(QWidget*, const QString& prompt, const QString& title,
               const QStringList& items) override {
        asked.push_back({prompt, title, items});
        if (m_answers.empty()) {
            ADD_FAILURE() << "list shown with no answer queued: " << prompt.toStdString();
            return -1;
        }
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    std::vector<Asked> asked;

private:
    std::deque<int> m_answers;
};

// Records every command with the file it was given; plays nothing.
class FakeMciDevice : public MciDevice {
public:
    void setDeviceType(const QString& type) override { m_type = type; }
    QString deviceType() const override { return m_type; }
    void setFileName(const QString& path) override { m_file = path; }
    QString fileName() const override { return m_file; }
    MciMode mode() const override { return m_mode; }
    Status command(const QString& command) override {
        log << command + QLatin1Char(' ') + m_file;
        if (command == QStringLiteral("Open")) {
            if (m_mode != MciMode::NotOpen)
                ADD_FAILURE() << "Open while a file is open";
            m_mode = MciMode::Stopped;
        } else if (command == QStringLiteral("Play")) {
            if (m_mode == MciMode::NotOpen)
                return Error{QStringLiteral("Playing"), m_file, QStringLiteral("not open")};
            m_mode = MciMode::Playing;
        } else if (command == QStringLiteral("Close")) {
            m_mode = MciMode::NotOpen;
        }
        return {};
    }
    Status waitUntilLoaded(int timeoutMs = 2000) override {
        (void)timeoutMs;
        ++waits;
        if (m_mode == MciMode::NotOpen)
            return Error{QStringLiteral("Loading"), m_file, QStringLiteral("not open")};
        return {};
    }
    bool hasOutput() const override { return output; }
    bool output = true; // false: a host without a sound server or sound card
    QStringList log;    // "Open /path", "Play /path", ...
    int waits = 0;      // calls of waitUntilLoaded (not in the log)

private:
    QString m_type;
    QString m_file;
    MciMode m_mode = MciMode::NotOpen;
};

// Loads nothing from disk: a path in `missing` fails, every other one gives a
// small picture named after it (its text() is the path, for checks).
class FakePictures : public PictureService {
public:
    Result<QPixmap> loadPicture(const QString& path) override {
        loaded << path;
        if (missing.contains(path))
            return Error{QStringLiteral("Loading the picture"), path, QStringLiteral("missing")};
        QPixmap pixmap(4, 4);
        pixmap.fill(Qt::gray);
        return pixmap;
    }
    QIcon windowIcon(const QString& path) override {
        icons << path;
        return {};
    }
    Result<QCursor> loadCursor(const QString& path) override {
        cursors << path;
        if (missing.contains(path))
            return Error{QStringLiteral("Loading the pointer"), path, QStringLiteral("missing")};
        return QCursor(Qt::PointingHandCursor);
    }
    QCursor standardPointer(StandardPointer shape) override {
        return QCursor(Qt::CursorShape(int(shape) % (int(Qt::LastCursor) + 1)));
    }
    QSet<QString> missing;
    QStringList loaded;
    QStringList icons;
    QStringList cursors;
};

class FakeClipboard : public ClipboardService {
public:
    void setText(const QString& value) override { text = value; }
    QString text;
};

class FakeClock : public Clock {
public:
    QDate today() const override { return date; }
    QDate date{2026, 3, 3};
};

// One of each fake, and the bundle a window takes.
struct FakeServices {
    FakeFileDialog fileDialog;
    FakeMessageBox messages;
    FakeInputBox input;
    FakeListChoice choice;
    FakeMciDevice audio;
    FakePictures pictures;
    FakeClipboard clipboard;
    FakeClock clock;
    Services services() {
        return Services{fileDialog, messages, input, choice, audio, pictures, clipboard, clock};
    }
};

} // namespace p95::test
