#pragma once

// The hard-disk image of an emulated machine: which container it is, where
// its disk starts, which partitions it holds, and whether another program is
// using it. Nothing here writes to the image.

#include "platform/error.h"

#include <QList>
#include <QString>

#include <memory>

namespace p95 {

class WorkFolder;

enum class ImageFormat {
    Raw,        // the disk itself, any file name
    FixedVhd,   // the disk followed by a 512-byte footer
    Hdi,        // 86Box/Anex86 HDI: a header, then the disk
    Hdx,        // 86Box HDX: a 40-byte header, then the disk
    DynamicVhd, // the formats below are recognised and never written
    Qcow2,
    Vdi,
    Vmdk,
};

QString formatName(ImageFormat format);
// Raw, fixed VHD, HDI and HDX are plain disks at an offset: the program can write them.
bool isWritableFormat(ImageFormat format);

struct Partition {
    int number = 0;    // as Linux numbers them: 1-4 primary, 5 onwards logical; 0 no table
    qint64 offset = 0; // bytes from the start of the image file
    qint64 size = 0;   // bytes
    int type = 0;      // the MBR type byte (0 without a table)
    bool logical = false;
};

struct DiskImage {
    QString path;   // the file read: the image, or the raw copy of one read through qemu-img
    QString source; // the file named
    ImageFormat format = ImageFormat::Raw;
    qint64 diskOffset = 0; // where the disk starts in the file
    qint64 diskSize = 0;   // the disk's bytes (the footer or header left out)
    bool partitionTable = false;
    QList<Partition> partitions; // with a FAT-type byte or no table; in order of number
    std::shared_ptr<const WorkFolder> rawCopy; // holds the raw copy while it is read
};

// The image's format and partitions. A format that cannot be written gives
// an error that says how to convert it.
Result<DiskImage> openDiskImage(const QString& path);
// The same for reading only: a format that is not written (qcow2, VDI, VMDK,
// dynamic VHD) is read through a raw copy qemu-img makes, where qemu-img is
// installed.
Result<DiskImage> openDiskImageForReading(const QString& path);

// The partitions of a disk whose first sector is at diskOffset in the file:
// the MBR's primary and logical ones (every type), or the disk itself as one
// volume when the first sector is a FAT boot sector.
Result<QList<Partition>> readPartitions(const QString& path, qint64 diskOffset, qint64 diskSize,
                                        bool& partitionTable);

// A partition type byte of FAT12, FAT16 or FAT32 (hidden ones too); 0 is a volume without a table.
bool isFatPartitionType(int type);

// The FAT partition a number names; 0 (or no number) the first FAT one.
Result<Partition> choosePartition(const DiskImage& image, int number);

// What another process does with the image: the first process (id and name)
// that has it open for writing, or a lock held on it (an emulator running it).
// Empty when nobody uses it. ownFd: the descriptor of our own ImageLock, whose
// locks are not another's.
QString imageUser(const QString& path, int ownFd = -1);

// Holds, for as long as it lives, locks on the bytes QEMU checks before it
// opens an image (its permission and shared-permission bytes), so that QEMU
// refuses to start on an image that is being written, and a second program
// of ours sees it in use.
class ImageLock {
public:
    ImageLock() = default;
    ~ImageLock();
    ImageLock(const ImageLock&) = delete;
    ImageLock& operator=(const ImageLock&) = delete;

    // Fails when the file cannot be opened for writing or another holds a lock.
    Status acquire(const QString& path);
    void release();
    int fd() const { return m_fd; }

private:
    int m_fd = -1;
};

// The hint for a format the program does not write.
QString convertHint(const QString& path);

} // namespace p95
