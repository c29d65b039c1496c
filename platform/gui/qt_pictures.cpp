#include "platform/gui/qt_pictures.h"

#include "platform/pictures/picture_loader.h"

#include <QClipboard>
#include <QGuiApplication>

namespace p95 {

Qt::CursorShape cursorShape(StandardPointer shape) {
    switch (shape) {
    case StandardPointer::Arrow:
        return Qt::ArrowCursor;
    case StandardPointer::ArrowQuestion:
        return Qt::WhatsThisCursor;
    case StandardPointer::ArrowHourglass:
        return Qt::BusyCursor;
    case StandardPointer::Hourglass:
        return Qt::WaitCursor;
    case StandardPointer::Cross:
        return Qt::CrossCursor;
    case StandardPointer::IBeam:
        return Qt::IBeamCursor;
    case StandardPointer::NoDrop:
        return Qt::ForbiddenCursor;
    case StandardPointer::SizeNS:
        return Qt::SizeVerCursor;
    case StandardPointer::SizeWE:
        return Qt::SizeHorCursor;
    case StandardPointer::SizeNWSE:
        return Qt::SizeFDiagCursor;
    case StandardPointer::SizeNESW:
        return Qt::SizeBDiagCursor;
    case StandardPointer::SizeAll:
        return Qt::SizeAllCursor;
    case StandardPointer::UpArrow:
        return Qt::UpArrowCursor;
    }
    return Qt::ArrowCursor;
}

Result<QPixmap> QtPictures::loadPicture(const QString& path) {
    const Result<QImage> image = readPicture(path);
    if (!image.ok())
        return image.error();
    return QPixmap::fromImage(image.value());
}

QIcon QtPictures::windowIcon(const QString& path) {
    const Result<QList<QImage>> images = readPictureImages(path);
    QIcon icon;
    if (!images.ok())
        return icon;
    for (const QImage& image : images.value())
        icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

Result<QCursor> QtPictures::loadCursor(const QString& path) {
    const Result<CursorImage> cursor = readCursor(path);
    if (!cursor.ok())
        return cursor.error();
    return QCursor(QPixmap::fromImage(cursor->image), cursor->hotspot.x(), cursor->hotspot.y());
}

QCursor QtPictures::standardPointer(StandardPointer shape) {
    return QCursor(cursorShape(shape));
}

void QtClipboard::setText(const QString& text) {
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(text, QClipboard::Clipboard);
}

} // namespace p95
