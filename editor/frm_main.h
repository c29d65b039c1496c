#pragma once

// frmMain, the editor window: where one theme is put together. It owns the
// theme model; its controls show the model and change it only through it.
// Its menus carry Undo and Redo, and no unsaved change is dropped without a
// question.

#include "editor/colours_tab.h"
#include "editor/open_flow.h"
#include "editor/pointers_tab.h"
#include "editor/readme_tab.h"
#include "editor/sounds_tab.h"
#include "editor/theme_model.h"
#include "editor/visuals_tab.h"
#include "platform/file_dialog.h"
#include "platform/gui/services.h"
#include "theme/theme_document.h"
#include "theme/theme_reader.h"
#include "ui/help_panel.h"

#include <QMainWindow>
#include <QPointer>

#include <QHash>
#include <QPixmap>

#include <array>
#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;

namespace p95 {

class FileSystem;
class FrmPreview;

class FrmMain : public QMainWindow {
    Q_OBJECT
public:
    // The window keeps references to the services and the file system; both
    // must outlive it.
    FrmMain(Services services, FileSystem& files, QWidget* parent = nullptr);
    ~FrmMain() override;

    // Runs the window-load steps, once: when another window first asks for
    // it (the start-up windows load the editor hidden) or when it is first
    // shown.
    void ensureLoaded();
    bool isLoaded() const { return m_loaded; }

    const ThemeDocument& document() const { return m_model.document(); }
    ThemeModel& model() { return m_model; }

    // Public operations other windows call.
    void GetColors();
    Status GenerateReadMe();

    // The start-up windows' hand-over of a new theme: its name, and the theme
    // directory it will be saved in shown in lblDirectory.
    void startNewTheme(const QString& name);
    // The Handwriting button's hover pointer: the program's pen.
    void showHandwritingPointer() { m_pointers->showHandwritingPointer(); }
    void setThemeName(const QString& name);
    // Shows a .theme file read for opening (ok() only): its path in
    // lblLoadFile and lblDirectory, the theme it holds, a fresh history.
    void openTheme(const ThemeFileToOpen& file);
    // Opens a .theme file as "&Open a Theme" does once the file is chosen:
    // read once; a file that cannot be read, or is no theme, changes nothing
    // and says so. True when it was opened.
    bool openThemeFile(const QString& path);
    // Installs a theme package as "&Install Theme Package..." does once the
    // package is chosen, asking what it must; then opens the installed theme
    // (of several, the one the user picks), calling beforeOpening first.
    // True when a theme was opened.
    bool installPackageFile(const QString& archive,
                            const std::function<void()>& beforeOpening = {});
    // Unsaved changes: asks whether to save them first (Yes, No, Cancel).
    // True when the action that would set them aside may go on: nothing
    // unsaved, No, or Yes and a save that completed.
    bool askToSaveChanges();

    const QLabel* themeNameLabel() const { return ThemeName; }
    const QLabel* directoryLabel() const { return lblDirectory; }
    const QLabel* loadFileLabel() const { return lblLoadFile; }
    QPushButton* pointerButton(int index) const { return m_pointers->Command3.at(index); }

    // What Yes to the quit question does once the window has agreed to close;
    // the default ends the application's event loop.
    void setEndProgram(std::function<void()> endProgram) { m_endProgram = std::move(endProgram); }

    // The tabs, for the windows and tests that work with their controls.
    PointersTab& pointersTab() const { return *m_pointers; }
    SoundsTab& soundsTab() const { return *m_sounds; }
    VisualsTab& visualsTab() const { return *m_visuals; }
    ColoursTab& coloursTab() const { return *m_colours; }
    ReadMeTab& readMeTab() const { return *m_readMe; }

Q_SIGNALS:
    // mnuAbout95: the About window opens on this.
    void aboutRequested();
    // Yes to the quit question: the program is ending.
    void programEnding();

protected:
    // Lets the menu shortcuts win over a control of this window that would
    // take the same keys (Ctrl+O in the ReadMe text); Ctrl+A and Ctrl+Z stay
    // the ReadMe box's own there.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildWindow();
    void buildMenus();
    void connectControls();
    void attachTabs(); // the selection tabs' behaviour: frm_main_tabs.cpp
    void followModel();

