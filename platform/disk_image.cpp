#include "platform/disk_image.h"

#include "platform/work_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace p95 {

namespace {

quint32 le32(const uchar* p) {
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}
quint64 le64(const uchar* p) {
    return quint64(le32(p)) | quint64(le32(p + 4)) << 32;
}
quint32 be32(const uchar* p) {
    return quint32(p[3]) | quint32(p[2]) << 8 | quint32(p[1]) << 16 | quint32(p[0]) << 24;
}

bool readAt(QFile& file, qint64 offset, QByteArray& out, qint64 size) {
    if (!file.seek(offset))
        return false;
    out = file.read(size);
    return out.size() == size;
}

bool isExtendedType(int type) {
    return type == 0x05 || type == 0x0F || type == 0x85;
}

} // namespace

bool isFatPartitionType(int type) {
    switch (type) {
    case 0x01: // FAT12
    case 0x04: // FAT16 < 32 MiB
    case 0x06: // FAT16
    case 0x0B: // FAT32
    case 0x0C: // FAT32 LBA
    case 0x0E: // FAT16 LBA
    case 0x11:
    case 0x14:
    case 0x16:
    case 0x1B:
    case 0x1C:
    case 0x1E: // hidden variants
    case 0x00: // no table
        return true;
    default:
        return false;
    }
}

namespace {

// A sector that holds a sane FAT BIOS parameter block: a volume without a table.
bool looksLikeFatBootSector(const QByteArray& sector) {
    const auto* p = reinterpret_cast<const uchar*>(sector.constData());
    if (sector.size() < 512 || !(p[0] == 0xEB || p[0] == 0xE9))
        return false;
    const int bytesPerSector = p[11] | p[12] << 8;
    const int perCluster = p[13];
    const int reserved = p[14] | p[15] << 8;
    const int fats = p[16];
    const int media = p[21];
    const auto powerOfTwo = [](int v) { return v > 0 && (v & (v - 1)) == 0; };
    return bytesPerSector >= 512 && bytesPerSector <= 4096 && powerOfTwo(bytesPerSector) &&
           powerOfTwo(perCluster) && reserved >= 1 && (fats == 1 || fats == 2) &&
           (media == 0xF0 || media >= 0xF8);
}

Error imageError(const QString& path, const QString& reason) {
    return Error{QStringLiteral("Opening the disk image"), path, reason};
}

// The program name of a process, for a message.
QString processName(const QString& pid) {
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

// Whether /proc/PID/fdinfo/FD says the descriptor may write.
bool openForWriting(const QString& pid, const QString& fd) {
    QFile info(QStringLiteral("/proc/%1/fdinfo/%2").arg(pid, fd));
    if (!info.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : info.readAll().split('\n')) {
        if (line.startsWith("flags:")) {
            bool ok = false;
            const int flags = line.mid(6).trimmed().toInt(&ok, 8);
            return ok && (flags & O_ACCMODE) != O_RDONLY;
        }
    }
    return false;
}

// A lock of another that conflicts with a write lock on [start, start+length).
bool lockedBy(int fd, int command, off_t start, off_t length, pid_t& holder) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = start;
    lock.l_len = length;
    lock.l_pid = 0;
    if (fcntl(fd, command, &lock) != 0)
        return false;
    holder = lock.l_pid;
    return lock.l_type != F_UNLCK;
}

// QEMU's lock bytes: one per permission at 100 + bit, one per permission it
// does not share at 200 + bit (block/file-posix.c); five permissions.
constexpr off_t kQemuPermBase = 100;
constexpr off_t kQemuSharedBase = 200;
constexpr off_t kQemuPermissions = 5;

} // namespace

QString formatName(ImageFormat format) {
    switch (format) {
    case ImageFormat::Raw:
        return QStringLiteral("raw");
    case ImageFormat::FixedVhd:
        return QStringLiteral("fixed VHD");
    case ImageFormat::Hdi:
        return QStringLiteral("HDI");
    case ImageFormat::Hdx:
        return QStringLiteral("HDX");
    case ImageFormat::DynamicVhd:
        return QStringLiteral("dynamic VHD");
    case ImageFormat::Qcow2:
        return QStringLiteral("qcow2");
    case ImageFormat::Vdi:
        return QStringLiteral("VDI");
    case ImageFormat::Vmdk:
        return QStringLiteral("VMDK");
    }
    return {};
}

