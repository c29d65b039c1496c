// The Drive C window with the scripted services: an image's partitions
// listed as Linux numbers them, the choice made drive C and remembered, and a
// change on that drive written into the image when the window commits it.

#include "drive_support.h"
#include "editor/frm_drive.h"
#include "fakes/fake_services.h"
#include "platform/disk_image.h"
#include "platform/drive.h"
#include "platform/drive_choice.h"
#include "platform/file_system.h"
#include "platform/image_support.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTreeWidget>

namespace p95::test {
namespace {

class DriveWindow : public DriveFixture {
protected:
    DriveWindow() : m_config("XDG_CONFIG_HOME", (tmp() + QStringLiteral("/config")).toUtf8()) {}
    ~DriveWindow() override { EXPECT_TRUE(useDriveC({}).ok()); }

    ScopedEnv m_config;
    FakeServices fakes;
};

TEST_F(DriveWindow, ChoosingALogicalPartitionMakesItDriveCAndItsWritesReachTheImage) {
    const TestImage image = makeImage(tmp() + QStringLiteral("/win95.hdd"), Layout::Logical);
    FrmDrive window(fakes.services());
    window.findChild<QRadioButton*>(QStringLiteral("optImage"))->setChecked(true);
    auto* path = window.findChild<QLineEdit*>(QStringLiteral("txtPath"));
    path->setText(image.path);
    Q_EMIT path->editingFinished();

    auto* partitions = window.findChild<QTreeWidget*>(QStringLiteral("lstPartitions"));
    ASSERT_EQ(partitions->topLevelItemCount(), 2);
    const QTreeWidgetItem* linux = partitions->topLevelItem(0);
    EXPECT_EQ(linux->text(0), QStringLiteral("1"));
    EXPECT_FALSE(linux->flags() & Qt::ItemIsEnabled);
    const QTreeWidgetItem* fat = partitions->topLevelItem(1);
    EXPECT_EQ(fat->text(0), QStringLiteral("5"));
    EXPECT_EQ(fat->text(1), QStringLiteral("P95TEST"));
    EXPECT_EQ(fat->text(2), QStringLiteral("FAT16"));
    EXPECT_EQ(partitions->currentItem(), fat);
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("lblInUse"))->text(),
              QStringLiteral("No program has the image open."));

    window.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_TRUE(driveCDescription().contains(QStringLiteral("win95.hdd, partition 5")))
        << driveCDescription().toStdString();
    QSettings settings(QStringLiteral("paletteer95"), QStringLiteral("paletteer95"));
    EXPECT_EQ(settings.value(QStringLiteral("driveC/path")).toString(), image.path);
    EXPECT_EQ(settings.value(QStringLiteral("driveC/partition")).toInt(), 5);

    // A file written on drive C lands in the image once committed; the
    // program directory stays local.
    FileSystem files;
    ASSERT_TRUE(files.writeFile(QStringLiteral("C:\\WINDOWS\\Note.txt"), "hello").ok());
    EXPECT_TRUE(files.directoryExists(QStringLiteral("C:\\Program Files\\Plus!\\Themes")));
    EXPECT_FALSE(volumeTree(image).contains(QStringLiteral("Windows/Note.txt")));
    ASSERT_TRUE(commitDriveC().ok());
    EXPECT_EQ(volumeTree(image).value(QStringLiteral("Windows/Note.txt")), QByteArray("hello"));
    EXPECT_TRUE(hostPath(programDirectory()).value().startsWith(localDriveCFolder()));
    EXPECT_EQ(fsckProblems(image), QString());

    // Between writes the image is not locked: the machine may run, and a
    // write over what it changed is refused, then made on the image as it is.
    EXPECT_EQ(imageUser(image.path), QString());
    writeFile(tmp() + QStringLiteral("/guest.txt"), "from the guest");
    putOnVolume(image, tmp() + QStringLiteral("/guest.txt"), QStringLiteral("Windows/"));
    ASSERT_TRUE(files.writeFile(QStringLiteral("C:\\Windows\\Second.txt"), "2").ok());
    const Status stale = commitDriveC();
    ASSERT_FALSE(stale.ok());
    EXPECT_TRUE(stale.error().reason.contains(QStringLiteral("changed since")))
        << stale.error().text().toStdString();
    EXPECT_FALSE(volumeTree(image).contains(QStringLiteral("Windows/Second.txt")));
    EXPECT_FALSE(files.fileExists(QStringLiteral("C:\\Windows\\Second.txt")));
    EXPECT_TRUE(files.fileExists(QStringLiteral("C:\\Windows\\guest.txt")));
    ASSERT_TRUE(files.writeFile(QStringLiteral("C:\\Windows\\Second.txt"), "2").ok());
    ASSERT_TRUE(commitDriveC().ok());
    const QMap<QString, QByteArray> tree = volumeTree(image);
    EXPECT_EQ(tree.value(QStringLiteral("Windows/Second.txt")), QByteArray("2"));
    EXPECT_EQ(tree.value(QStringLiteral("Windows/guest.txt")), QByteArray("from the guest"));
    EXPECT_EQ(fsckProblems(image), QString());
}

TEST_F(DriveWindow, AFolderThatDoesNotExistIsRefusedAndDriveCStaysAsItWas) {
    const QString before = driveCDescription();
    FrmDrive window(fakes.services());
    window.findChild<QRadioButton*>(QStringLiteral("optFolder"))->setChecked(true);
    window.findChild<QLineEdit*>(QStringLiteral("txtPath"))
        ->setText(tmp() + QStringLiteral("/none"));
    window.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_NE(window.result(), QDialog::Accepted);
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(fakes.messages.shown.front().text.contains(QStringLiteral("does not exist")));
    EXPECT_EQ(fakes.messages.shown.front().title, QStringLiteral("Paletteer 95"));
    EXPECT_EQ(driveCDescription(), before);
}

} // namespace
} // namespace p95::test
