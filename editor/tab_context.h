#pragma once

// What the selection tabs need from their window: the host services, the
// window's one file dialog and the theme model, which the tabs show and
// change. The window hands it over once.

#include "editor/remove_menu.h"
#include "platform/file_dialog.h"
#include "platform/gui/services.h"
#include "platform/message_box.h"
#include "theme/theme_document.h"
#include "theme/theme_reader.h"

#include <QHash>
#include <QObject>
#include <QPixmap>

#include <optional>

class QAction;
class QLineEdit;
class QMenu;
class QPoint;
class QWidget;

namespace p95 {

class FileSystem;
class ThemeModel;

struct TabContext {
    Services services;
    FileSystem& files;
    CommonDialog& dialog; // CommonDialog1
    QWidget* window;      // parent of dialogs and message boxes

    ThemeModel& model;
    // Pictures already loaded, by path: a file is loaded once for its
    // preview, however often Undo and Redo show it again. The window empties
    // it when a theme is opened or saved.
    QHash<QString, QPixmap>& pictures;

    RemoveMenu* removal = nullptr; // mnuRem, shared by the tabs

    const ThemeDocument& document() const;
    // A file chosen for a slot, as one step of the history; told at once when
    // no package could hold it.
    void setFile(SlotRef slot, const QString& path) const;
    // The preview of what the slot holds: its picture, the placeholder of an
    // animated pointer or a JPEG wallpaper, or nothing.
    QPixmap previewOf(SlotRef slot) const;
    // A picture loaded for a preview, or its error; kept for previewOf.
    Result<QPixmap> loadPicture(const QString& path) const;

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
};

// What the user is told when a file chosen for a slot is too large for a
// theme package: the theme can be saved, but not packed. Nothing otherwise.
std::optional<QString> tooLargeForPackageMessage(const QString& path);

// What the user is told when a chosen file cannot be loaded as a picture (or
// a cursor); the slot keeps what it held.
QString unloadablePictureMessage(const QString& path, const Error& error);

// The tooltip of a choose button or preview: the file the slot holds, or
// that it holds none.
QString slotToolTip(const QString& path);

} // namespace p95