bool isWritableFormat(ImageFormat format) {
    return format == ImageFormat::Raw || format == ImageFormat::FixedVhd ||
           format == ImageFormat::Hdi || format == ImageFormat::Hdx;
}

QString convertHint(const QString& path) {
    const QFileInfo info(path);
    return QStringLiteral("convert it to a raw image first, for example: qemu-img convert -O raw "
                          "%1 %2.img")
        .arg(info.fileName(), info.completeBaseName());
}

Result<QList<Partition>> readPartitions(const QString& path, qint64 diskOffset, qint64 diskSize,
                                        bool& partitionTable) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return imageError(path, file.errorString());
    QByteArray sector;
    if (!readAt(file, diskOffset, sector, 512))
        return imageError(path, QStringLiteral("the image is shorter than one sector"));
    QList<Partition> partitions;
    partitionTable = false;
    if (looksLikeFatBootSector(sector)) {
        partitions.append({0, diskOffset, diskSize, 0, false});
        return partitions;
    }
    const auto* mbr = reinterpret_cast<const uchar*>(sector.constData());
    if (mbr[510] != 0x55 || mbr[511] != 0xAA)
        return imageError(path, QStringLiteral("the disk has neither a partition table nor a "
                                               "FAT volume"));
    partitionTable = true;
    qint64 extendedStart = -1;
    for (int i = 0; i < 4; ++i) {
        const uchar* entry = mbr + 446 + 16 * i;
        const int type = entry[4];
        const qint64 start = qint64(le32(entry + 8)) * 512;
        const qint64 length = qint64(le32(entry + 12)) * 512;
        if (type == 0 || length == 0)
            continue;
        if (isExtendedType(type)) {
            if (extendedStart < 0)
                extendedStart = start;
            continue;
        }
        partitions.append({i + 1, diskOffset + start, length, type, false});
    }
    // The logical partitions: a chain of boot records inside the extended
    // partition, each naming one partition (relative to itself) and the next
    // record (relative to the extended partition's start).
    qint64 record = extendedStart;
    int number = 5;
    for (int guard = 0; record >= 0 && guard < 128; ++guard) {
        QByteArray ebrBytes;
        if (!readAt(file, diskOffset + record, ebrBytes, 512))
            break;
        const auto* ebr = reinterpret_cast<const uchar*>(ebrBytes.constData());
        if (ebr[510] != 0x55 || ebr[511] != 0xAA)
            break;
        const uchar* first = ebr + 446;
        const uchar* next = ebr + 462;
        if (first[4] != 0 && le32(first + 12) != 0) {
            partitions.append({number++, diskOffset + record + qint64(le32(first + 8)) * 512,
                               qint64(le32(first + 12)) * 512, first[4], true});
        }
        if (!isExtendedType(next[4]) || le32(next + 8) == 0)
            break;
        const qint64 following = extendedStart + qint64(le32(next + 8)) * 512;
        if (following <= record)
            break; // a chain that loops back
        record = following;
    }
    for (Partition& p : partitions) {
        if (p.offset + p.size > diskOffset + diskSize)
            return imageError(
                path, QStringLiteral("partition %1 runs past the end of the disk").arg(p.number));
    }
    return partitions;
}

namespace {

// HDI has no signature: its header names its own size and the disk's, which
// add up to the file's. A raw disk starts with boot code, never such a header.
bool looksLikeHdi(const uchar* h, qint64 fileSize) {
    const qint64 header = le32(h + 8);
    const qint64 sector = le32(h + 16);
    return le32(h) == 0 && header >= 512 && header % 512 == 0 &&
           header + qint64(le32(h + 12)) == fileSize &&
           (sector == 256 || sector == 512 || sector == 1024 || sector == 2048);
}

} // namespace

