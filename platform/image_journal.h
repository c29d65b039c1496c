#pragma once

// The undo journal that makes a write to a disk image whole or nothing: the
// regions a write may change, saved and flushed beside the image before the
// first byte is written, removed once the image is flushed. A journal found
// at the next use means a write was cut off: it is rolled back.
//
// The file: "P95JRNL1", the image's size (8 bytes), the record count (4),
// then each record's offset (8), length (8) and bytes -- a length with its
// top bit set is a run of zeros, without bytes -- and at the end a checksum
// of all that came before (8). A journal whose checksum fails was
// cut off while it was written, before the image was touched: it is removed.

#include "platform/error.h"
#include "platform/fat_volume.h"

#include <QList>
#include <QString>

namespace p95 {

// The journal's name beside the image.
QString journalPath(const QString& imagePath);

// Saves the regions (merged where they overlap) of the open image and flushes
// the journal and its folder.
Status writeJournal(const QString& imagePath, int imageFd, QList<ImageRegion> regions);

// Writes a complete journal back into the image, flushes it, removes the
// journal. rolledBack tells whether there was one to roll back.
Status rollBackJournal(const QString& imagePath, bool* rolledBack = nullptr);

// Removes the journal after a write that completed, and flushes the folder.
Status removeJournal(const QString& imagePath);

} // namespace p95
