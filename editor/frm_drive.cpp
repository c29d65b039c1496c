#include "editor/frm_drive.h"

#include "platform/disk_image.h"
#include "platform/drive.h"
#include "platform/file_dialog.h"
#include "platform/image_drive.h"
#include "platform/message_box.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace p95 {

namespace {

const QString kTitle = QStringLiteral("Paletteer 95");

QString sizeText(qint64 bytes) {
    if (bytes >= qint64(1) << 30)
        return QStringLiteral("%1 GB").arg(double(bytes) / double(qint64(1) << 30), 0, 'f', 1);
    return QStringLiteral("%1 MB").arg(double(bytes) / double(1 << 20), 0, 'f', 1);
}

} // namespace

FrmDrive::FrmDrive(Services services, QWidget* parent) : QDialog(parent), m_services(services) {
    setObjectName(QStringLiteral("frmDrive"));
    setWindowTitle(QStringLiteral("Drive C"));

    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        QStringLiteral("Themes are opened, saved and installed on drive C. Drive C can be a "
                       "folder, or the hard-disk image of an emulated Windows 95 machine "
                       "(raw, fixed VHD, HDI or HDX). Shut the machine down before you save "
                       "into its image."),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    optFolder = new QRadioButton(QStringLiteral("&Folder"), this);
    optFolder->setObjectName(QStringLiteral("optFolder"));
    optImage = new QRadioButton(QStringLiteral("&Disk image"), this);
    optImage->setObjectName(QStringLiteral("optImage"));
    layout->addWidget(optFolder);
    layout->addWidget(optImage);

    auto* row = new QGridLayout;
    auto* pathLabel = new QLabel(QStringLiteral("&Path:"), this);
    txtPath = new QLineEdit(this);
    txtPath->setObjectName(QStringLiteral("txtPath"));
    txtPath->setPlaceholderText(localDriveCFolder());
    pathLabel->setBuddy(txtPath);
    cmdBrowse = new QPushButton(QStringLiteral("&Browse..."), this);
    cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    row->addWidget(pathLabel, 0, 0);
    row->addWidget(txtPath, 0, 1);
    row->addWidget(cmdBrowse, 0, 2);
    layout->addLayout(row);

    lstPartitions = new QTreeWidget(this);
    lstPartitions->setObjectName(QStringLiteral("lstPartitions"));
    lstPartitions->setRootIsDecorated(false);
    lstPartitions->setHeaderLabels({QStringLiteral("Partition"), QStringLiteral("Label"),
                                    QStringLiteral("Type"), QStringLiteral("Size"),
                                    QStringLiteral("Free")});
    lstPartitions->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(lstPartitions);
    lblInUse = new QLabel(this);
    lblInUse->setObjectName(QStringLiteral("lblInUse"));
    lblInUse->setWordWrap(true);
    layout->addWidget(lblInUse);

    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    layout->addWidget(buttons);

    // Every column of the partition list in view, and an image's whole path.
    setMinimumWidth(fontMetrics().averageCharWidth() * 72);

    const DriveChoice remembered = rememberedDriveChoice();
    txtPath->setText(remembered.path);
    (isImageFile(remembered.path) ? optImage : optFolder)->setChecked(true);
    showPath();
    for (int i = 0; i < lstPartitions->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lstPartitions->topLevelItem(i);
        if (item->data(0, Qt::UserRole).toInt() == remembered.partition)
            lstPartitions->setCurrentItem(item);
    }

    connect(optFolder, &QRadioButton::toggled, this, &FrmDrive::showPath);
    connect(txtPath, &QLineEdit::editingFinished, this, &FrmDrive::showPath);
    connect(cmdBrowse, &QPushButton::clicked, this, &FrmDrive::browse);
    connect(buttons, &QDialogButtonBox::accepted, this, &FrmDrive::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FrmDrive::reject);
}

void FrmDrive::browse() {
    CommonDialog dialog;
    dialog.dialogTitle = QStringLiteral("Drive C");
    dialog.filter = optImage->isChecked()
                        ? QStringLiteral("Disk images|*.img;*.ima;*.hdd;*.raw;*.vhd;*.hdi;*.hdx|"
                                         "All files|*.*")
                        : QStringLiteral("Any file in the folder|*.*");
    const QString before = txtPath->text();
    dialog.fileName = before;
    m_services.fileDialog.showOpen(dialog, this);
    if (dialog.fileName.isEmpty() || dialog.fileName == before)
        return;
    const QFileInfo chosen(dialog.fileName);
    txtPath->setText(optImage->isChecked() || chosen.isDir() ? dialog.fileName
                                                             : chosen.absolutePath());
    showPath();
}

void FrmDrive::showPath() {
    lstPartitions->clear();
    const bool image = optImage->isChecked();
    lstPartitions->setEnabled(image);
    lblInUse->clear();
    const QString path = txtPath->text();
    if (!image || path.isEmpty())
        return;
    auto opened = openDiskImageForReading(path);
    if (!opened) {
        lblInUse->setText(opened.error().reason);
        return;
    }
    for (const VolumeSummary& v : summarizeVolumes(opened.value())) {
        auto* item = new QTreeWidgetItem(lstPartitions);
        item->setText(0, v.partition.number == 0 ? QStringLiteral("whole disk")
                                                 : QString::number(v.partition.number));
        item->setData(0, Qt::UserRole, v.partition.number);
        item->setText(1, v.label);
        item->setText(2, v.fat ? v.fatType : v.problem);
        item->setText(3, sizeText(v.totalBytes));
        item->setText(4, v.fat ? sizeText(v.freeBytes) : QString());
        if (!v.fat)
            item->setFlags(item->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
        else if (!lstPartitions->currentItem())
            lstPartitions->setCurrentItem(item);
    }
    const QString user = imageUser(path);
    lblInUse->setText(user.isEmpty()
                          ? QStringLiteral("No program has the image open.")
                          : user + QStringLiteral(": themes can be opened from it but not "
                                                  "saved into it until that program ends."));
}

DriveChoice FrmDrive::choice() const {
    DriveChoice chosen;
    chosen.path = txtPath->text();
    if (optImage->isChecked() && lstPartitions->currentItem())
        chosen.partition = lstPartitions->currentItem()->data(0, Qt::UserRole).toInt();
    return chosen;
}

void FrmDrive::accept() {
    const DriveChoice chosen = choice();
    QString problem;
    if (optImage->isChecked() && !isImageFile(chosen.path))
        problem = QStringLiteral("Choose the image file of the machine's hard disk.");
    else if (optFolder->isChecked() && !chosen.path.isEmpty() && !QFileInfo(chosen.path).isDir())
        problem = QStringLiteral("The folder %1 does not exist.").arg(chosen.path);
    else if (const Status used = useDriveC(chosen); !used.ok())
        problem =
            QStringLiteral("Drive C cannot be %1.\n\n%2").arg(chosen.path, used.error().text());
    if (!problem.isEmpty()) {
        m_services.messages.show(this, problem, MsgButtons::Ok, kTitle, MsgIcon::Warning);
        return;
    }
    rememberDriveChoice(chosen);
    QDialog::accept();
}

} // namespace p95
