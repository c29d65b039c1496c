#pragma once

// The picture probe of the real program: Qt's image reader, asked to decide
// the format from the file's content (the program's own files are named
// "play.bmz", "pen.cuz"), accepting bitmaps, icons and cursors only.

#include "platform/picture_probe.h"

namespace p95 {

class QtPictureProbe : public PictureProbe {
public:
    // Windows-form paths go through the drive mapping; host paths are used
    // as they are. Fails for a missing file, a folder, a file that is not a
    // bitmap, icon or cursor, and one whose picture cannot be decoded.
    Status probe(const QString& path) const override;
};

} // namespace p95
