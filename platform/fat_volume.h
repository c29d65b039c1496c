#pragma once

// A FAT12, FAT16 or FAT32 volume inside an image file, read by the program
// itself: its boot sector (label, type, size, free space, the dirty flag), its
// directories with their long names, the bytes of its files, and a check of
// its consistency (FAT chains against directory entries). Nothing here writes.

#include "platform/error.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class QFile;

namespace p95 {

enum class FatType { Fat12, Fat16, Fat32 };
QString fatTypeName(FatType type);

struct FatEntry {
    QString name;      // the long name, else the short name as Linux shows it
    QString shortName; // "NAME.EXT" as stored
    bool directory = false;
    quint32 firstCluster = 0;
    quint32 size = 0;
};

// A span of the image file (offsets from the start of the file).
struct ImageRegion {
    qint64 offset = 0;
    qint64 length = 0;
};

class FatVolume {
public:
    // The volume whose boot sector is at offset in the image file.
    static Result<std::unique_ptr<FatVolume>> open(const QString& imagePath, qint64 offset);
    ~FatVolume();
    FatVolume(const FatVolume&) = delete;
    FatVolume& operator=(const FatVolume&) = delete;

    FatType type() const { return m_type; }
    QString label() const { return m_label; }
    qint64 offset() const { return m_offset; }
    qint64 clusterBytes() const { return m_clusterBytes; }
    qint64 totalBytes() const { return qint64(m_clusters) * m_clusterBytes; }
    qint64 freeClusters() const;
    qint64 freeBytes() const { return freeClusters() * m_clusterBytes; }
    // The boot sector's or the FAT's mark of a volume not cleanly unmounted.
    bool dirty() const;

    // The entries of a folder (0: the root), without "." and "..".
    Result<QList<FatEntry>> list(quint32 folderCluster) const;
    // The entry a path names (components; letter case ignored, an exact match
    // first). An empty path is the root (a folder with cluster 0).
    Result<FatEntry> find(const QStringList& components) const;
    Result<QByteArray> read(const FatEntry& file) const;

    // What is wrong with the volume, each as one line; empty when consistent.
    QStringList check() const;

    // What a write may change in place: the reserved sectors (boot sector,
    // FSInfo, backup), the FATs, the root folder and every folder's clusters.
    QList<ImageRegion> metadataRegions() const;
    // The same for a write that changes entries in these folders only (first
    // clusters; 0 the root): the reserved sectors, the FATs, the root folder
    // and these folders' clusters.
    QList<ImageRegion> metadataRegions(const QList<quint32>& changedFolders) const;
    // The clusters of a file or folder (and of everything in a folder).
    QList<ImageRegion> dataRegions(const FatEntry& entry) const;

private:
    FatVolume() = default;
    quint32 next(quint32 cluster) const;
    bool isEnd(quint32 value) const;
    qint64 clusterOffset(quint32 cluster) const;
    Result<QByteArray> folderBytes(quint32 folderCluster) const;
    Result<QList<quint32>> chain(quint32 first) const;
    void collectFolders(quint32 folder, QList<quint32>& folders, int depth) const;
    bool readAt(qint64 offset, char* into, qint64 length) const;
    // Calls visit(cluster, next) for every data cluster.
    template <typename Visit> void forEachCluster(Visit visit) const;

    std::unique_ptr<QFile> m_file;
    qint64 m_offset = 0;
    FatType m_type = FatType::Fat16;
    QString m_label;
    QByteArray m_boot;
    QByteArray m_fat;                                 // the first FAT
    mutable QHash<quint32, QList<FatEntry>> m_listed; // folders read, by first cluster
    qint64 m_sectorBytes = 512;
    qint64 m_clusterBytes = 0;
    qint64 m_reservedBytes = 0;
    qint64 m_fatBytes = 0;
    int m_fats = 2;
    qint64 m_rootOffset = 0; // FAT12/16: the fixed root folder
    qint64 m_rootBytes = 0;
    quint32 m_rootCluster = 0; // FAT32
    qint64 m_dataOffset = 0;
    quint32 m_clusters = 0; // data clusters: numbers 2 .. m_clusters + 1
};

} // namespace p95
