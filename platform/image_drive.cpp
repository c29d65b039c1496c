#include "platform/image_drive.h"

#include "platform/image_journal.h"
#include "platform/mtools.h"
#include "platform/work_folder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

namespace p95 {

namespace {

constexpr qint64 kProbeAgainMs = 2000;
// How deep below the root the themes tree is copied (a looping folder of a
// damaged volume ends there).
constexpr qsizetype kThemesDepth = 12;

ImageDrive*& activeSlot() {
    static ImageDrive* drive = nullptr;
    return drive;
}

QString joinPath(const QString& folder, const QString& name) {
    return folder.isEmpty() ? name : folder + QLatin1Char('/') + name;
}

QStringList componentsOf(const QString& path) {
    return path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

bool statFile(const QString& path, qint64& inode, qint64& modified, qint64& size) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    inode = qint64(info.st_ino);
    modified = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    size = qint64(info.st_size);
    return true;
}

// Where the mirror lives: in memory where the host offers it (the save's
// flushes there cost nothing; the image gets its own), else the temporary folder.
QString mirrorParent() {
    for (const QString& candidate :
         {qEnvironmentVariable("XDG_RUNTIME_DIR"), QStringLiteral("/dev/shm")}) {
        const QFileInfo info(candidate);
        if (!candidate.isEmpty() && info.isDir() && info.isWritable())
            return candidate;
    }
    return QDir::tempPath();
}

// mtools keeps a name whole only when every character is in its code page
// (850): it writes any other as a look-alike and no long name ("€uro" becomes
// "euro"). Such a name is refused before anything is written.
bool volumeCanHold(const QString& name) {
    static const QString kForbidden = QStringLiteral("\\/:*?\"<>|");
    QStringEncoder encoder("IBM850", QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.encode(name);
    if (encoder.hasError())
        return false;
    QStringDecoder decoder("IBM850");
    if (decoder.decode(bytes) != name)
        return false;
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || kForbidden.contains(c))
            return false;
    }
    return true;
}

// The bytes of everything a write changes in place, hashed: equal exactly
// when nobody wrote to the volume in between.
QByteArray fingerprint(const FatVolume& volume, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const ImageRegion& region : volume.metadataRegions()) {
        if (!file.seek(region.offset))
            return {};
        hash.addData(file.read(region.length));
    }
    return hash.result();
}

// Changes whenever a program writes the file (QEMU, 86Box, mtools).
QByteArray fileStamp(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return QByteArray::number(qint64(info.st_size)) + ' ' +
           QByteArray::number(qint64(info.st_mtim.tv_sec)) + '.' +
           QByteArray::number(qint64(info.st_mtim.tv_nsec)) + ' ' +
           QByteArray::number(qint64(info.st_ctim.tv_sec)) + '.' +
           QByteArray::number(qint64(info.st_ctim.tv_nsec));
}

// The themes root or a folder below it ("/"-separated volume path).
bool insideThemesRoot(const QString& folder) {
    static const QString kThemesRoot = QStringLiteral("Program Files/Plus!/Themes");
    return folder.compare(kThemesRoot, Qt::CaseInsensitive) == 0 ||
           folder.startsWith(kThemesRoot + QLatin1Char('/'), Qt::CaseInsensitive);
}

Error refusal(const QString& path, const QString& reason) {
    return Error{QStringLiteral("Writing to the disk image"), path, reason};
}

} // namespace

struct ImageDrive::Plan {
    QStringList deleteFiles; // volume paths
    QStringList deleteTrees;
    QList<std::pair<QString, QStringList>> copies; // volume folder, host sources
    QList<ImageRegion> freed;                      // clusters a write may reuse
    qint64 neededClusters = 0;
    qint64 freedClusters = 0;
    QList<std::pair<QString, QString>> written; // volume path, host path
    QStringList removed;
    QStringList newFolders;
    QString unholdable;         // the first new name mtools would change
    QStringList changedFolders; // whose entries the write changes
    QString unread; // a folder of the volume the working copy has files in but never read

    bool empty() const {
        return deleteFiles.isEmpty() && deleteTrees.isEmpty() && copies.isEmpty() &&
               unread.isEmpty();
    }
    void copy(const QString& folder, const QString& host) {
        for (auto& [target, sources] : copies) {
            if (target == folder) {
                sources << host;
                return;
            }
        }
        copies.append({folder, {host}});
    }
};

