#include "cli/image_commands.h"

#include "cli/cli_io.h"
#include "platform/disk_image.h"
#include "platform/fat_volume.h"
#include "platform/image_journal.h"

#include <QDir>
#include <QFileInfo>

namespace p95::cli {

namespace {

QString sizeText(qint64 bytes) {
    if (bytes >= qint64(1) << 30)
        return QStringLiteral("%1 GiB").arg(double(bytes) / double(qint64(1) << 30), 0, 'f', 1);
    return QStringLiteral("%1 MiB").arg(double(bytes) / double(1 << 20), 0, 'f', 1);
}

// "--partition N": 0 or more; a problem is said.
std::optional<int> partitionNumber(const QString& text, int& number) {
    bool ok = false;
    number = text.toInt(&ok);
    if (!ok || number < 0)
        return usage(QStringLiteral("--partition needs a partition number (1-4 primary, 5 "
                                    "onwards logical)"));
    return std::nullopt;
}

// An image that cannot be opened: a partition that is not there is bad input.
int openFailure(const Error& error) {
    const bool badInput = error.step == QStringLiteral("Choosing the partition");
    return fail(badInput ? BadInput : Failed, error.text());
}

int infoCommand(const QString& path) {
    auto image = openDiskImageForReading(path);
    if (!image)
        return openFailure(image.error());
    const DiskImage& disk = image.value();
    QString out = QStringLiteral("image: %1\nformat: %2, disk of %3 bytes at offset %4\n")
                      .arg(path, formatName(disk.format))
                      .arg(disk.diskSize)
                      .arg(disk.diskOffset);
    if (!isWritableFormat(disk.format))
        out += QStringLiteral("read through qemu-img; themes cannot be saved or installed into "
                              "it (%1)\n")
                   .arg(convertHint(path));
    out += QStringLiteral("partition table: %1\n")
               .arg(disk.partitionTable ? QStringLiteral("MBR") : QStringLiteral("none"));
    const QString user = imageUser(path);
    out += QStringLiteral("in use: %1\n").arg(user.isEmpty() ? QStringLiteral("no") : user);
    if (QFileInfo::exists(journalPath(path)))
        out += QStringLiteral("journal: a cut-off write will be rolled back at the next use\n");
    for (const VolumeSummary& v : summarizeVolumes(disk)) {
        const QString where = v.partition.number == 0
                                  ? QStringLiteral("volume")
                                  : QStringLiteral("partition %1").arg(v.partition.number);
        if (!v.fat) {
            out += QStringLiteral("%1: type %2, %3 (%4)\n")
                       .arg(where)
                       .arg(v.partition.type, 2, 16, QLatin1Char('0'))
                       .arg(sizeText(v.totalBytes), v.problem);
            continue;
        }
        out += QStringLiteral("%1: %2%3, label \"%4\", %5, %6 free\n")
                   .arg(where, v.partition.logical ? QStringLiteral("logical, ") : QString(),
                        v.fatType, v.label, sizeText(v.totalBytes), sizeText(v.freeBytes));
    }
    writeStdout(out.toUtf8());
    return Done;
}

Result<std::unique_ptr<FatVolume>> openVolume(const DiskImage& disk, int number) {
    auto partition = choosePartition(disk, number);
    if (!partition)
        return partition.error();
    return FatVolume::open(disk.path, partition.value().offset);
}

int listCommand(const QString& path, int number) {
    // Opening rolls back a cut-off write, so the list shows a whole state.
    auto drive = ImageDrive::open(path, number, ImageDrive::Mode::Read);
    if (!drive)
        return openFailure(drive.error());
    auto found = drive.value()->themes();
    if (!found)
        return fail(Failed, QStringLiteral("%1: %2").arg(path, found.error().reason));
    // One line a theme folder, however many .theme files it holds.
    QStringList themes;
    for (const ImageTheme& theme : found.value()) {
        if (themes.isEmpty() || themes.last() != theme.folder)
            themes << theme.folder;
    }
    QString out;
    for (const QString& theme : themes)
        out += theme + QLatin1Char('\n');
    writeStdout(out.toUtf8());
    return Done;
}

int checkCommand(const QString& path, int number) {
    auto image = openDiskImageForReading(path);
    if (!image)
        return openFailure(image.error());
    QList<int> numbers;
    if (number > 0) {
        numbers << number;
    } else {
        for (const Partition& p : image.value().partitions) {
            if (isFatPartitionType(p.type))
                numbers << p.number;
        }
    }
    if (numbers.isEmpty())
        return fail(Failed, QStringLiteral("%1: the image has no FAT partition").arg(path));
    QStringList problems;
    if (QFileInfo::exists(journalPath(path)))
        problems << QStringLiteral("a write was cut off; its journal %1 rolls it back at the "
                                   "next use")
                        .arg(journalPath(path));
    QString out;
    for (const int n : numbers) {
        auto volume = openVolume(image.value(), n);
        if (!volume) {
            if (number > 0)
                return openFailure(volume.error());
            problems << QStringLiteral("partition %1: %2").arg(n).arg(volume.error().reason);
            continue;
        }
        const QStringList found = volume.value()->check();
        for (const QString& problem : found)
            problems << QStringLiteral("partition %1: %2").arg(n).arg(problem);
        if (found.isEmpty())
            out += QStringLiteral("partition %1: consistent\n").arg(n);
    }
    for (const QString& problem : problems)
        out += problem + QLatin1Char('\n');
    writeStdout(out.toUtf8());
    if (!problems.isEmpty())
        return fail(Failed, QStringLiteral("%1 is not consistent: %2").arg(path, problems.first()));
    return Done;
}

} // namespace

int imageCommand(const QStringList& args) {
    if (args.isEmpty())
        return usage(QStringLiteral("image needs info, list or check"));
    const QString what = args.first();
    if (what != QStringLiteral("info") && what != QStringLiteral("list") &&
        what != QStringLiteral("check"))
        return usage(QStringLiteral("unknown image command %1").arg(what));
    CommandArgs given;
    const QList<Option> options =
        what == QStringLiteral("info")
            ? QList<Option>{}
            : QList<Option>{{{QStringLiteral("--partition")}, QStringLiteral("a number")}};
    if (auto status =
            parseCommandArgs(QStringLiteral("image ") + what, args.mid(1), options,
                             QStringLiteral("image"), QStringLiteral(" (IMAGE)"), false, given))
        return *status;
    int number = 0;
    if (given.values.contains(QStringLiteral("--partition"))) {
        if (auto status =
                partitionNumber(given.values.value(QStringLiteral("--partition")), number))
            return *status;
    }
    if (!QFileInfo(given.operand).isFile())
        return fail(BadInput, QStringLiteral("%1: no such image file").arg(given.operand));
    if (what == QStringLiteral("info"))
        return infoCommand(given.operand);
    if (what == QStringLiteral("list"))
        return listCommand(given.operand, number);
    return checkCommand(given.operand, number);
}

DriveSession::~DriveSession() {
    if (m_image)
        setActiveImageDrive(nullptr);
}

std::optional<int> DriveSession::open(QStringList& args, bool writes) {
    QString drive;
    QString partition;
    for (qsizetype i = 0; i < args.size();) {
        const QString arg = args.at(i);
        if (arg == QStringLiteral("--drive-c") || arg == QStringLiteral("--partition")) {
            if (i + 1 >= args.size())
                return usage(QStringLiteral("%1 needs %2")
                                 .arg(arg, arg == QStringLiteral("--drive-c")
                                               ? QStringLiteral("a folder or an image file")
                                               : QStringLiteral("a number")));
            (arg == QStringLiteral("--drive-c") ? drive : partition) = args.at(i + 1);
            args.remove(i, 2);
            continue;
        }
        ++i;
    }
    if (!drive.isEmpty()) {
        const QFileInfo info(drive);
        if (!info.exists())
            return fail(BadInput,
                        QStringLiteral("--drive-c %1: no such folder or image file").arg(drive));
        qputenv("PALETTEER95_DRIVE_C", QFile::encodeName(info.absoluteFilePath()));
    }
    const QString named = qEnvironmentVariable("PALETTEER95_DRIVE_C");
    if (!isImageFile(named)) {
        if (!partition.isEmpty())
            return usage(QStringLiteral("--partition needs drive C to be a disk image"));
        return std::nullopt;
    }
    int number = 0;
    if (!partition.isEmpty()) {
        if (auto status = partitionNumber(partition, number))
            return status;
    }
    auto image =
        ImageDrive::open(named, number, writes ? ImageDrive::Mode::Write : ImageDrive::Mode::Read);
    if (!image)
        return openFailure(image.error());
    m_image = std::move(image.value());
    setActiveImageDrive(m_image.get());
    return std::nullopt;
}

int DriveSession::finish(int status) {
    if (!m_image)
        return status;
    const Status written = m_image->commit();
    setActiveImageDrive(nullptr);
    m_image.reset();
    if (!written.ok())
        return fail(
            Failed,
            QStringLiteral("nothing was written to the image: %1").arg(written.error().text()));
    return status;
}

} // namespace p95::cli
