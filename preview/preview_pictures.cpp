#include "preview/preview_pictures.h"

#include "platform/pictures/picture_loader.h"

namespace p95 {

const Result<QImage>& PreviewPictures::picture(PictureKind kind, const QString& path) {
    const auto key = std::make_pair(kind, path);
    auto found = m_pictures.find(key);
    if (found != m_pictures.end())
        return found->second;
    Result<QImage> loaded = [&]() -> Result<QImage> {
        switch (kind) {
        case PictureKind::Wallpaper:
            return readWallpaper(path);
        case PictureKind::Pointer:
            return readPointerPicture(path);
        case PictureKind::Icon:
            break;
        }
        return readPicture(path);
    }();
    // Drawn often, so converted once to the form the painter blends fastest.
    if (loaded.ok())
        loaded = Result<QImage>(loaded.value().convertToFormat(
            loaded.value().hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                             : QImage::Format_RGB32));
    return m_pictures.emplace(key, std::move(loaded)).first->second;
}

} // namespace p95