QList<VolumeSummary> summarizeVolumes(const DiskImage& image) {
    QList<VolumeSummary> volumes;
    for (const Partition& p : image.partitions) {
        VolumeSummary summary;
        summary.partition = p;
        summary.totalBytes = p.size;
        summary.fat = isFatPartitionType(p.type);
        if (!summary.fat) {
            summary.problem = QStringLiteral("not a FAT partition");
        } else if (auto volume = FatVolume::open(image.path, p.offset)) {
            summary.label = volume.value()->label();
            summary.fatType = fatTypeName(volume.value()->type());
            summary.totalBytes = volume.value()->totalBytes();
            summary.freeBytes = volume.value()->freeBytes();
        } else {
            summary.fat = false;
            summary.problem = volume.error().reason;
        }
        volumes.append(summary);
    }
    return volumes;
}

QString ImageTheme::windowsPath() const {
    return QStringLiteral("C:\\Program Files\\Plus!\\Themes\\%1\\%2").arg(folder, file);
}

Result<QList<ImageTheme>> themesOnVolume(const FatVolume& volume) {
    auto root = volume.find(
        {QStringLiteral("Program Files"), QStringLiteral("Plus!"), QStringLiteral("Themes")});
    if (!root || !root.value().directory)
        return Error{QStringLiteral("Listing the themes on the disk image"), QString(),
                     QStringLiteral("the image has no themes folder C:\\Program "
                                    "Files\\Plus!\\Themes\\")};
    auto folders = volume.list(root.value().firstCluster);
    if (!folders)
        return folders.error();
    QList<ImageTheme> themes;
    for (const FatEntry& folder : folders.value()) {
        if (!folder.directory)
            continue;
        auto files = volume.list(folder.firstCluster);
        if (!files)
            continue; // a damaged folder hides its themes, not the others
        for (const FatEntry& file : files.value()) {
            if (!file.directory &&
                file.name.endsWith(QStringLiteral(".theme"), Qt::CaseInsensitive))
                themes.append({folder.name, file.name});
        }
    }
    std::sort(themes.begin(), themes.end(), [](const ImageTheme& a, const ImageTheme& b) {
        if (const int order = a.folder.compare(b.folder, Qt::CaseInsensitive); order != 0)
            return order < 0;
        return a.file.compare(b.file, Qt::CaseInsensitive) < 0;
    });
    return themes;
}

Result<std::unique_ptr<ImageDrive>> ImageDrive::open(const QString& imagePath, int partition,
                                                     Mode mode) {
    auto image = mode == Mode::Read ? openDiskImageForReading(imagePath) : openDiskImage(imagePath);
    if (!image)
        return image.error();
    auto chosen = choosePartition(image.value(), partition);
    if (!chosen)
        return chosen.error();
    std::unique_ptr<ImageDrive> drive(new ImageDrive);
    drive->m_image = image.value();
    drive->m_partition = chosen.value();
    drive->m_mode = mode;
    drive->m_opened.start();

    // A write that was cut off is undone before anything reads the volume.
    if (QFileInfo::exists(journalPath(imagePath))) {
        if (const QString user = imageUser(imagePath); !user.isEmpty())
            return refusal(imagePath, user);
        if (const Status s = rollBackJournal(imagePath); !s.ok())
            return s.error();
    } else if (const QString partial = journalPath(imagePath) + QStringLiteral(".part");
               QFileInfo::exists(partial) && imageUser(imagePath).isEmpty()) {
        // A journal cut off while it was written: the image was not touched.
        QFile::remove(partial);
    }
    if (mode != Mode::Read) {
        const QFileInfo info(imagePath);
        // The mode bits count even for root, who may write anything.
        const auto writeBits =
            QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
        if (!info.isWritable() || !(info.permissions() & writeBits))
            return refusal(imagePath, QStringLiteral("the image is read-only"));
        const QFileInfo folder(info.absolutePath());
        if (::access(QFile::encodeName(folder.filePath()).constData(), W_OK) != 0 ||
            !(folder.permissions() & writeBits))
            return refusal(imagePath,
                           QStringLiteral("the image's folder is read-only (the undo journal is "
                                          "kept beside the image)"));
        if (const QString user = imageUser(imagePath); !user.isEmpty())
            return refusal(imagePath, user);
        if (const Status s = drive->m_lock.acquire(imagePath); !s.ok())
            return s.error();
        if (mode == Mode::WriteLater)
            drive->m_lock.release();
    }
    auto volume = FatVolume::open(drive->m_image.path, drive->m_partition.offset);
    if (!volume)
        return Error{volume.error().step, imagePath, volume.error().reason};
    drive->m_volume = std::move(volume.value());
    drive->m_stamp = fileStamp(drive->m_image.path);
    if (mode != Mode::Read) {
        if (drive->m_volume->dirty())
            return refusal(imagePath, QStringLiteral("the volume is marked dirty (the machine was "
                                                     "not shut down cleanly); let Windows or "
                                                     "fsck.fat repair it first"));
        const QStringList problems = drive->m_volume->check();
        if (!problems.isEmpty())
            return refusal(imagePath, QStringLiteral("the volume is inconsistent (%1); let "
                                                     "Windows or fsck.fat repair it first")
                                          .arg(problems.join(QStringLiteral("; "))));
        if (mode == Mode::WriteLater)
            drive->m_fingerprint = fingerprint(*drive->m_volume, imagePath);
    }
    drive->m_mirror = std::make_unique<WorkFolder>(mirrorParent(), QStringLiteral("paletteer95-c"));
    if (!drive->m_mirror->isValid())
        return Error{QStringLiteral("Making a working folder for the disk image"), QDir::tempPath(),
                     drive->m_mirror->errorString()};
    return drive;
}

