#pragma once

// Disk images made on the spot, without root: truncate, sfdisk on a file,
// mkfs.fat --offset; the FAT volume of one cut out with dd for fsck.fat.

#include "platform/fat_volume.h"

#include <QByteArray>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>

namespace p95::test {

// Runs a program to its end; its exit status (-1 when it did not run) and output.
inline int runTool(const QString& program, const QStringList& args, QByteArray* output = nullptr,
                   const QByteArray& input = {}) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (!process.waitForStarted())
        return -1;
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    if (output)
        *output = process.readAll();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

enum class Layout {
    Fat16At63,   // MBR, FAT16 primary partition at sector 63
    Fat32At2048, // MBR, FAT32 primary partition at sector 2048
    Logical,     // MBR, a Linux partition, then FAT16 as logical partition 5
    NoTable,     // FAT16 volume from the first sector
    Fat12,       // FAT12 volume from the first sector (a small disk)
    FixedVhd,    // Fat16At2048 plus a 512-byte VHD footer
    Hdx,         // a 40-byte 86Box HDX header, then Fat16At2048
    Hdi,         // a 4096-byte HDI header, then Fat16At2048
};

inline std::string layoutName(Layout layout) {
    static const char* const kNames[] = {"Fat16At63", "Fat32At2048", "Logical", "NoTable",
                                         "Fat12",     "FixedVhd",    "Hdx",     "Hdi"};
    return kNames[int(layout)];
}

struct TestImage {
    QString path;
    qint64 volumeOffset = 0; // bytes from the start of the file
    qint64 volumeBytes = 0;
    int partition = 0; // as Linux numbers it; 0 without a table
};

inline QByteArray vhdFooter(qint64 diskBytes) {
    QByteArray footer(512, '\0');
    footer.replace(0, 8, "conectix");
    for (int i = 0; i < 8; ++i) {
        footer[40 + i] = char(quint64(diskBytes) >> (8 * (7 - i))); // original size
        footer[48 + i] = char(quint64(diskBytes) >> (8 * (7 - i))); // current size
    }
    footer[63] = 2; // fixed disk
    footer.replace(68, 8, "p95-test");
    return footer;
}

inline QByteArray hdxHeader(qint64 diskBytes) {
    QByteArray header(40, '\0');
    const quint64 signature = 0xD778A82044445459ull;
    for (int i = 0; i < 8; ++i) {
        header[i] = char(signature >> (8 * i));
        header[8 + i] = char(quint64(diskBytes) >> (8 * i));
    }
    header[17] = 2; // 512-byte sectors
    header[20] = 63;
    header[24] = 16;
    return header;
}

// The header HDI images begin with: a reserved word, the disk type, the
// header's and the disk's size, then the geometry.
inline QByteArray hdiHeader(qint64 diskBytes) {
    QByteArray header(4096, '\0');
    const quint32 fields[] = {0,   0,  4096, quint32(diskBytes),
                              512, 63, 16,   quint32(diskBytes / (512 * 63 * 16))};
    for (int f = 0; f < 8; ++f)
        for (int i = 0; i < 4; ++i)
            header[4 * f + i] = char(fields[f] >> (8 * i));
    return header;
}

// An image of `mib` MiB (sparse) in the layout, with its FAT volume labelled
// P95TEST and the themes root and C:\Windows made with mmd.
inline TestImage makeImage(const QString& path, Layout layout, int mib = 32) {
    TestImage image;
    image.path = path;
    const qint64 disk = qint64(mib) << 20;
    const QString raw =
        (layout == Layout::FixedVhd || layout == Layout::Hdx || layout == Layout::Hdi)
            ? path + QStringLiteral(".raw")
            : path;
    QFile::remove(raw);
    EXPECT_EQ(
        runTool(QStringLiteral("truncate"), {QStringLiteral("-s"), QString::number(disk), raw}), 0);
    qint64 startSector = 2048;
    QByteArray table;
    QString fat = QStringLiteral("16");
    switch (layout) {
    case Layout::Fat16At63:
        startSector = 63;
        table = "label: dos\nstart=63, type=6\n";
        image.partition = 1;
        break;
    case Layout::Fat32At2048:
        fat = QStringLiteral("32");
        table = "label: dos\nstart=2048, type=c\n";
        image.partition = 1;
        break;
    case Layout::Logical:
        startSector = 12288;
        table = "label: dos\nstart=2048, size=8192, type=83\nstart=10240, type=5\n"
                "start=12288, type=6\n";
        image.partition = 5;
        break;
    case Layout::NoTable:
        startSector = 0;
        break;
    case Layout::Fat12:
        startSector = 0;
        fat = QStringLiteral("12");
        break;
    case Layout::FixedVhd:
    case Layout::Hdx:
    case Layout::Hdi:
        table = "label: dos\nstart=2048, type=6\n";
        image.partition = 1;
        break;
    }
    if (!table.isEmpty()) {
        QByteArray out;
        EXPECT_EQ(runTool(QStringLiteral("sfdisk"), {QStringLiteral("-q"), raw}, &out, table), 0)
            << out.toStdString();
    }
    image.volumeBytes = disk - startSector * 512;
    QStringList mkfs{QStringLiteral("-F"), fat, QStringLiteral("-n"), QStringLiteral("P95TEST")};
    if (fat == QStringLiteral("32"))
        mkfs << QStringLiteral("-s") << QStringLiteral("1");
    if (startSector > 0)
        mkfs << QStringLiteral("--offset") << QString::number(startSector);
    mkfs << raw << QString::number(image.volumeBytes / 1024);
    QByteArray out;
    EXPECT_EQ(runTool(QStringLiteral("mkfs.fat"), mkfs, &out), 0) << out.toStdString();
    image.volumeOffset = startSector * 512;
    const QString at = QStringLiteral("%1@@%2").arg(raw).arg(image.volumeOffset);
    EXPECT_EQ(
        runTool(QStringLiteral("mmd"),
                {QStringLiteral("-i"), at, QStringLiteral("::/Program Files"),
                 QStringLiteral("::/Program Files/Plus!"),
                 QStringLiteral("::/Program Files/Plus!/Themes"), QStringLiteral("::/Windows")}),
        0);
    if (raw != path) {
        QFile in(raw);
        QFile outFile(path);
        EXPECT_TRUE(in.open(QIODevice::ReadOnly) && outFile.open(QIODevice::WriteOnly));
        if (layout == Layout::Hdx) {
            outFile.write(hdxHeader(disk));
            image.volumeOffset += 40;
        } else if (layout == Layout::Hdi) {
            outFile.write(hdiHeader(disk));
            image.volumeOffset += 4096;
        }
        outFile.write(in.readAll());
        if (layout == Layout::FixedVhd)
            outFile.write(vhdFooter(disk));
        QFile::remove(raw);
    }
    return image;
}

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// fsck.fat -n on the volume, cut out with dd; its output when it finds anything.
inline QString fsckProblems(const TestImage& image) {
    const QString cut = image.path + QStringLiteral(".volume");
    QByteArray out;
    const int cutStatus =
        runTool(QStringLiteral("dd"),
                {QStringLiteral("if=") + image.path, QStringLiteral("of=") + cut,
                 QStringLiteral("bs=64K"), QStringLiteral("iflag=skip_bytes,count_bytes"),
                 QStringLiteral("skip=%1").arg(image.volumeOffset),
                 QStringLiteral("count=%1").arg(image.volumeBytes), QStringLiteral("status=none")},
                &out);
    if (cutStatus != 0)
        return QStringLiteral("dd failed: ") + QString::fromUtf8(out);
    const int status = runTool(QStringLiteral("fsck.fat"), {QStringLiteral("-n"), cut}, &out);
    QFile::remove(cut);
    return status == 0 ? QString() : QString::fromUtf8(out);
}

// Every file and folder of the volume ("Program Files/Plus!/..."; folders end
// in "/") with the files' bytes, read by the program's own reader.
inline QMap<QString, QByteArray> volumeTree(const TestImage& image) {
    QMap<QString, QByteArray> tree;
    auto volume = FatVolume::open(image.path, image.volumeOffset);
    if (!volume) {
        ADD_FAILURE() << volume.error().text().toStdString();
        return tree;
    }
    std::function<void(quint32, const QString&)> walk = [&](quint32 cluster,
                                                            const QString& prefix) {
        auto entries = volume.value()->list(cluster);
        if (!entries)
            return;
        for (const FatEntry& e : entries.value()) {
            if (e.directory) {
                tree.insert(prefix + e.name + QLatin1Char('/'), {});
                walk(e.firstCluster, prefix + e.name + QLatin1Char('/'));
            } else {
                tree.insert(prefix + e.name, volume.value()->read(e).value());
            }
        }
    };
    walk(0, QString());
    return tree;
}

// Copies a host file into the volume with mtools (the test's own hand).
inline void putOnVolume(const TestImage& image, const QString& host, const QString& target) {
    QByteArray out;
    EXPECT_EQ(runTool(QStringLiteral("mcopy"),
                      {QStringLiteral("-i"),
                       QStringLiteral("%1@@%2").arg(image.path).arg(image.volumeOffset), host,
                       QStringLiteral("::/") + target},
                      &out),
              0)
        << out.toStdString();
}

} // namespace p95::test
