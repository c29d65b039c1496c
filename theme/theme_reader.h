#pragma once

// Reads a .theme file (the theme manager's or our own) into a theme document.
//
// Contract, in short:
// - The reader works on the file's bytes (Windows-1252; CR LF, bare LF or
//   bare CR end a line). The caller opens the file (readThemeFile); when
//   that fails the document is not touched and the caller reports
//   unreadableThemeMessage().
// - The path slots are cleared first; colours, metrics and the JPEG flag
//   change only where the file says so; the tile flag, the ReadMe and the
//   name are not touched (the name comes from themeNameFromPath()); the tile
//   flag only as below.
// - The text is split once into comma-delimited fields and whole lines;
//   each of the 67 steps then acts on every record that holds its key, in
//   file order, so the last occurrence of a key wins. A failing step never
//   ends another. The results are those of scanning the file once per step.
// - Pointer, icon and wallpaper paths are only taken when the file loads as
//   a picture (PictureProbe); ".ani" pointers and ".jpg" wallpapers are not
//   loaded but shown by placeholders. Sound and screen-saver paths are taken
//   without looking at the disk.
// - Afterwards the document is in own-colours mode.
// - A file in which no step finds its record (nor a TileWallpaper= line) is
//   not a theme: the reading changes nothing and says so (isTheme false).
// - The tile flag follows the last "TileWallpaper=" line whose value is
//   exactly "0" or "1".
// - A path without a drive is on drive C, never in the working directory.
// - The messages the user sees come back in order: at most one per sound
//   slot (the path as far as it was formed + ".wav"), then the load-problem
//   message when anything failed.

#include "platform/error.h"
#include "platform/picture_probe.h"
#include "theme/theme_document.h"

#include <QByteArray>
#include <QStringList>

#include <array>
#include <string_view>

namespace p95 {

class FileSystem;

// What a slot's preview shows after a reading.
enum class Preview {
    None,            // cleared: an empty slot, a sound or the screen saver
    File,            // the slot's own file (its path in the document)
    AnimatedPointer, // the placeholder kAnimatedPointerPicture
    JpegWallpaper,   // the placeholder kJpegWallpaperPicture
};

// Placeholder pictures, in the program directory.
inline constexpr std::string_view kAnimatedPointerPicture = "ani.bmz";
inline constexpr std::string_view kJpegWallpaperPicture = "unavailable.bmz";

inline constexpr std::string_view kLoadProblemMessage =
    "There was a slight problem while loading this theme (one or more files couldn't be found "
    "or were corrupt). The rest of the theme should be functioning correctly";

struct ThemeReading {
    ThemeDocument document;
    std::array<Preview, kPointerCount> pointerPreviews{};
    std::array<Preview, kIconsCount> iconsPreviews{}; // index 5 (screen saver) stays None
    QStringList messages;                             // in the order they are shown
    // False for a file that holds no record of a theme; document is then the
    // one given, untouched, and there are no messages.
    bool isTheme = true;
    // With the load-problem message: what could not be loaded, one line per
    // slot (the file, or the slot when no file name could be read).
    QStringList unloaded;

    Preview preview(SlotRef slot) const;
};

// Reads the bytes of a .theme file on top of doc. Pictures are probed through
// probe; nothing else touches the host.
ThemeReading readTheme(const ThemeDocument& doc, const QByteArray& themeFileBytes,
                       const PictureProbe& probe);

// Whether a reading of these bytes would find any record of a theme.
bool isThemeText(const QByteArray& themeFileBytes);

// The message for a file that is no theme (isTheme false).
QString notAThemeMessage(const QString& themeFilePath);

// The theme name the Open operation gives a file: the path without its last
// six characters (".theme"), then what follows the last "\" or "/".
QString themeNameFromPath(const QString& themeFilePath);

// A .theme file is a few kilobytes; a larger one than this is refused before
// it is read, which bounds a reading's time and memory.
inline constexpr qint64 kMaxThemeFileBytes = qint64(16) << 20;

// The bytes of the .theme file at path (a Windows-form path on the mapped
// drive, or a host path), at most kMaxThemeFileBytes. On failure, hand the error to
// unreadableThemeMessage() and leave the document as it is.
Result<QByteArray> readThemeFile(const FileSystem& files, const QString& themeFilePath);
Result<QByteArray> readThemeFile(const QString& themeFilePath);

// The message for a .theme file that could not be opened or read.
QString unreadableThemeMessage(const QString& themeFilePath, const Error& error);

// Why the .theme file at themeFilePath, read into read by readThemeFile(),
// cannot be opened: unreadableThemeMessage() or notAThemeMessage(); empty
// when it can.
QString themeOpenRefusal(const Result<QByteArray>& read, const QString& themeFilePath);

} // namespace p95