ImageDrive::~ImageDrive() {
    if (activeImageDrive() == this)
        setActiveImageDrive(nullptr);
}

QString ImageDrive::description() const {
    if (m_partition.number == 0)
        return QFileInfo(m_image.source).fileName();
    return QStringLiteral("%1, partition %2")
        .arg(QFileInfo(m_image.source).fileName())
        .arg(m_partition.number);
}

QString ImageDrive::mirrorRoot() const {
    return m_mirror->path();
}

QString ImageDrive::hostOf(const QString& folder) const {
    return folder.isEmpty() ? mirrorRoot() : mirrorRoot() + QLatin1Char('/') + folder;
}

void ImageDrive::materialize(const QString& hostFolder) {
    const QMutexLocker locker(&m_mutex);
    const QString root = mirrorRoot();
    QString folder = QDir::cleanPath(hostFolder);
    if (folder == root)
        folder.clear();
    else if (folder.startsWith(root + QLatin1Char('/')))
        folder = folder.mid(root.size() + 1);
    else
        return;
    if (m_folders.contains(folder))
        return;
    // Only the root, or a folder the volume held when its parent was copied;
    // a folder made since is the program's own.
    quint32 cluster = 0;
    if (!folder.isEmpty()) {
        const qsizetype cut = folder.lastIndexOf(QLatin1Char('/'));
        const QString parent = cut < 0 ? QString() : folder.left(cut);
        if (!m_folders.contains(parent))
            materialize(hostOf(parent)); // a folder reached directly, by a dialog
        const auto parentEntries = m_folders.constFind(parent);
        if (parentEntries == m_folders.cend())
            return;
        const auto entry = parentEntries->constFind(folder.mid(cut + 1));
        if (entry == parentEntries->cend() || !entry->entry.directory)
            return;
        cluster = entry->entry.firstCluster;
    }
    auto entries = m_volume->list(cluster);
    if (!entries)
        return;
    QHash<QString, Original>& originals = m_folders[folder];
    const QString host = hostOf(folder);
    QDir().mkpath(host);
    for (const FatEntry& e : entries.value()) {
        const QString path = host + QLatin1Char('/') + e.name;
        if (e.directory) {
            QDir().mkdir(path);
        } else {
            auto bytes = m_volume->read(e);
            QFile file(path);
            if (!bytes || !file.open(QIODevice::WriteOnly) ||
                file.write(bytes.value()) != bytes.value().size())
                continue; // left out of the mirror: the program sees no such file
        }
        Original original{e, 0, 0};
        qint64 size = 0;
        statFile(path, original.inode, original.modified, size);
        originals.insert(e.name, original);
    }
    // The themes root is walked on the host (an install looks for the
    // themes that own a file, and for files already there): it is copied
    // whole, never left with folders that look empty.
    if (insideThemesRoot(folder) && folder.count(QLatin1Char('/')) < kThemesDepth) {
        QStringList subfolders;
        for (const FatEntry& e : entries.value()) {
            if (e.directory)
                subfolders << host + QLatin1Char('/') + e.name;
        }
        for (const QString& subfolder : std::as_const(subfolders))
            materialize(subfolder);
    }
}

