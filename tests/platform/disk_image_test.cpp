// The disk-image library on images the tests make: every layout found, the
// formats it does not write refused with the conversion hint, the volume
// check against fsck.fat, the in-use probe, and the journal's rollback.

#include "platform/disk_image.h"
#include "platform/fat_volume.h"
#include "platform/image_drive.h"
#include "platform/image_journal.h"
#include "platform/image_support.h"
#include "platform/work_folder.h"

#include "test_support.h"
#include <functional>

#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace p95;
using namespace p95::test;

namespace {

struct LayoutCase {
    Layout layout;
    ImageFormat format;
    FatType type;
    const char* name;
};

class ImageLayouts : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ImageLayouts, TheVolumeIsFoundWhereTheToolsPutIt) {
    QTemporaryDir tmp;
    const LayoutCase c = GetParam();
    const TestImage made = makeImage(tmp.filePath(QString::fromLatin1(c.name)), c.layout,
                                     c.type == FatType::Fat32   ? 64
                                     : c.type == FatType::Fat12 ? 8
                                                                : 32);
    auto image = openDiskImage(made.path);
    ASSERT_TRUE(image.ok()) << image.error().text().toStdString();
    EXPECT_EQ(image.value().format, c.format);
    auto partition = choosePartition(image.value(), 0);
    ASSERT_TRUE(partition.ok()) << partition.error().text().toStdString();
    EXPECT_EQ(partition.value().number, made.partition);
    EXPECT_EQ(partition.value().offset, made.volumeOffset);
    EXPECT_EQ(partition.value().logical, c.layout == Layout::Logical);
    auto volume = FatVolume::open(made.path, partition.value().offset);
    ASSERT_TRUE(volume.ok()) << volume.error().text().toStdString();
    EXPECT_EQ(volume.value()->type(), c.type);
    EXPECT_EQ(volume.value()->label(), QStringLiteral("P95TEST"));
    EXPECT_FALSE(volume.value()->dirty());
    EXPECT_EQ(volume.value()->check(), QStringList());
    EXPECT_GT(volume.value()->freeBytes(), volume.value()->totalBytes() / 2);
    auto themes = volume.value()->find(
        {QStringLiteral("PROGRAM FILES"), QStringLiteral("plus!"), QStringLiteral("Themes")});
    ASSERT_TRUE(themes.ok());
    EXPECT_TRUE(themes.value().directory);
    EXPECT_EQ(themes.value().name, QStringLiteral("Themes"));
    if (c.layout == Layout::Logical) {
        // The Linux partition before it keeps number 1; asking for it says it is no FAT one.
        auto linux = choosePartition(image.value(), 1);
        ASSERT_FALSE(linux.ok());
        EXPECT_TRUE(linux.error().reason.contains(QStringLiteral("not a FAT partition")));
        EXPECT_FALSE(choosePartition(image.value(), 6).ok());
    }
}

INSTANTIATE_TEST_SUITE_P(
    DiskImage, ImageLayouts,
    ::testing::Values(LayoutCase{Layout::Fat16At63, ImageFormat::Raw, FatType::Fat16, "at63.img"},
                      LayoutCase{Layout::Fat32At2048, ImageFormat::Raw, FatType::Fat32, "f32.hdd"},
                      LayoutCase{Layout::Logical, ImageFormat::Raw, FatType::Fat16, "logical.ima"},
                      LayoutCase{Layout::NoTable, ImageFormat::Raw, FatType::Fat16, "whole.raw"},
                      LayoutCase{Layout::Fat12, ImageFormat::Raw, FatType::Fat12, "small.img"},
                      LayoutCase{Layout::FixedVhd, ImageFormat::FixedVhd, FatType::Fat16,
                                 "fixed.vhd"},
                      LayoutCase{Layout::Hdx, ImageFormat::Hdx, FatType::Fat16, "disk.hdx"},
                      LayoutCase{Layout::Hdi, ImageFormat::Hdi, FatType::Fat16, "disk.hdi"}),
    [](const auto& param) { return layoutName(param.param.layout); });

