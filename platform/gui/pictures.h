#pragma once

// Pictures, window icons and pointers, recognised by content (so "play.bmz",
// "theme.icp" and "pen.cuz" load whatever their names).

#include "platform/error.h"

#include <QCursor>
#include <QIcon>
#include <QPixmap>

namespace p95 {

// The standard pointer shapes the pointer buttons show before a cursor file
// is chosen.
enum class StandardPointer {
    Arrow,
    ArrowQuestion,
    ArrowHourglass,
    Hourglass,
    Cross,
    IBeam,
    NoDrop,
    SizeNS,
    SizeWE,
    SizeNWSE,
    SizeNESW,
    SizeAll,
    UpArrow,
};

class PictureService {
public:
    virtual ~PictureService() = default;
    // A bitmap, icon or cursor file (Windows-form or host path). Fails for a
    // missing file or one that is not a picture.
    virtual Result<QPixmap> loadPicture(const QString& path) = 0;
    // An icon file as a window icon; a null icon when it cannot be loaded.
    virtual QIcon windowIcon(const QString& path) = 0;
    // A .cur file as a pointer, with the hotspot from the file's header.
    virtual Result<QCursor> loadCursor(const QString& path) = 0;
    virtual QCursor standardPointer(StandardPointer shape) = 0;
};

class ClipboardService {
public:
    virtual ~ClipboardService() = default;
    // Plain text, replacing what the clipboard held.
    virtual void setText(const QString& text) = 0;
};

} // namespace p95
