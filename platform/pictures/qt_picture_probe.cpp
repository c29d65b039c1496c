#include "platform/pictures/qt_picture_probe.h"

#include "platform/pictures/picture_loader.h"

namespace p95 {

Status QtPictureProbe::probe(const QString& path) const {
    const Result<QImage> picture = readPicture(path);
    if (!picture.ok())
        return picture.error();
    return {};
}

} // namespace p95