void ImageDrive::planFolder(const QString& folder, Plan& plan) {
    const QHash<QString, Original> originals = m_folders.value(folder);
    const QString host = hostOf(folder);
    const qint64 cluster = m_volume->clusterBytes();
    const auto clustersFor = [&](qint64 bytes) { return (bytes + cluster - 1) / cluster; };

    for (auto it = originals.cbegin(); it != originals.cend(); ++it) {
        const QFileInfo now(host + QLatin1Char('/') + it.key());
        const QString path = joinPath(folder, it.key());
        if (now.exists() && now.isDir() == it.value().entry.directory)
            continue;
        (it.value().entry.directory ? plan.deleteTrees : plan.deleteFiles) << path;
        plan.changedFolders << folder;
        const QList<ImageRegion> regions = m_volume->dataRegions(it.value().entry);
        plan.freed += regions;
        plan.freedClusters += regions.size();
        if (!now.exists())
            plan.removed << path;
    }

    // A new file or folder, with everything in it.
    std::function<void(const QString&, const QFileInfo&)> addNew = [&](const QString& path,
                                                                       const QFileInfo& info) {
        plan.written.append({path, info.filePath()});
        if (plan.unholdable.isEmpty() && !volumeCanHold(info.fileName()))
            plan.unholdable = info.fileName();
        if (!info.isDir()) {
            plan.neededClusters += clustersFor(info.size());
            return;
        }
        plan.newFolders << path;
        const QFileInfoList inside = QDir(info.filePath())
                                         .entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                        QDir::System | QDir::NoDotAndDotDot);
        // The folder's own clusters: "." and "..", and up to 21 entries per long name.
        plan.neededClusters += clustersFor((2 + 21 * inside.size()) * 32);
        for (const QFileInfo& child : inside)
            addNew(path + QLatin1Char('/') + child.fileName(), child);
    };

    bool grows = false;
    const QFileInfoList current = QDir(host).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& info : current) {
        const QString name = info.fileName();
        const QString path = joinPath(folder, name);
        const auto it = originals.constFind(name);
        if (it == originals.cend() || it.value().entry.directory != info.isDir()) {
            plan.copy(folder, info.filePath());
            plan.changedFolders << folder;
            addNew(path, info);
            grows = true;
            continue;
        }
        if (info.isDir()) {
            if (m_folders.contains(path))
                planFolder(path, plan);
            else if (plan.unread.isEmpty() && !QDir(info.filePath()).isEmpty())
                plan.unread = path; // written to without being read: refused, never dropped
            continue;
        }
        qint64 inode = 0, modified = 0, size = 0;
        statFile(info.filePath(), inode, modified, size);
        const Original& original = it.value();
        if (inode == original.inode && modified == original.modified &&
            size == qint64(original.entry.size))
            continue;
        QFile file(info.filePath());
        auto before = m_volume->read(original.entry);
        if (file.open(QIODevice::ReadOnly) && before && file.readAll() == before.value())
            continue;
        plan.deleteFiles << path;
        plan.changedFolders << folder;
        const QList<ImageRegion> regions = m_volume->dataRegions(original.entry);
        plan.freed += regions;
        plan.freedClusters += regions.size();
        plan.copy(folder, info.filePath());
        plan.written.append({path, info.filePath()});
        plan.neededClusters += clustersFor(size);
        grows = true;
    }
    if (grows)
        ++plan.neededClusters; // the folder may need one more cluster for its entries
}

bool ImageDrive::hasChanges() {
    const QMutexLocker locker(&m_mutex);
    if (!m_folders.contains(QString()))
        return false;
    Plan plan;
    planFolder(QString(), plan);
    return !plan.empty();
}