TEST(DiskImage, FormatsThatAreNotWrittenAreRefusedWithTheConversionHint) {
    QTemporaryDir tmp;
    QByteArray dynamicVhd = vhdFooter(1 << 20);
    dynamicVhd[63] = 3;
    QByteArray vdi(512, '\0');
    vdi.replace(0, 4, "<<< ");
    vdi[64] = char(0x7F);
    vdi[65] = char(0x10);
    vdi[66] = char(0xDA);
    vdi[67] = char(0xBE);
    const QList<std::pair<const char*, QByteArray>> cases{
        {"a.qcow2", QByteArray("QFI\xfb\0\0\0\3", 8) + QByteArray(1024, '\0')},
        {"b.vhd", dynamicVhd + QByteArray(1024, '\0') + dynamicVhd},
        {"c.vdi", vdi + QByteArray(1024, '\0')},
        {"d.vmdk", QByteArray("KDMV") + QByteArray(1024, '\0')},
    };
    for (const auto& [name, bytes] : cases) {
        const QString path = tmp.filePath(QString::fromLatin1(name));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        auto image = openDiskImage(path);
        ASSERT_FALSE(image.ok()) << name;
        EXPECT_TRUE(image.error().reason.contains(QStringLiteral("qemu-img convert -O raw")))
            << image.error().text().toStdString();
    }
    // Neither a table nor a volume.
    const QString blank = tmp.filePath(QStringLiteral("blank.img"));
    ASSERT_EQ(runTool(QStringLiteral("truncate"), {QStringLiteral("-s1M"), blank}), 0);
    EXPECT_FALSE(openDiskImage(blank).ok());
}

// Writes bytes into the image at offset.
void poke(const QString& path, qint64 offset, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek(offset));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

TEST(FatVolume, TheCheckFindsWhatFsckFinds) {
    QTemporaryDir tmp;
    const QString source = tmp.filePath(QStringLiteral("file.bin"));
    poke(source, 0, QByteArray(5000, 'x'));
    struct Damage {
        const char* what;
        Layout layout;
        std::function<void(const TestImage&)> apply;
    };
    // FAT16 at 2048 (via the VHD layout's raw): 4 reserved sectors... the
    // offsets come from the boot sector, so read them back.
    const auto fatStart = [](const TestImage& image) {
        const QByteArray boot = fileBytes(image.path).mid(image.volumeOffset, 512);
        return image.volumeOffset + qint64(uchar(boot[14]) | uchar(boot[15]) << 8) * 512;
    };
    const QList<Damage> damages{
        {"lost clusters", Layout::Fat16At63,
         [&](const TestImage& image) {
             // Cluster 100 marked as the end of a chain that no file owns, in both FATs.
             const QByteArray boot = fileBytes(image.path).mid(image.volumeOffset, 512);
             const qint64 fatBytes = qint64(uchar(boot[22]) | uchar(boot[23]) << 8) * 512;
             poke(image.path, fatStart(image) + 200, QByteArray("\xff\xff", 2));
             poke(image.path, fatStart(image) + fatBytes + 200, QByteArray("\xff\xff", 2));
         }},
        {"FATs differ", Layout::Fat16At63,
         [&](const TestImage& image) {
             poke(image.path, fatStart(image) + 200, QByteArray("\xff\xff", 2));
         }},
        {"dirty", Layout::NoTable,
         [&](const TestImage& image) { poke(image.path, image.volumeOffset + 37, "\x01"); }},
        {"free cluster count", Layout::Fat32At2048,
         [&](const TestImage& image) {
             poke(image.path, image.volumeOffset + 512 + 488, QByteArray("\x05\0\0\0", 4));
         }},
        {"clusters for", Layout::Logical,
         [&](const TestImage& image) {
             // The file's size in its directory entry grows past its clusters.
             const QByteArray bytes = fileBytes(image.path);
             const qint64 entry = bytes.indexOf("FILE    BIN", image.volumeOffset);
             ASSERT_GT(entry, 0);
             poke(image.path, entry + 28, QByteArray("\0\0\1\0", 4));
         }},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        const TestImage image = makeImage(tmp.filePath(QStringLiteral("d.img")), damage.layout,
                                          damage.layout == Layout::Fat32At2048 ? 64 : 32);
        putOnVolume(image, source, QStringLiteral("FILE.BIN"));
        ASSERT_EQ(fsckProblems(image), QString());
        damage.apply(image);
        auto volume = FatVolume::open(image.path, image.volumeOffset);
        ASSERT_TRUE(volume.ok());
        const QString problems = volume.value()->check().join(QLatin1Char('\n'));
        EXPECT_TRUE(problems.contains(QString::fromLatin1(damage.what)) ||
                    (QByteArray(damage.what) == "dirty" && volume.value()->dirty()))
            << problems.toStdString();
        EXPECT_NE(fsckProblems(image), QString()) << "fsck.fat finds it too";
    }
}

