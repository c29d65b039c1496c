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
//   name are not touched (the name comes from themeNameFromPath()).
// - Each of the 67 steps scans the whole file for one key, either as
//   comma-delimited fields or as whole lines, and acts on every match, so
//   the last occurrence of a key wins. A failing step never ends another.
// - Pointer, icon and wallpaper paths are only taken when the file loads as
//   a picture (PictureProbe); ".ani" pointers and ".jpg" wallpapers are not
//   loaded but shown by placeholders. Sound and screen-saver paths are taken
//   without looking at the disk.
// - Afterwards the document is in own-colours mode.
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

    Preview preview(SlotRef slot) const;
};

// Reads the bytes of a .theme file on top of doc. Pictures are probed through
// probe; nothing else touches the host.
ThemeReading readTheme(const ThemeDocument& doc, const QByteArray& themeFileBytes,
                       const PictureProbe& probe);

// The theme name the Open operation gives a file: the path without its last
// six characters (".theme"), then what follows the last "\" or "/".
QString themeNameFromPath(const QString& themeFilePath);

// A .theme file is a few kilobytes; a larger one than this is refused before
// it is read, which bounds a reading's time and memory (the text is held
// about four times over while the steps scan it).
inline constexpr qint64 kMaxThemeFileBytes = qint64(16) << 20;

// The bytes of the .theme file at path (a Windows-form path on the mapped
// drive, or a host path), at most kMaxThemeFileBytes. On failure, hand the error to
// unreadableThemeMessage() and leave the document as it is.
Result<QByteArray> readThemeFile(const QString& themeFilePath);

// The message for a .theme file that could not be opened or read.
QString unreadableThemeMessage(const QString& themeFilePath, const Error& error);

} // namespace p95