Status ImageDrive::verify(const Plan& plan, const FatVolume& volume) {
    for (const auto& [path, host] : plan.written) {
        const QString wanted = path.section(QLatin1Char('/'), -1);
        auto entry = volume.find(componentsOf(path));
        if (!entry)
            return refusal(m_image.path,
                           QStringLiteral("the volume cannot hold the name \"%1\"").arg(wanted));
        if (entry.value().name != wanted)
            return refusal(m_image.path, QStringLiteral("the volume cannot hold the name \"%1\" "
                                                        "(it became \"%2\")")
                                             .arg(wanted, entry.value().name));
        if (entry.value().directory != QFileInfo(host).isDir())
            return refusal(m_image.path, QStringLiteral("\"%1\" was not written").arg(path));
        if (entry.value().directory)
            continue;
        QFile file(host);
        auto bytes = volume.read(entry.value());
        if (!file.open(QIODevice::ReadOnly) || !bytes || bytes.value() != file.readAll())
            return refusal(
                m_image.path,
                QStringLiteral("\"%1\" reads back differently from the image").arg(path));
    }
    for (const QString& path : plan.removed) {
        if (volume.find(componentsOf(path)))
            return refusal(m_image.path, QStringLiteral("\"%1\" was not removed").arg(path));
    }
    const QStringList problems = volume.check();
    if (!problems.isEmpty())
        return refusal(m_image.path,
                       QStringLiteral("the volume is inconsistent after the write (%1)")
                           .arg(problems.join(QStringLiteral("; "))));
    return {};
}

void ImageDrive::snapshotFolder(const QString& folder) {
    auto entry = m_volume->find(componentsOf(folder));
    if (!entry || !entry.value().directory) {
        m_folders.remove(folder);
        return;
    }
    auto entries = m_volume->list(entry.value().firstCluster);
    if (!entries)
        return;
    QHash<QString, Original> originals;
    for (const FatEntry& e : entries.value()) {
        Original original{e, 0, 0};
        qint64 size = 0;
        statFile(hostOf(joinPath(folder, e.name)), original.inode, original.modified, size);
        originals.insert(e.name, original);
    }
    m_folders.insert(folder, originals);
}