TEST(ImageUser, AWriterOrALockIsSeenAndOurOwnLockIsNot) {
    QTemporaryDir tmp;
    const TestImage image = makeImage(tmp.filePath(QStringLiteral("u.img")), Layout::NoTable, 16);
    EXPECT_EQ(imageUser(image.path), QString());

    QProcess holder;
    holder.start(QStringLiteral("sh"),
                 {QStringLiteral("-c"), QStringLiteral("exec 3<>\"$0\"; echo ready; exec sleep 30"),
                  image.path});
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    EXPECT_TRUE(imageUser(image.path).contains(QStringLiteral("open for writing")))
        << imageUser(image.path).toStdString();
    holder.kill();
    holder.waitForFinished();
    EXPECT_EQ(imageUser(image.path), QString());

    // QEMU's lock bytes: another descriptor sees them, the holder's own does not.
    ImageLock lock;
    ASSERT_TRUE(lock.acquire(image.path).ok());
    EXPECT_TRUE(imageUser(image.path).contains(QStringLiteral("lock")));
    EXPECT_EQ(imageUser(image.path, lock.fd()), QString());
    const int fd = ::open(QFile::encodeName(image.path).constData(), O_RDONLY);
    struct flock probe {};
    probe.l_type = F_RDLCK; // QEMU's shared lock on the "write" byte fails
    probe.l_whence = SEEK_SET;
    probe.l_start = 201;
    probe.l_len = 1;
    EXPECT_NE(fcntl(fd, F_OFD_SETLK, &probe), 0);
    ::close(fd);
    // QEMU's own block layer (qemu-io opens the image as the emulator does) refuses it.
    const QStringList readSector{QStringLiteral("-f"), QStringLiteral("raw"), QStringLiteral("-c"),
                                 QStringLiteral("read 0 512"), image.path};
    QByteArray said;
    EXPECT_NE(runTool(QStringLiteral("qemu-io"), readSector, &said), 0);
    EXPECT_TRUE(said.contains("lock")) << said.toStdString();
    lock.release();
    EXPECT_EQ(imageUser(image.path), QString());
    EXPECT_EQ(runTool(QStringLiteral("qemu-io"), readSector, &said), 0) << said.toStdString();

    // And an image QEMU has open (qemu-io, as a running machine holds it) is seen in use.
    QProcess qemu;
    qemu.start(QStringLiteral("qemu-io"),
               {QStringLiteral("-f"), QStringLiteral("raw"), image.path});
    ASSERT_TRUE(qemu.waitForStarted(10000));
    qemu.write("help\n"); // its answer means the image is open
    ASSERT_TRUE(qemu.waitForReadyRead(10000));
    EXPECT_NE(imageUser(image.path), QString());
    ImageLock refused;
    EXPECT_FALSE(refused.acquire(image.path).ok());
    qemu.write("quit\n");
    qemu.closeWriteChannel();
    ASSERT_TRUE(qemu.waitForFinished(10000));
    EXPECT_EQ(imageUser(image.path), QString());
}

