// The Drive C window with the scripted services: an image's partitions
// listed as Linux numbers them, the choice made drive C and remembered, and a
// change on that drive written into the image when the window commits it.

#include "drive_support.h"
#include "editor/frm_drive.h"
#include "editor/frm_image_themes.h"
#include "editor/frm_main.h"
#include "fakes/fake_services.h"
#include "platform/disk_image.h"
#include "platform/drive.h"
#include "platform/drive_choice.h"
#include "platform/file_system.h"
#include "platform/image_support.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTreeWidget>

#include <algorithm>

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

TEST_F(DriveWindow, TheImagesThemesAreListedAndTheChosenOneOpensFromTheImage) {
    const TestImage image = makeImage(tmp() + QStringLiteral("/win95.img"), Layout::Fat16At63);
    for (const char* folder : {"Ocean Deep", "forest", "Notes"}) {
        QDir().mkpath(tmp() + QStringLiteral("/themes/") + QLatin1String(folder));
        putOnVolume(image, tmp() + QStringLiteral("/themes/") + QLatin1String(folder),
                    QStringLiteral("Program Files/Plus!/Themes/"));
    }
    writeFile(tmp() + QStringLiteral("/Ocean Deep.theme"),
              "[Control Panel\\Colors]\r\nWindow=0 0 128\r\n");
    putOnVolume(image, tmp() + QStringLiteral("/Ocean Deep.theme"),
                QStringLiteral("Program Files/Plus!/Themes/Ocean Deep/"));
    writeFile(tmp() + QStringLiteral("/Forest.THEME"), "");
    putOnVolume(image, tmp() + QStringLiteral("/Forest.THEME"),
                QStringLiteral("Program Files/Plus!/Themes/forest/"));

    // Drive C a folder: nothing to list, nothing to open.
    FileSystem files;
    FrmMain main(fakes.services(), files);
    EXPECT_FALSE(main.findChild<QAction*>(QStringLiteral("mnuOpenImage"))->isEnabled());
    {
        FrmImageThemes none;
        EXPECT_TRUE(none.findChild<QLabel*>(QStringLiteral("lblWhere"))
                        ->text()
                        .startsWith(QStringLiteral("No themes can be listed")));
        EXPECT_FALSE(none.findChild<QPushButton*>(QStringLiteral("cmdOpen"))->isEnabled());
    }

    ASSERT_TRUE(useDriveC({image.path, 0}).ok());
    FrmImageThemes themes;
    auto* list = themes.findChild<QTreeWidget*>(QStringLiteral("lstThemes"));
    ASSERT_EQ(list->topLevelItemCount(), 2); // a folder without a .theme file is no theme
    EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("forest"));
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("Forest.THEME"));
    EXPECT_EQ(list->topLevelItem(1)->text(0), QStringLiteral("Ocean Deep"));
    list->setCurrentItem(list->topLevelItem(1));
    themes.findChild<QPushButton*>(QStringLiteral("cmdOpen"))->click();
    EXPECT_EQ(themes.result(), QDialog::Accepted);
    EXPECT_FALSE(themes.hostFilesChosen());
    const QString chosen = themes.chosenTheme();
    EXPECT_EQ(chosen,
              QStringLiteral("C:\\Program Files\\Plus!\\Themes\\Ocean Deep\\Ocean Deep.theme"));

    // The editor opens it from the image, as the list named it.
    ASSERT_TRUE(main.openThemeFile(chosen));
    EXPECT_EQ(main.document().name, QStringLiteral("Ocean Deep"));
    EXPECT_TRUE(main.directoryLabel()->text().endsWith(chosen));
    const auto& colours = main.document().colours;
    EXPECT_NE(std::find(colours.begin(), colours.end(), QStringLiteral("0 0 128")), colours.end());
    EXPECT_TRUE(fakes.messages.shown.empty());

    // The machine ran and added a theme: the list shows the image as it is now.
    QDir().mkpath(tmp() + QStringLiteral("/themes/Later"));
    writeFile(tmp() + QStringLiteral("/themes/Later/Later.theme"), "");
    putOnVolume(image, tmp() + QStringLiteral("/themes/Later"),
                QStringLiteral("Program Files/Plus!/Themes/"));
    FrmImageThemes again;
    list = again.findChild<QTreeWidget*>(QStringLiteral("lstThemes"));
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->topLevelItem(1)->text(0), QStringLiteral("Later"));
    EXPECT_TRUE(
        files.fileExists(QStringLiteral("C:\\Program Files\\Plus!\\Themes\\Later\\Later.theme")));
    again.findChild<QPushButton*>(QStringLiteral("cmdHostFiles"))->click();
    EXPECT_TRUE(again.hostFilesChosen());
    EXPECT_EQ(again.chosenTheme(), QString());
}

} // namespace
} // namespace p95::test
