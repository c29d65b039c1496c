#pragma once

// The start-up flow: the Tip of the Day window first, then the start window,
// the loading window and the editor; the one About window; and how a Yes to
// a quit question ends the program. The windows are created when they are
// first shown and deleted when they close, as forms are unloaded.

#include "app/tip_file/tip_file.h"
#include "platform/gui/services.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class QCloseEvent;
class QWidget;

namespace p95 {

class FileSystem;
class FrmMain;
class Form1;
class FrmStart;
class FrmLoad;
class FrmAbout;

// What the program's command line asks for.
struct StartArguments {
    enum class Action { Start, Help, Version, BadUsage };
    Action action = Action::Start;
    // Start: the file to open at start (an absolute host path, or a
    // Windows-form path as given); empty for none.
    QString file;
    // BadUsage: what is wrong, for one line on standard error.
    QString problem;
};

// The arguments without the program's name, once Qt has taken out its own
// options (-style, -platform and the like). --help and --version count
// wherever they stand before "--", so the raw command line can be asked
// first, before there is a display; "--" makes what follows a file name.
StartArguments parseStartArguments(const QStringList& arguments);

class StartUp : public QObject {
    Q_OBJECT
public:
    // The services, the file system and the editor must outlive the flow.
    StartUp(Services services, FileSystem& files, FrmMain& editor, QObject* parent = nullptr);
    ~StartUp() override;

    // Program start: shows the Tip of the Day window (which loads the editor)
    // and what filling the program directory could not do.
    Form1* start();
    // Program start with the file from the command line (empty for none; a
    // desktop's Open hands over its file this way). Returns the first window
    // shown: the editor with the file opened, else the Tip of the Day.
    QWidget* launch(const QString& file);
    // A .theme file straight into the editor, as the start window's Open
    // would, without the tip and start windows. False when the file could not
    // be opened or is no theme: that was said, and the editor is as it was,
    // hidden.
    bool openThemeAtStart(const QString& path);
    // A theme package installed as the editor's Install does, then its theme
    // opened in the editor. False when nothing was opened: the editor is
    // hidden, and what happened was said.
    bool installPackageAtStart(const QString& path);

    FrmStart* showStart();
    // What the start window's load does to the editor, also before a file
    // given at start is opened: LoadText touched (which loads the editor,
    // hidden), then the Handwriting button's pen.
    void loadEditor();
    // Shows the loading window for a new theme name; its timer starts.
    FrmLoad* showLoad(const QString& themeName);
    // The one About window, made on first use and shown again afterwards.
    FrmAbout* showAbout();
    // Closes the start window without the quit question (the hand-over).
    void closeStart();
    // Yes to a quit question: the program ends with all its windows.
    void endProgram();
    // A window closed by its frame while it is not being left for the next
    // one asks the quit question; No keeps it open.
    void closeOrAskToQuit(QWidget* window, QCloseEvent* event, bool continuing);

    // The windows that are up (null once closed).
    Form1* tipWindow() const;
    FrmStart* startWindow() const;
    FrmLoad* loadWindow() const;
    FrmAbout* aboutWindow() const;

    Services services() const { return m_services; }
    FileSystem& files() const { return m_files; }
    FrmMain& editor() const { return m_editor; }
    const RandomSource& random() const { return m_random; }
    int loadInterval() const { return m_loadIntervalMs; }

    // Tests: a scripted random source, and what ending the program does
    // (the default ends the application's event loop).
    void setRandom(RandomSource random) { m_random = std::move(random); }
    void setEndProgram(std::function<void()> endProgram) { m_endProgram = std::move(endProgram); }

private:
    Services m_services;
    FileSystem& m_files;
    FrmMain& m_editor;
    RandomSource m_random;
    std::function<void()> m_endProgram;
    // Twenty ticks make the hand-over last about a second.
    int m_loadIntervalMs = 50;

    QPointer<Form1> m_tip;
    QPointer<FrmStart> m_start;
    QPointer<FrmLoad> m_load;
    QPointer<FrmAbout> m_about;
};

} // namespace p95