// A file put in a folder of the working copy that was never read from the
// volume cannot be compared with it: the write is refused, never dropped.
TEST(ImageDrive, AWriteIntoAFolderNeverReadIsRefusedNotDropped) {
    QTemporaryDir tmp;
    const TestImage image = makeImage(tmp.filePath(QStringLiteral("d.img")), Layout::NoTable, 16);
    const QByteArray before = fileBytes(image.path);
    auto drive = ImageDrive::open(image.path, 0, ImageDrive::Mode::Write);
    ASSERT_TRUE(drive.ok()) << drive.error().text().toStdString();
    drive.value()->materialize(drive.value()->mirrorRoot()); // the root: Windows is a bare folder
    QFile stray(drive.value()->mirrorRoot() + QStringLiteral("/Windows/stray.txt"));
    ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
    stray.write("x");
    stray.close();
    const Status written = drive.value()->commit();
    ASSERT_FALSE(written.ok());
    EXPECT_TRUE(written.error().reason.contains(QStringLiteral("without being read")))
        << written.error().text().toStdString();
    EXPECT_EQ(fileBytes(image.path), before);
}

TEST(WorkFolders, AKilledOwnersFolderIsRemovedByTheNextAndALiveOnesIsNot) {
    QTemporaryDir tmp;
    const auto age = [](const QString& path) {
        const struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}}; // 2001
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    };
    // What a killed process left: nobody holds it.
    const QString leftover = tmp.filePath(QStringLiteral("p95-copy-dead"));
    QDir().mkpath(leftover + QStringLiteral("/Program Files"));
    age(leftover);
    // Made a moment ago and not yet locked by its maker.
    const QString young = tmp.filePath(QStringLiteral("p95-copy-young"));
    QDir().mkpath(young);
    // Another kind of folder.
    const QString other = tmp.filePath(QStringLiteral("other-dead"));
    QDir().mkpath(other);
    age(other);

    QString livePath;
    {
        WorkFolder live(tmp.path(), QStringLiteral("p95-copy"));
        ASSERT_TRUE(live.isValid());
        livePath = live.path();
        EXPECT_FALSE(QFileInfo::exists(leftover));
        EXPECT_TRUE(QFileInfo::exists(young));
        EXPECT_TRUE(QFileInfo::exists(other));
        age(livePath);
        // A second process's sweep leaves the live one, however old.
        EXPECT_EQ(removeLeftoverWorkFolders(tmp.path(), QStringLiteral("p95-copy")), 0);
        EXPECT_TRUE(QFileInfo::exists(livePath));
    }
    EXPECT_FALSE(QFileInfo::exists(livePath));
}

TEST(ImageJournal, RollbackRestoresTheBytesAndADamagedJournalTouchesNothing) {
    QTemporaryDir tmp;
    const TestImage image = makeImage(tmp.filePath(QStringLiteral("j.img")), Layout::NoTable, 16);
    const QByteArray before = fileBytes(image.path);
    const int fd = ::open(QFile::encodeName(image.path).constData(), O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(writeJournal(image.path, fd, {{0, 4096}, {2048, 4096}, {100000, 10}}).ok());
    ::close(fd);
    poke(image.path, 10, QByteArray(5000, 'z'));
    poke(image.path, 100003, "zz");
    bool rolledBack = false;
    ASSERT_TRUE(rollBackJournal(image.path, &rolledBack).ok());
    EXPECT_TRUE(rolledBack);
    EXPECT_EQ(fileBytes(image.path), before);
    EXPECT_FALSE(QFile::exists(journalPath(image.path)));

    const int again = ::open(QFile::encodeName(image.path).constData(), O_RDWR);
    ASSERT_TRUE(writeJournal(image.path, again, {{0, 4096}}).ok());
    ::close(again);
    QFile journal(journalPath(image.path));
    ASSERT_TRUE(journal.resize(journal.size() - 1));
    poke(image.path, 10, "changed");
    const QByteArray changed = fileBytes(image.path);
    EXPECT_FALSE(rollBackJournal(image.path).ok());
    EXPECT_EQ(fileBytes(image.path), changed);
}

} // namespace
