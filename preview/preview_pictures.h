#pragma once

// The pictures a preview draws, read through the platform from the files the
// document names and kept by path, so that a redraw while a colour bar moves
// reads no file. Whoever holds one decides when the files may have changed
// (clear()).

#include "platform/error.h"

#include <QImage>
#include <QString>

#include <map>
#include <utility>

namespace p95 {

enum class PictureKind { Wallpaper, Icon, Pointer };

class PreviewPictures {
public:
    // The picture in the file, or why there is none.
    const Result<QImage>& picture(PictureKind kind, const QString& path);
    void clear() { m_pictures.clear(); }

private:
    std::map<std::pair<PictureKind, QString>, Result<QImage>> m_pictures;
};

} // namespace p95