namespace {

// A raw copy of an image in a format the program does not read itself, made
// by qemu-img (sparse: as big as what the disk holds).
Result<std::shared_ptr<const WorkFolder>> rawCopyOf(const QString& path, ImageFormat format) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("qemu-img"));
    if (tool.isEmpty())
        return imageError(path, QStringLiteral("a %1 image is read through qemu-img, which is not "
                                               "installed (Debian package qemu-utils); or %2")
                                    .arg(formatName(format), convertHint(path)));
    auto copy = std::make_shared<WorkFolder>(QDir::tempPath(), QStringLiteral("paletteer95-read"));
    if (!copy->isValid())
        return imageError(path, copy->errorString());
    QProcess convert;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    convert.setProcessEnvironment(environment);
    convert.setStandardInputFile(QProcess::nullDevice());
    convert.start(tool, {QStringLiteral("convert"), QStringLiteral("-q"), QStringLiteral("-O"),
                         QStringLiteral("raw"), path, copy->filePath(QStringLiteral("disk.raw"))});
    if (!convert.waitForFinished(-1) || convert.exitStatus() != QProcess::NormalExit ||
        convert.exitCode() != 0) {
        const QString why = QString::fromLocal8Bit(convert.readAllStandardError()).trimmed();
        return imageError(
            path, QStringLiteral("qemu-img cannot read the %1 image: %2")
                      .arg(formatName(format), why.isEmpty() ? convert.errorString() : why));
    }
    return std::shared_ptr<const WorkFolder>(std::move(copy));
}

Result<DiskImage> inspectImage(const QString& path, bool forReading) {
    QFile file(path);
    if (!QFileInfo(path).isFile())
        return imageError(path, QStringLiteral("no such file"));
    if (!file.open(QIODevice::ReadOnly))
        return imageError(path, file.errorString());
    DiskImage image;
    image.path = path;
    image.source = path;
    const qint64 size = file.size();
    QByteArray head;
    if (!readAt(file, 0, head, qMin<qint64>(size, 512)) || size < 512)
        return imageError(path, QStringLiteral("the file is too small to be a disk image"));
    const auto* h = reinterpret_cast<const uchar*>(head.constData());
    QByteArray tail;
    readAt(file, size - 512, tail, 512);
    const auto* t = reinterpret_cast<const uchar*>(tail.constData());
    const QString suffix = QFileInfo(path).suffix().toLower();

    image.diskSize = size;
    if (head.startsWith("QFI\xfb")) {
        image.format = ImageFormat::Qcow2;
    } else if (head.startsWith("KDMV") || head.startsWith("# Disk DescriptorFile")) {
        image.format = ImageFormat::Vmdk;
    } else if (head.size() >= 68 && le32(h + 64) == 0xBEDA107F) {
        image.format = ImageFormat::Vdi;
    } else if (head.startsWith("conectix")) {
        image.format =
            ImageFormat::DynamicVhd; // a footer copy at the start: dynamic or differencing
    } else if (tail.startsWith("conectix")) {
        const quint32 type = be32(t + 60);
        if (type != 2)
            image.format = ImageFormat::DynamicVhd;
        else {
            image.format = ImageFormat::FixedVhd;
            image.diskSize = size - 512;
        }
    } else if (le64(h) == 0xD778A82044445459ull) {
        image.format = ImageFormat::Hdx;
        image.diskOffset = 0x28;
        image.diskSize = qMin<qint64>(qint64(le64(h + 8)), size - 0x28);
    } else if (suffix == QStringLiteral("hdi") || looksLikeHdi(h, size)) {
        image.format = ImageFormat::Hdi;
        image.diskOffset = le32(h + 8);
        image.diskSize = qMin<qint64>(le32(h + 12), size - image.diskOffset);
        if (image.diskOffset < 32 || image.diskOffset >= size || image.diskSize <= 0)
            return imageError(path, QStringLiteral("the HDI header is damaged"));
    }
    if (!isWritableFormat(image.format)) {
        if (!forReading)
            return imageError(path, QStringLiteral("a %1 image cannot be written; %2")
                                        .arg(formatName(image.format), convertHint(path)));
        auto copy = rawCopyOf(path, image.format);
        if (!copy)
            return copy.error();
        image.rawCopy = copy.value();
        image.path = image.rawCopy->filePath(QStringLiteral("disk.raw"));
        image.diskOffset = 0;
        image.diskSize = QFileInfo(image.path).size();
    }
    auto partitions =
        readPartitions(image.path, image.diskOffset, image.diskSize, image.partitionTable);
    if (!partitions)
        return Error{partitions.error().step, path, partitions.error().reason};
    image.partitions = partitions.value();
    return image;
}

} // namespace