Status ImageDrive::commit() {
    const QMutexLocker locker(&m_mutex);
    if (!m_folders.contains(QString()))
        return {};
    Plan plan;
    planFolder(QString(), plan);
    if (plan.empty())
        return {};
    const QString& path = m_image.path;
    if (!isWritableFormat(m_image.format))
        return refusal(m_image.source,
                       QStringLiteral("a %1 image cannot be written; %2")
                           .arg(formatName(m_image.format), convertHint(m_image.source)));
    if (m_mode == Mode::Read)
        return refusal(path, QStringLiteral("the image was opened for reading only"));
    // Between saves of the window the machine may have run: write only into
    // the volume as it was copied, and only while holding the locks.
    struct Unlock {
        ImageLock& lock;
        bool release;
        ~Unlock() {
            if (release)
                lock.release();
        }
    } unlock{m_lock, m_mode == Mode::WriteLater};
    if (m_mode == Mode::WriteLater) {
        if (const Status s = m_lock.acquire(path); !s.ok())
            return s;
        if (const QString user = imageUser(path, m_lock.fd()); !user.isEmpty())
            return refusal(path, user);
        auto now = FatVolume::open(path, m_partition.offset);
        if (!now || fingerprint(*now.value(), path) != m_fingerprint) {
            discard();
            return refusal(path, QStringLiteral("the image changed since drive C was chosen (did "
                                                "the machine run?); open the theme again"));
        }
    }
    // Our locks keep QEMU out; a program that locks nothing (86Box) may have
    // opened the image since we looked, when that was more than a moment ago.
    if (m_mode == Mode::Write && m_opened.elapsed() > kProbeAgainMs) {
        if (const QString user = imageUser(path, m_lock.fd()); !user.isEmpty())
            return refusal(path, user);
    }
    if (!plan.unread.isEmpty())
        return refusal(path, QStringLiteral("\"%1\" was written without being read from the "
                                            "image first; nothing was written")
                                 .arg(plan.unread));
    if (!plan.unholdable.isEmpty())
        return refusal(path, QStringLiteral("the volume cannot hold the name \"%1\" (mtools "
                                            "writes only names in code page 850)")
                                 .arg(plan.unholdable));
    const qint64 available = m_volume->freeClusters() + plan.freedClusters;
    if (plan.neededClusters > available)
        return refusal(path, QStringLiteral("the volume is full: the write needs %1 KiB, %2 KiB "
                                            "are free")
                                 .arg(plan.neededClusters * m_volume->clusterBytes() / 1024)
                                 .arg(available * m_volume->clusterBytes() / 1024));

    // Only the folders whose entries change are written in place: the
    // journal keeps those, not every folder of the machine's disk.
    QList<quint32> changed;
    bool known = true;
    for (const QString& folder : std::as_const(plan.changedFolders)) {
        if (folder.isEmpty())
            continue; // the root is always kept
        const qsizetype cut = folder.lastIndexOf(QLatin1Char('/'));
        const auto parent = m_folders.constFind(cut < 0 ? QString() : folder.left(cut));
        const quint32 cluster =
            parent == m_folders.cend() ? 0 : parent->value(folder.mid(cut + 1)).entry.firstCluster;
        known = known && cluster >= 2;
        changed << cluster;
    }
    // A folder not found (it cannot be) costs a journal of every folder.
    QList<ImageRegion> regions =
        known ? m_volume->metadataRegions(changed) : m_volume->metadataRegions();
    regions += plan.freed;
    if (const Status s = writeJournal(path, m_lock.fd(), regions); !s.ok())
        return s;
    const auto rollBack = [&](const Error& error) -> Status {
        if (const Status undone = rollBackJournal(path); !undone.ok())
            return Error{error.step, error.file,
                         QStringLiteral("%1; rolling back failed too: %2")
                             .arg(error.reason, undone.error().text())};
        return error;
    };

    Mtools tools(path, m_partition.offset);
    if (const Status s = tools.deleteFiles(plan.deleteFiles); !s.ok())
        return rollBack(s.error());
    if (const Status s = tools.deleteTrees(plan.deleteTrees); !s.ok())
        return rollBack(s.error());
    for (const auto& [folder, sources] : plan.copies) {
        if (const Status s = tools.copyInto(sources, QLatin1Char('/') + folder, false); !s.ok())
            return rollBack(s.error());
    }
    // The volume as mtools left it: read back, and afterwards what the
    // working copy is compared with.
    auto written = FatVolume::open(path, m_partition.offset);
    if (!written)
        return rollBack(written.error());
    if (const Status s = verify(plan, *written.value()); !s.ok())
        return rollBack(s.error());
    if (::fsync(m_lock.fd()) != 0)
        return rollBack(Error{QStringLiteral("Flushing the disk image"), path,
                              QString::fromLocal8Bit(std::strerror(errno))});
    if (const Status s = removeJournal(path); !s.ok())
        return s;

    m_volume = std::move(written.value());
    m_stamp = fileStamp(path);
    QStringList folders = m_folders.keys();
    folders += plan.newFolders;
    for (const QString& folder : folders)
        snapshotFolder(folder);
    if (m_mode == Mode::WriteLater)
        m_fingerprint = fingerprint(*m_volume, path);
    return {};
}

Result<QList<ImageTheme>> ImageDrive::themes() {
    const QMutexLocker locker(&m_mutex);
    return themesOnVolume(*m_volume);
}

bool ImageDrive::refreshIfChanged() {
    const QMutexLocker locker(&m_mutex);
    // A raw copy made by qemu-img never changes; its source is read once.
    if (fileStamp(m_image.path) == m_stamp || hasChanges())
        return false;
    discard();
    return true;
}

void ImageDrive::discard() {
    const QMutexLocker locker(&m_mutex);
    m_folders.clear();
    QDir mirror(mirrorRoot());
    const QStringList entries =
        mirror.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        const QString path = mirror.filePath(entry);
        if (QFileInfo(path).isDir())
            QDir(path).removeRecursively();
        else
            QFile::remove(path);
    }
    if (auto reopened = FatVolume::open(m_image.path, m_partition.offset)) {
        m_volume = std::move(reopened.value());
        m_stamp = fileStamp(m_image.path);
        if (m_mode == Mode::WriteLater)
            m_fingerprint = fingerprint(*m_volume, m_image.path);
    }
}

ImageDrive* activeImageDrive() {
    return activeSlot();
}

void setActiveImageDrive(ImageDrive* drive) {
    activeSlot() = drive;
}

bool isImageFile(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace p95
