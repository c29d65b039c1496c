#pragma once

// What the selection tabs need from their window: the host services, the
// window's one file dialog, and the window's one way to set a slot (the
// document and the controls together). The window hands it over once.

#include "editor/remove_menu.h"
#include "platform/file_dialog.h"
#include "platform/gui/services.h"
#include "platform/message_box.h"
#include "theme/theme_document.h"
#include "theme/theme_reader.h"

#include <QHash>
#include <QObject>

#include <functional>
#include <optional>

class QAction;
class QLineEdit;
class QMenu;
class QPoint;
class QWidget;

namespace p95 {

class FileSystem;

struct TabContext {
    Services services;
    FileSystem& files;
    CommonDialog& dialog; // CommonDialog1
    QWidget* window;      // parent of dialogs and message boxes

    // The window's slot-setting path. Preview::None clears the preview box;
    // the tab then shows a picture it has already loaded.
    std::function<void(SlotRef, const QString&, Preview)> setSlot;
    std::function<void(bool)> setJpegWallpaper;
    std::function<void(int, const QString&)> setColour;
    std::function<void(ColourMode)> setColourMode;
    std::function<const ThemeDocument&()> document;

    RemoveMenu* removal = nullptr; // mnuRem, shared by the tabs
    QLineEdit* lblIndex = nullptr; // the colour the picker edits

    // A message titled "Paletteer 95" over the window.
    MsgAnswer message(const QString& text, MsgButtons buttons = MsgButtons::Ok,
                      MsgIcon icon = MsgIcon::None) const;
    // Asks "Are you sure that you want to remove this pointer from the theme?"
    // (likewise for a sound, an icon, the wallpaper and the screen saver),
    // Yes and No; true on Yes.
    bool confirmRemoval(SlotRef slot) const;
    // Shows the dialog after setting it up as every choice on the tabs does
    // (file name cleared first); the chosen path, or "" on Cancel.
    QString chooseFile(const QString& title, const QString& filter, int filterIndex,
                       const QString& defaultExt, const QString& initDir = QString()) const;
    // A file of the program directory ("play.bmz").
};

// What the user is told when a file chosen for a slot is too large for a
// theme package: the theme can be saved, but not packed. Nothing otherwise.
std::optional<QString> tooLargeForPackageMessage(const QString& path);

// What the user is told when a chosen file cannot be loaded as a picture (or
// a cursor); the slot keeps what it held.
QString unloadablePictureMessage(const QString& path, const Error& error);

} // namespace p95