Result<DiskImage> openDiskImage(const QString& path) {
    return inspectImage(path, false);
}

Result<DiskImage> openDiskImageForReading(const QString& path) {
    return inspectImage(path, true);
}

Result<Partition> choosePartition(const DiskImage& image, int number) {
    for (const Partition& p : image.partitions) {
        const bool fat = isFatPartitionType(p.type);
        if (number > 0 ? p.number == number : fat) {
            if (!fat) {
                return Error{QStringLiteral("Choosing the partition"), image.path,
                             QStringLiteral("partition %1 is not a FAT partition (type %2)")
                                 .arg(number)
                                 .arg(p.type, 2, 16, QLatin1Char('0'))};
            }
            return p;
        }
    }
    if (number > 0) {
        return Error{QStringLiteral("Choosing the partition"), image.path,
                     QStringLiteral("the image has no partition %1").arg(number)};
    }
    return Error{QStringLiteral("Choosing the partition"), image.path,
                 QStringLiteral("the image has no FAT partition")};
}

QString imageUser(const QString& path, int ownFd) {
    struct stat target {};
    if (::stat(QFile::encodeName(path).constData(), &target) != 0)
        return {};
    // Straight through the descriptors: a busy host has thousands of them,
    // and this runs before every write.
    const pid_t self = ::getpid();
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return {};
    QString user;
    while (const dirent* process = ::readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(process->d_name, &end, 10);
        if (pid <= 0 || *end != '\0' || pid == self)
            continue;
        char fdFolder[64];
        std::snprintf(fdFolder, sizeof fdFolder, "/proc/%ld/fd", pid);
        DIR* fds = ::opendir(fdFolder);
        if (!fds)
            continue;
        while (const dirent* fd = ::readdir(fds)) {
            struct stat opened {};
            if (fd->d_name[0] == '.' || ::fstatat(::dirfd(fds), fd->d_name, &opened, 0) != 0)
                continue;
            const QString pidText = QString::number(pid);
            if (opened.st_dev == target.st_dev && opened.st_ino == target.st_ino &&
                openForWriting(pidText, QString::fromLatin1(fd->d_name))) {
                user = QStringLiteral("%1 (process %2) has the image open for writing")
                           .arg(processName(pidText), pidText);
                break;
            }
        }
        ::closedir(fds);
        if (!user.isEmpty())
            break;
    }
    ::closedir(proc);
    if (!user.isEmpty())
        return user;
    // Through our own lock's descriptor, our own locks are no conflict; a
    // lock of another process (OFD or not) still is.
    const int fd =
        ownFd >= 0 ? ownFd : ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    pid_t holder = 0;
    if (lockedBy(fd, F_OFD_GETLK, 0, 0, holder) ||
        (ownFd < 0 && lockedBy(fd, F_GETLK, 0, 0, holder))) {
        user = holder > 0 ? QStringLiteral("%1 (process %2) holds a lock on the image")
                                .arg(processName(QString::number(holder)))
                                .arg(holder)
                          : QStringLiteral("another program holds a lock on the image");
    }
    if (fd != ownFd)
        ::close(fd);
    return user;
}

ImageLock::~ImageLock() {
    release();
}

void ImageLock::release() {
    if (m_fd >= 0)
        ::close(m_fd); // an OFD lock ends with its open file description
    m_fd = -1;
}

Status ImageLock::acquire(const QString& path) {
    release();
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    if (m_fd < 0) {
        return Error{QStringLiteral("Opening the disk image for writing"), path,
                     QString::fromLocal8Bit(std::strerror(errno))};
    }
    for (const off_t base : {kQemuPermBase, kQemuSharedBase}) {
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = base;
        lock.l_len = kQemuPermissions;
        if (fcntl(m_fd, F_OFD_SETLK, &lock) != 0) {
            release();
            return Error{QStringLiteral("Locking the disk image"), path,
                         QStringLiteral("another program holds a lock on the image")};
        }
    }
    return {};
}

} // namespace p95
