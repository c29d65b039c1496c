#pragma once

// Pictures, window icons, pointers and the clipboard on Qt. Needs a
// QGuiApplication (pixmaps and cursors live in the window system).

#include "platform/clock.h"
#include "platform/gui/pictures.h"

#include <Qt>

namespace p95 {

// The Qt shape that stands for a standard pointer.
Qt::CursorShape cursorShape(StandardPointer shape);

class QtPictures : public PictureService {
public:
    Result<QPixmap> loadPicture(const QString& path) override;
    QIcon windowIcon(const QString& path) override;
    Result<QCursor> loadCursor(const QString& path) override;
    QCursor standardPointer(StandardPointer shape) override;
};

class QtClipboard : public ClipboardService {
public:
    void setText(const QString& text) override;
};

class SystemClock : public Clock {
public:
    QDate today() const override { return QDate::currentDate(); }
};

} // namespace p95
