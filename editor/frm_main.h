#pragma once

// frmMain, the editor window: where one theme is put together. It owns the
// theme document; its controls show the document, and every change to a slot
// goes through one place that sets the document and the controls together.

#include "editor/colours_tab.h"
#include "editor/pointers_tab.h"
#include "editor/readme_tab.h"
#include "editor/sounds_tab.h"
#include "editor/visuals_tab.h"
#include "platform/file_dialog.h"
#include "platform/gui/services.h"
#include "theme/theme_document.h"
#include "theme/theme_reader.h"
#include "ui/help_panel.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <optional>

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

    // Runs the window-load steps, once: when another window first touches this
    // one (writing into LoadText) or when it is first shown.
    void ensureLoaded();
    bool isLoaded() const { return m_loaded; }

    const ThemeDocument& document() const { return m_doc; }

    // Public operations other windows call.
    void GetColors();
    Status GenerateReadMe();
    // Reads a .theme file into the window (the start window's Open and the
    // editor's own). A file that cannot be read, or that is no theme, changes
    // nothing and says so. True when the file was read.
    bool readTheme(const QString& path);
    // Installs a theme package as "&Install Theme Package..." does once the
    // package is chosen, asking what it must; then opens the installed theme
    // (of several, the one the user picks), calling beforeOpening first.
    // True when a theme was opened.
    bool installPackageFile(const QString& archive,
                            const std::function<void()>& beforeOpening = {});
    // The bytes of a .theme file that can be read and is a theme; otherwise
    // the user has been told why not.
    std::optional<QByteArray> readableTheme(const QString& path);

    // What the start-up windows set before showing this one.
    void setThemeName(const QString& name);
    // Shows the .theme file at path as the one opened: its path in lblLoadFile
    // and lblDirectory, the theme name it gives.
    void showOpenedFile(const QString& path);
    const QLabel* themeNameLabel() const { return ThemeName; }
    QLineEdit* loadText() const { return LoadText; }
    QLabel* directoryLabel() const { return lblDirectory; }
    QLabel* loadFileLabel() const { return lblLoadFile; }
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
    // A slot, a colour, the colour mode, the preset, the wallpaper layout or
    // a metric record changed.
    void documentChanged();
    // Sent before documentChanged when the files the slots name may be other
    // ones or changed on disk: a slot was set (perhaps to the same file
    // again), or a theme's settings were shown (opened, saved).
    void slotFilesChanged();

protected:
    // Lets the menu shortcuts win over a control of this window that would
    // take the same keys (Ctrl+A in the ReadMe text).
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildWindow();
    void buildMenus();
    void connectControls();
    void attachTabs(); // the selection tabs' behaviour: frm_main_tabs.cpp

    // Handlers; each button and its menu entry run the same one.
    void Command15_Click(); // "&Open a Theme", mnuOpen
    void Command2_Click();  // "&Save Theme", mnuSave
    void mnuSaveAs_Click();
    void Command14_Click();  // "Save as Default &ReadMe File"
    void mnuPreview_Click(); // opens frmPreview, or brings the open one forward
    void mnuPack_Click();
    void mnuInstall_Click();
    // Opens a .theme file as "&Open a Theme" does once the file is chosen.
    bool openThemeFile(const QString& path);

    void turnTab(int step); // Ctrl+Tab: 1, Ctrl+Shift+Tab: -1
    void playBirthday();
    void showReading(const QByteArray& themeFileBytes);
    // The questions a save asks before it writes anything, and what their
    // answers do; false when the save must not go on.
    bool askBeforeSaving();
    // Tells why the theme name check refuses name; false when it passes.
    bool refuseName(const QString& name);
    // Saves the document under name (set only when the save goes ahead).
    void saveDocument(const QString& name);
    bool storeReadMeAsDefault();
    bool askQuit();
    MsgAnswer message(const QString& text, MsgButtons buttons = MsgButtons::Ok,
                      MsgIcon icon = MsgIcon::None);

    // The one place a slot and its controls are set together.
    void setSlot(SlotRef slot, const QString& path, Preview preview);
    void setColour(int index, const QString& text);
    void setColourMode(ColourMode mode);
    // Shows every part of doc except the file slots (their previews come with
    // a reading).
    void showSettings(const ThemeDocument& doc);
    void showReadMe(const QString& text);

    Services m_services;
    FileSystem& m_files;
    ThemeDocument m_doc;
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
    QLineEdit* lblIndex = nullptr;
    QLineEdit* LoadText = nullptr;
    QLabel* IconMetrics = nullptr;
    QLabel* NonclientMetrics = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuSaveAs = nullptr;
    QAction* mnuPreview = nullptr;
    QAction* mnuPack = nullptr;
    QAction* mnuInstall = nullptr;
    QAction* mnuDash = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuAbout = nullptr;
    QAction* mnuAbout95 = nullptr;
    QAction* nextTab = nullptr;
    QAction* previousTab = nullptr;
    QMenu* mnuRem = nullptr;
    QAction* mnuRemove = nullptr;
    QPointer<FrmPreview> m_preview;
};

} // namespace p95
