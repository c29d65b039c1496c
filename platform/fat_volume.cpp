#include "platform/fat_volume.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <vector>

namespace p95 {

namespace {

quint16 le16(const char* p) {
    const auto* u = reinterpret_cast<const uchar*>(p);
    return quint16(u[0] | u[1] << 8);
}
quint32 le32(const char* p) {
    const auto* u = reinterpret_cast<const uchar*>(p);
    return quint32(u[0]) | quint32(u[1]) << 8 | quint32(u[2]) << 16 | quint32(u[3]) << 24;
}

constexpr int kAttrVolume = 0x08;
constexpr int kAttrDirectory = 0x10;
constexpr int kAttrLongName = 0x0F;
constexpr int kMaxDepth = 64;

Error volumeError(const QString& reason) {
    return Error{QStringLiteral("Reading the FAT volume"), {}, reason};
}

// The short names' code page: the one mtools is told to use.
QString decodeShort(const QByteArray& bytes) {
    QStringDecoder decoder("IBM850");
    return decoder.isValid() ? decoder.decode(bytes) : QString::fromLatin1(bytes);
}

uchar shortNameChecksum(const char* name) {
    uchar sum = 0;
    for (int i = 0; i < 11; ++i)
        sum = uchar(((sum & 1) << 7) + (sum >> 1) + uchar(name[i]));
    return sum;
}

// One folder's entries in raw form, with the long-name checks done.
struct RawEntry {
    FatEntry entry;
    bool longNameBroken = false;
};

QList<RawEntry> parseFolder(const QByteArray& bytes, QString* label) {
    QList<RawEntry> entries;
    QList<QString> parts; // long-name pieces, last first
    int expected = 0;
    uchar checksum = 0;
    bool broken = false;
    for (qsizetype at = 0; at + 32 <= bytes.size(); at += 32) {
        const char* e = bytes.constData() + at;
        const uchar first = uchar(e[0]);
        if (first == 0x00)
            break;
        if (first == 0xE5) {
            broken = broken || !parts.isEmpty();
            parts.clear();
            continue;
        }
        const int attr = uchar(e[11]);
        if ((attr & 0x3F) == kAttrLongName) {
            const int sequence = first & 0x1F;
            if (first & 0x40) {
                broken = broken || !parts.isEmpty();
                parts.clear();
                expected = sequence;
                checksum = uchar(e[13]);
            } else if (sequence != expected - 1 || uchar(e[13]) != checksum) {
                broken = true;
                parts.clear();
                continue;
            } else {
                expected = sequence;
            }
            QString piece;
            for (const int offset : {1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30})
                piece += QChar(le16(e + offset));
            parts.prepend(piece);
            continue;
        }
        if (attr & kAttrVolume) {
            if (label)
                *label = decodeShort(QByteArray(e, 11)).trimmed();
            parts.clear();
            continue;
        }
        QByteArray base(e, 8);
        QByteArray ext(e + 8, 3);
        if (uchar(base[0]) == 0x05)
            base[0] = char(0xE5);
        QString baseText = decodeShort(base).trimmed();
        QString extText = decodeShort(ext).trimmed();
        if (baseText == QStringLiteral(".") || baseText == QStringLiteral("..")) {
            parts.clear();
            continue;
        }
        RawEntry raw;
        raw.entry.shortName = extText.isEmpty() ? baseText : baseText + QLatin1Char('.') + extText;
        // The case bits Windows NT and mtools set for an all-lower-case part.
        if (uchar(e[12]) & 0x08)
            baseText = baseText.toLower();
        if (uchar(e[12]) & 0x10)
            extText = extText.toLower();
        QString name = extText.isEmpty() ? baseText : baseText + QLatin1Char('.') + extText;
        if (!parts.isEmpty()) {
            if (expected == 1 && checksum == shortNameChecksum(e)) {
                QString longName = parts.join(QString());
                const qsizetype end = longName.indexOf(QChar(0));
                if (end >= 0)
                    longName.truncate(end);
                name = longName;
            } else {
                raw.longNameBroken = true;
            }
        }
        raw.longNameBroken = raw.longNameBroken || broken;
        broken = false;
        parts.clear();
        raw.entry.name = name;
        raw.entry.directory = attr & kAttrDirectory;
        raw.entry.firstCluster = quint32(le16(e + 26)) | quint32(le16(e + 20)) << 16;
        raw.entry.size = le32(e + 28);
        entries.append(raw);
    }
    return entries;
}

} // namespace

QString fatTypeName(FatType type) {
    switch (type) {
    case FatType::Fat12:
        return QStringLiteral("FAT12");
    case FatType::Fat16:
        return QStringLiteral("FAT16");
    case FatType::Fat32:
        return QStringLiteral("FAT32");
    }
    return {};
}

FatVolume::~FatVolume() = default;

bool FatVolume::readAt(qint64 offset, char* into, qint64 length) const {
    return m_file->seek(offset) && m_file->read(into, length) == length;
}

Result<std::unique_ptr<FatVolume>> FatVolume::open(const QString& imagePath, qint64 offset) {
    std::unique_ptr<FatVolume> v(new FatVolume);
    v->m_file = std::make_unique<QFile>(imagePath);
    if (!v->m_file->open(QIODevice::ReadOnly))
        return Error{QStringLiteral("Opening the disk image"), imagePath, v->m_file->errorString()};
    v->m_offset = offset;
    v->m_boot.resize(512);
    if (!v->readAt(offset, v->m_boot.data(), 512))
        return volumeError(QStringLiteral("the boot sector cannot be read"));
    const char* b = v->m_boot.constData();
    if (uchar(b[510]) != 0x55 || uchar(b[511]) != 0xAA)
        return volumeError(QStringLiteral("the partition holds no FAT boot sector"));
    v->m_sectorBytes = le16(b + 11);
    const int perCluster = uchar(b[13]);
    const qint64 reserved = le16(b + 14);
    v->m_fats = uchar(b[16]);
    const qint64 rootEntries = le16(b + 17);
    const qint64 total = le16(b + 19) ? le16(b + 19) : le32(b + 32);
    const qint64 fatSectors = le16(b + 22) ? le16(b + 22) : le32(b + 36);
    const qint64 s = v->m_sectorBytes;
    if (s < 512 || s > 4096 || (s & (s - 1)) || perCluster == 0 ||
        (perCluster & (perCluster - 1)) || reserved == 0 || v->m_fats < 1 || v->m_fats > 2 ||
        fatSectors == 0 || total == 0)
        return volumeError(QStringLiteral("the partition holds no FAT volume"));
    const qint64 rootSectors = (rootEntries * 32 + s - 1) / s;
    const qint64 dataStart = reserved + v->m_fats * fatSectors + rootSectors;
    if (dataStart >= total)
        return volumeError(QStringLiteral("the FAT boot sector is damaged"));
    v->m_clusters = quint32((total - dataStart) / perCluster);
    v->m_type = v->m_clusters < 4085    ? FatType::Fat12
                : v->m_clusters < 65525 ? FatType::Fat16
                                        : FatType::Fat32;
    v->m_clusterBytes = s * perCluster;
    v->m_reservedBytes = reserved * s;
    v->m_fatBytes = fatSectors * s;
    v->m_rootOffset = offset + (reserved + v->m_fats * fatSectors) * s;
    v->m_rootBytes = rootSectors * s;
    v->m_dataOffset = offset + dataStart * s;
    const qint64 entryBits = v->m_type == FatType::Fat12   ? 12
                             : v->m_type == FatType::Fat16 ? 16
                                                           : 32;
    if ((qint64(v->m_clusters) + 2) * entryBits / 8 > v->m_fatBytes)
        return volumeError(QStringLiteral("the FAT is smaller than the volume needs"));
    if (v->m_type == FatType::Fat32) {
        v->m_rootCluster = le32(b + 44);
        v->m_label = QString::fromLatin1(b + 71, 11).trimmed();
    } else {
        v->m_label = QString::fromLatin1(b + 43, 11).trimmed();
    }
    v->m_fat.resize(v->m_fatBytes);
    if (!v->readAt(offset + v->m_reservedBytes, v->m_fat.data(), v->m_fatBytes))
        return volumeError(QStringLiteral("the FAT cannot be read"));
    // The root folder's label entry is what Windows shows.
    if (auto root = v->folderBytes(0)) {
        QString label;
        parseFolder(root.value(), &label);
        if (!label.isEmpty())
            v->m_label = label;
    }
    if (v->m_label == QStringLiteral("NO NAME"))
        v->m_label.clear();
    return v;
}

quint32 FatVolume::next(quint32 cluster) const {
    const char* fat = m_fat.constData();
    switch (m_type) {
    case FatType::Fat12: {
        const qint64 at = cluster + cluster / 2;
        if (at + 1 >= m_fat.size())
            return 0x0FFFFFF7;
        const quint16 word = le16(fat + at);
        const quint32 value = (cluster & 1) ? word >> 4 : word & 0xFFF;
        return value >= 0xFF7 ? value | 0x0FFFF000 : value;
    }
    case FatType::Fat16: {
        const quint32 value = le16(fat + 2 * qint64(cluster));
        return value >= 0xFFF7 ? value | 0x0FFF0000 : value;
    }
    case FatType::Fat32:
        return le32(fat + 4 * qint64(cluster)) & 0x0FFFFFFF;
    }
    return 0;
}

bool FatVolume::isEnd(quint32 value) const {
    return value >= 0x0FFFFFF8;
}

qint64 FatVolume::clusterOffset(quint32 cluster) const {
    return m_dataOffset + qint64(cluster - 2) * m_clusterBytes;
}

template <typename Visit> void FatVolume::forEachCluster(Visit visit) const {
    // One loop per FAT type: a 2 GiB volume has half a million clusters.
    const char* fat = m_fat.constData();
    const quint32 end = m_clusters + 2;
    switch (m_type) {
    case FatType::Fat12:
        for (quint32 c = 2; c < end; ++c)
            visit(c, next(c));
        return;
    case FatType::Fat16:
        for (quint32 c = 2; c < end; ++c) {
            const quint32 value = le16(fat + 2 * qint64(c));
            visit(c, value >= 0xFFF7 ? value | 0x0FFF0000 : value);
        }
        return;
    case FatType::Fat32:
        for (quint32 c = 2; c < end; ++c)
            visit(c, le32(fat + 4 * qint64(c)) & 0x0FFFFFFF);
        return;
    }
}

qint64 FatVolume::freeClusters() const {
    qint64 free = 0;
    forEachCluster([&](quint32, quint32 value) { free += value == 0; });
    return free;
}

bool FatVolume::dirty() const {
    const char* b = m_boot.constData();
    const bool bootDirty = m_type == FatType::Fat32 ? (uchar(b[65]) & 1) : (uchar(b[37]) & 1);
    bool fatDirty = false;
    if (m_type == FatType::Fat16)
        fatDirty = !(le16(m_fat.constData() + 2) & 0x8000);
    else if (m_type == FatType::Fat32)
        fatDirty = !(le32(m_fat.constData() + 4) & 0x08000000);
    return bootDirty || fatDirty;
}

Result<QList<quint32>> FatVolume::chain(quint32 first) const {
    QList<quint32> clusters;
    quint32 cluster = first;
    while (true) {
        if (cluster < 2 || cluster >= m_clusters + 2)
            return volumeError(QStringLiteral("a cluster chain leaves the volume"));
        clusters.append(cluster);
        if (clusters.size() > qsizetype(m_clusters))
            return volumeError(QStringLiteral("a cluster chain loops"));
        const quint32 following = next(cluster);
        if (isEnd(following))
            return clusters;
        if (following == 0 || following == 0x0FFFFFF7)
            return volumeError(QStringLiteral("a cluster chain ends in a free or bad cluster"));
        cluster = following;
    }
}

Result<QByteArray> FatVolume::folderBytes(quint32 folderCluster) const {
    QByteArray bytes;
    if (folderCluster == 0 && m_type != FatType::Fat32) {
        bytes.resize(m_rootBytes);
        if (!readAt(m_rootOffset, bytes.data(), m_rootBytes))
            return volumeError(QStringLiteral("the root folder cannot be read"));
        return bytes;
    }
    auto clusters = chain(folderCluster == 0 ? m_rootCluster : folderCluster);
    if (!clusters)
        return clusters.error();
    bytes.resize(clusters.value().size() * m_clusterBytes);
    char* into = bytes.data();
    for (const quint32 c : clusters.value()) {
        if (!readAt(clusterOffset(c), into, m_clusterBytes))
            return volumeError(QStringLiteral("a folder cannot be read"));
        into += m_clusterBytes;
    }
    return bytes;
}

Result<QList<FatEntry>> FatVolume::list(quint32 folderCluster) const {
    // Like the FAT, a folder is read once: finding many paths (the read-back
    // of a write) walks the same folders again and again.
    if (const auto cached = m_listed.constFind(folderCluster); cached != m_listed.cend())
        return *cached;
    auto bytes = folderBytes(folderCluster);
    if (!bytes)
        return bytes.error();
    QList<FatEntry> entries;
    for (const RawEntry& raw : parseFolder(bytes.value(), nullptr))
        entries.append(raw.entry);
    m_listed.insert(folderCluster, entries);
    return entries;
}

Result<FatEntry> FatVolume::find(const QStringList& components) const {
    FatEntry current;
    current.directory = true;
    for (const QString& component : components) {
        if (!current.directory)
            return Error{QStringLiteral("Finding a file on the image"), component,
                         QStringLiteral("not a folder")};
        auto entries = list(current.firstCluster);
        if (!entries)
            return entries.error();
        const FatEntry* match = nullptr;
        for (const FatEntry& e : entries.value()) {
            if (e.name == component) {
                match = &e;
                break;
            }
            if (!match && (e.name.compare(component, Qt::CaseInsensitive) == 0 ||
                           e.shortName.compare(component, Qt::CaseInsensitive) == 0))
                match = &e;
        }
        if (!match)
            return Error{QStringLiteral("Finding a file on the image"), component,
                         QStringLiteral("The system cannot find the file specified.")};
        current = *match;
    }
    return current;
}

Result<QByteArray> FatVolume::read(const FatEntry& file) const {
    QByteArray bytes;
    if (file.size == 0)
        return bytes;
    auto clusters = chain(file.firstCluster);
    if (!clusters)
        return clusters.error();
    if (qint64(clusters.value().size()) * m_clusterBytes < file.size)
        return volumeError(QStringLiteral("a file is longer than its clusters"));
    bytes.resize(file.size);
    qint64 done = 0;
    // Runs of consecutive clusters are read at once.
    const QList<quint32>& list = clusters.value();
    for (qsizetype i = 0; i < list.size() && done < file.size;) {
        qsizetype j = i + 1;
        while (j < list.size() && list[j] == list[j - 1] + 1)
            ++j;
        const qint64 length = qMin<qint64>((j - i) * m_clusterBytes, file.size - done);
        if (!readAt(clusterOffset(list[i]), bytes.data() + done, length))
            return volumeError(QStringLiteral("a file cannot be read"));
        done += length;
        i = j;
    }
    return bytes;
}

void FatVolume::collectFolders(quint32 folder, QList<quint32>& folders, int depth) const {
    if (depth > kMaxDepth)
        return;
    auto entries = list(folder);
    if (!entries)
        return;
    for (const FatEntry& e : entries.value()) {
        if (e.directory && e.firstCluster >= 2 && !folders.contains(e.firstCluster)) {
            folders.append(e.firstCluster);
            collectFolders(e.firstCluster, folders, depth + 1);
        }
    }
}

QList<ImageRegion> FatVolume::metadataRegions() const {
    QList<quint32> folders;
    collectFolders(0, folders, 0);
    return metadataRegions(folders);
}

QList<ImageRegion> FatVolume::metadataRegions(const QList<quint32>& changedFolders) const {
    QList<ImageRegion> regions;
    regions.append({m_offset, m_reservedBytes + m_fats * m_fatBytes});
    QList<quint32> folders;
    if (m_type == FatType::Fat32)
        folders.append(m_rootCluster);
    else
        regions.append({m_rootOffset, m_rootBytes});
    for (const quint32 folder : changedFolders) {
        if (folder >= 2 && !folders.contains(folder))
            folders.append(folder);
    }
    for (const quint32 folder : folders) {
        if (auto clusters = chain(folder)) {
            for (const quint32 c : clusters.value())
                regions.append({clusterOffset(c), m_clusterBytes});
        }
    }
    return regions;
}

QList<ImageRegion> FatVolume::dataRegions(const FatEntry& entry) const {
    QList<ImageRegion> regions;
    if (entry.firstCluster < 2)
        return regions;
    if (auto clusters = chain(entry.firstCluster)) {
        for (const quint32 c : clusters.value())
            regions.append({clusterOffset(c), m_clusterBytes});
    }
    if (entry.directory) {
        if (auto entries = list(entry.firstCluster)) {
            for (const FatEntry& e : entries.value())
                regions += dataRegions(e);
        }
    }
    return regions;
}

QStringList FatVolume::check() const {
    QStringList problems;
    if (dirty())
        problems << QStringLiteral("the volume is marked dirty (not cleanly unmounted)");
    if (m_fats == 2) {
        QByteArray second(m_fatBytes, Qt::Uninitialized);
        if (!readAt(m_offset + m_reservedBytes + m_fatBytes, second.data(), m_fatBytes))
            problems << QStringLiteral("the second FAT cannot be read");
        else if (second != m_fat)
            problems << QStringLiteral("the two FATs differ");
    }

    // Every cluster reached from the root, claimed once.
    std::vector<bool> claimed(size_t(m_clusters) + 2, false);
    const auto claim = [&](quint32 first, const QString& path, qint64 size, bool folder) {
        if (first == 0) {
            if (size > 0 || folder)
                problems << QStringLiteral("%1 has no clusters").arg(path);
            return false;
        }
        auto clusters = chain(first);
        if (!clusters) {
            problems << QStringLiteral("%1: %2").arg(path, clusters.error().reason);
            return false;
        }
        for (const quint32 c : clusters.value()) {
            if (claimed[c]) {
                problems
                    << QStringLiteral("%1 shares cluster %2 with another file").arg(path).arg(c);
                return false;
            }
            claimed[c] = true;
        }
        const qint64 needed = (size + m_clusterBytes - 1) / m_clusterBytes;
        if (!folder && clusters.value().size() != needed)
            problems << QStringLiteral("%1 has %2 clusters for %3 bytes")
                            .arg(path)
                            .arg(clusters.value().size())
                            .arg(size);
        return true;
    };

    struct Pending {
        quint32 cluster;
        QString path;
        int depth;
    };
    QList<Pending> folders{{0, QStringLiteral("\\"), 0}};
    if (m_type == FatType::Fat32)
        claim(m_rootCluster, QStringLiteral("the root folder"), 0, true);
    while (!folders.isEmpty()) {
        const Pending folder = folders.takeLast();
        auto bytes = folderBytes(folder.cluster);
        if (!bytes) {
            problems << QStringLiteral("%1: %2").arg(folder.path, bytes.error().reason);
            continue;
        }
        QSet<QString> names;
        for (const RawEntry& raw : parseFolder(bytes.value(), nullptr)) {
            const FatEntry& e = raw.entry;
            const QString path = folder.path + e.name + (e.directory ? QStringLiteral("\\") : "");
            if (raw.longNameBroken)
                problems << QStringLiteral("%1 has a damaged long name").arg(path);
            if (names.contains(e.shortName))
                problems
                    << QStringLiteral("%1: the short name %2 is used twice").arg(path, e.shortName);
            names.insert(e.shortName);
            if (claim(e.firstCluster, path, e.size, e.directory) && e.directory) {
                if (folder.depth >= kMaxDepth)
                    problems << QStringLiteral("%1: folders nest too deep").arg(path);
                else
                    folders.append({e.firstCluster, path, folder.depth + 1});
            }
        }
    }

    qint64 free = 0;
    qint64 lost = 0;
    forEachCluster([&](quint32 c, quint32 value) {
        if (value == 0)
            ++free;
        else if (value != 0x0FFFFFF7 && !claimed[c])
            ++lost;
    });
    if (lost > 0)
        problems << QStringLiteral("%1 lost clusters (in use but in no file)").arg(lost);
    if (m_type == FatType::Fat32) {
        const qint64 fsInfo = le16(m_boot.constData() + 48);
        QByteArray info(512, Qt::Uninitialized);
        if (fsInfo > 0 && fsInfo * m_sectorBytes < m_reservedBytes &&
            readAt(m_offset + fsInfo * m_sectorBytes, info.data(), 512) &&
            le32(info.constData()) == 0x41615252) {
            const quint32 recorded = le32(info.constData() + 488);
            if (recorded != 0xFFFFFFFF && recorded != free)
                problems << QStringLiteral("the free cluster count is %1, but %2 are free")
                                .arg(recorded)
                                .arg(free);
        }
    }
    return problems;
}

} // namespace p95
