#pragma once

// Reading picture files by their content, whatever their names: bitmaps,
// icons and cursors (and the other formats Qt's image readers know). Every
// picture the program reads goes through here, so every caller accepts and
// refuses the same files (the preview alone also takes JPEG wallpapers and
// the first frame of animated pointers). Works on QImage: no GUI session
// needed.

#include "platform/error.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QString>

namespace p95 {

struct CursorImage {
    QImage image;
    QPoint hotspot;
};

// The picture in a file (Windows-form or host path). For an icon or cursor
// file with several images, the one a picture box shows: a 32x32 image when
// there is one (the deepest), else the first. Fails for a missing file or
// one that is not a picture.
Result<QImage> readPicture(const QString& path);

// Every image of an icon or cursor file, or the one image of another picture.
Result<QList<QImage>> readPictureImages(const QString& path);

// A cursor file: the image a picture box would show and its hotspot from the
// file's header. Fails for a file that is not a cursor file.
Result<CursorImage> readCursor(const QString& path);

// A wallpaper as the preview draws it: a bitmap or a JPEG picture, told
// apart by content.
Result<QImage> readWallpaper(const QString& path);

// A pointer's picture: the image a cursor file shows, or for an animated
// pointer (a RIFF "ACON" file) the image of its first frame.
Result<QImage> readPointerPicture(const QString& path);

// The same on bytes already read; `name` only labels errors.
Result<QList<QImage>> decodePictureImages(const QByteArray& bytes, const QString& name);
Result<CursorImage> decodeCursor(const QByteArray& bytes, const QString& name);
Result<QImage> decodeWallpaper(const QByteArray& bytes, const QString& name);
Result<QImage> decodePointerPicture(const QByteArray& bytes, const QString& name);

// The first frame of an animated cursor: the bytes of the icon or cursor file
// in the first "icon" chunk of its "fram" list.
Result<QByteArray> firstAnimatedFrame(const QByteArray& bytes, const QString& name);
bool isAnimatedCursorFile(const QByteArray& bytes);
// Reads the first bytes of a Windows-form or host path: an error naming the
// file when it is no animated cursor file.
Status checkAnimatedCursorFile(const QString& path);

// True for the header of an icon (type 1) or cursor (type 2) resource file.
bool isIconFile(const QByteArray& bytes);
bool isCursorFile(const QByteArray& bytes);

} // namespace p95