    // Handlers; each button and its menu entry run the same one.
    void Command15_Click(); // "&Open a Theme", mnuOpen
    void Command2_Click();  // "&Save Theme", mnuSave
    void mnuSaveAs_Click();
    void Command14_Click();  // "Save as Default &ReadMe File"
    void mnuPreview_Click(); // opens frmPreview, or brings the open one forward
    void mnuPack_Click();
    void mnuInstall_Click();
    void mnuDrive_Click();
    void mnuOpenImage_Click();
    // The specified Open once unsaved changes are settled: the file dialog.
    void openThroughFileDialog();

    void turnTab(int step); // Ctrl+Tab: 1, Ctrl+Shift+Tab: -1
    void playBirthday();
    // The questions a save asks before it writes anything, and what their
    // answers do; false when the save must not go on.
    bool askBeforeSaving();
    // Tells why the theme name check refuses name; false when it passes.
    bool refuseName(const QString& name);
    // Saves the document under name (set only when the save goes ahead).
    // True when the theme was saved.
    bool saveDocument(const QString& name);
    // Where the theme lives now, in lblDirectory and lblLoadFile: the
    // .theme file opened, or the theme directory saved into.
    void showThemeFile(const QString& path);
    void showThemeDirectory(const QString& name);
    bool storeReadMeAsDefault();
    bool askQuit();
    MsgAnswer message(const QString& text, MsgButtons buttons = MsgButtons::Ok,
                      MsgIcon icon = MsgIcon::None);

    // The model's ReadMe in the box, unless the box holds it already.
    void showReadMe();

    Services m_services;
    FileSystem& m_files;
    ThemeModel m_model;
    QHash<QString, QPixmap> m_pictures; // loaded for the previews, by path
    bool m_loaded = false;
    bool m_fittedText = false;
    bool m_saving = false;
    bool m_closeAfterSave = false;
    bool m_showingReadMe = false;
    bool m_ending = false;
    std::function<void()> m_endProgram;

    PointersTab* m_pointers = nullptr;
    SoundsTab* m_sounds = nullptr;
    VisualsTab* m_visuals = nullptr;
    ColoursTab* m_colours = nullptr;
    ReadMeTab* m_readMe = nullptr;

    // The controls on the window itself, under their own names.
    QPushButton* Command15 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command1 = nullptr;
    QTabWidget* SSTab1 = nullptr;
    QLabel* ThemeName = nullptr;
    QLabel* lblDirectory = nullptr;
    QLabel* lblLoadFile = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label5 = nullptr;
    std::array<QLabel*, kHelpPanelCount> picHelp{};
    std::array<QLabel*, kHelpPanelCount> lblHelp{};
    MciDevice& MMControl1;
    CommonDialog CommonDialog1;

    QMenu* mnuFile = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuSaveAs = nullptr;
    QAction* mnuPreview = nullptr;
    QAction* mnuPack = nullptr;
    QAction* mnuInstall = nullptr;
    QAction* mnuDrive = nullptr;
    QAction* mnuOpenImage = nullptr;
    QAction* mnuDash = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuEdit = nullptr;
    QAction* mnuUndo = nullptr;
    QAction* mnuRedo = nullptr;
    QAction* mnuUsePreset = nullptr; // "Use Preset as &My Colors"
    QMenu* mnuAbout = nullptr;
    QAction* mnuAbout95 = nullptr;
    QAction* nextTab = nullptr;
    QAction* previousTab = nullptr;
    QMenu* mnuRem = nullptr;
    QAction* mnuRemove = nullptr;
    QPointer<FrmPreview> m_preview;
};

} // namespace p95
