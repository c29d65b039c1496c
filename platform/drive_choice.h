#pragma once

// Drive C as the window uses it: a folder or a FAT partition of a disk image,
// chosen in the Drive C window and remembered for the next start. While an
// image is drive C, what a save or an install changed is written into the
// image by commitDriveC(), whole or nothing.

#include "platform/error.h"

#include <QString>

namespace p95 {

struct DriveChoice {
    QString path;      // a folder or an image file; empty: the default folder
    int partition = 0; // on an image; 0 the first FAT partition
};

// The choice remembered by the Drive C window (QSettings). $PALETTEER95_DRIVE_C,
// when set, comes first, as it does for the CLI.
DriveChoice rememberedDriveChoice();
void rememberDriveChoice(const DriveChoice& choice);

// Makes the choice drive C. An image is opened for writing; one that cannot be
// written (an emulator runs it, a dirty volume, a read-only file) is opened
// for reading, and a later write says why it cannot be done. Fails when the
// folder does not exist or the image cannot be read; drive C is then as before.
Status useDriveC(const DriveChoice& choice);

// Writes what changed on an image drive C since the last commit; nothing to do
// on a folder. On failure the image is as it was and the working copy is
// dropped, so that the window sees the image as it is.
Status commitDriveC();

// When the image drive C is on changed since it was read (the machine ran)
// and nothing of ours waits to be written, what is reached next on drive C is
// read from the image afresh. Nothing to do on a folder.
void refreshDriveC();

// "the folder /home/ann/.local/share/paletteer95/drive_c", "partition 1 of
// win95.img (/home/ann/vm/win95.img)": for the window's tooltip.
QString driveCDescription();

} // namespace p95
