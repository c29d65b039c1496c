#pragma once

// Drive C on a FAT partition of a disk image. The program's file operations
// work on a private mirror folder: a folder of the volume is copied into it
// the first time a path reaches it, so every file operation, picture, sound
// and package step works unchanged. commit() then writes what changed in the
// mirror into the image, whole or nothing: an undo journal of everything the
// write may change in place is flushed beside the image first, mtools writes,
// every name and byte is read back and the volume checked, the image is
// flushed and the journal removed; any failure rolls the image back.

#include "platform/disk_image.h"
#include "platform/error.h"
#include "platform/fat_volume.h"

#include <QElapsedTimer>
#include <QHash>
#include <QRecursiveMutex>
#include <QString>
#include <QStringList>

#include <memory>

namespace p95 {

class WorkFolder;

// What a partition of an image holds, for a list to choose from.
struct VolumeSummary {
    Partition partition;
    bool fat = false;
    QString label;
    QString fatType;
    qint64 totalBytes = 0;
    qint64 freeBytes = 0;
    QString problem; // why it cannot be read, when it cannot
};
QList<VolumeSummary> summarizeVolumes(const DiskImage& image);

// A theme on a volume: a .theme file in a folder of the themes root.
struct ImageTheme {
    QString folder; // "Ocean"
    QString file;   // "Ocean.theme"
    // "C:\Program Files\Plus!\Themes\Ocean\Ocean.theme"
    QString windowsPath() const;
};
// The themes in C:\Program Files\Plus!\Themes\ of the volume, by folder
// then file, letter case ignored; fails when there is no themes root.
Result<QList<ImageTheme>> themesOnVolume(const FatVolume& volume);

class ImageDrive {
public:
    // Write holds QEMU's locks from open() on (a command's few moments);
    // WriteLater checks at open() and takes them only while commit() writes,
    // so the machine can run between saves (the window), and commit() refuses
    // when the volume changed since it was copied.
    enum class Mode { Read, Write, WriteLater };

    // Opens the FAT partition (0: the first) of the image. A journal left by a
    // cut-off write is rolled back first. For writing, refuses with nothing
    // written: a format that is not written, an image or folder that is
    // read-only, an image another program uses, a dirty or inconsistent
    // volume; and holds the locks QEMU checks until closed.
    static Result<std::unique_ptr<ImageDrive>> open(const QString& imagePath, int partition,
                                                    Mode mode);
    ~ImageDrive();
    ImageDrive(const ImageDrive&) = delete;
    ImageDrive& operator=(const ImageDrive&) = delete;

    const DiskImage& image() const { return m_image; }
    const Partition& partition() const { return m_partition; }
    // "disk.img, partition 1" for messages and tooltips.
    QString description() const;

    // The host folder that stands for the volume's root.
    QString mirrorRoot() const;
    // Makes a folder of the mirror hold its folder's entries from the volume
    // (once), its parents first; a folder in the themes root with everything
    // below it. A path outside the mirror, or no folder of the volume, is left.
    void materialize(const QString& hostFolder);
    // Writes the mirror's changes into the image, whole or nothing. No change
    // writes nothing.
    Status commit();
    bool hasChanges();
    // The themes on the volume as it was last read or written.
    Result<QList<ImageTheme>> themes();
    // When the image changed since its volume was read (the machine ran) and
    // the working copy holds nothing unwritten: drops the working copy, so
    // that what is reached next is read afresh. True when it did.
    bool refreshIfChanged();
    // Drops the working copy: the next path reached is copied from the
    // volume afresh (after a write that failed and was rolled back).
    void discard();

private:
    ImageDrive() = default;
    struct Original {
        FatEntry entry;
        qint64 inode = 0;
        qint64 modified = 0;
    };
    struct Plan;
    void planFolder(const QString& folder, Plan& plan);
    Status verify(const Plan& plan, const FatVolume& volume);
    void snapshotFolder(const QString& folder);
    QString hostOf(const QString& folder) const;

    DiskImage m_image;
    Partition m_partition;
    Mode m_mode = Mode::Read;
    std::unique_ptr<WorkFolder> m_mirror;
    std::unique_ptr<FatVolume> m_volume;
    ImageLock m_lock;
    // The entries of each materialized folder ("" the root, "A/B") as the
    // volume held them, by name.
    QHash<QString, QHash<QString, Original>> m_folders;
    // The window saves on a worker thread while its own thread may reach
    // paths too.
    QRecursiveMutex m_mutex;
    QElapsedTimer m_opened;   // since the in-use probe
    QByteArray m_fingerprint; // of the volume's metadata when copied (WriteLater)
    QByteArray m_stamp;       // the image file's size and time when its volume was read
};

// The image drive C is on, if any: set by whoever opened it (the CLI, the
// window); the drive mapping reaches into its mirror.
ImageDrive* activeImageDrive();
void setActiveImageDrive(ImageDrive* drive);

// Whether a path names an image file rather than a folder (an existing file).
bool isImageFile(const QString& path);

} // namespace p95
