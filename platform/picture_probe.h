#pragma once

// "Would this file load as a picture?" — the question the theme reader asks
// before it takes a pointer, icon or wallpaper path from a .theme file. A
// missing file, or one that is not a bitmap, icon or cursor, fails: that is
// how a theme's missing files are found.

#include "platform/error.h"

#include <QString>

namespace p95 {

class PictureProbe {
public:
    virtual ~PictureProbe() = default;

    // path is a Windows-form path ("C:\Windows\Cursors\arrow.cur", looked up
    // on the mapped drive) or a host path. Empty status: the file loads.
    virtual Status probe(const QString& path) const = 0;
};

} // namespace p95
