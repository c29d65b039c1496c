#include "editor/frm_image_themes.h"

#include "platform/drive_choice.h"
#include "platform/image_drive.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace p95 {

FrmImageThemes::FrmImageThemes(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmImageThemes"));
    setWindowTitle(QStringLiteral("Open a Theme from the Disk Image"));

    auto* layout = new QVBoxLayout(this);
    lblWhere = new QLabel(this);
    lblWhere->setObjectName(QStringLiteral("lblWhere"));
    lblWhere->setWordWrap(true);
    layout->addWidget(lblWhere);

    lstThemes = new QTreeWidget(this);
    lstThemes->setObjectName(QStringLiteral("lstThemes"));
    lstThemes->setRootIsDecorated(false);
    lstThemes->setHeaderLabels({QStringLiteral("Theme"), QStringLiteral("File")});
    lstThemes->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    lblWhere->setBuddy(lstThemes);
    layout->addWidget(lstThemes);

    auto* buttons = new QDialogButtonBox(this);
    cmdOpen = buttons->addButton(QStringLiteral("&Open"), QDialogButtonBox::AcceptRole);
    cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    cmdHostFiles =
        buttons->addButton(QStringLiteral("&Host Files..."), QDialogButtonBox::ActionRole);
    cmdHostFiles->setObjectName(QStringLiteral("cmdHostFiles"));
    cmdHostFiles->setToolTip(QStringLiteral(
        "Choose a theme file with the file dialog: on the image or on this computer"));
    buttons->addButton(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);

    refreshDriveC(); // the machine may have run since
    ImageDrive* drive = activeImageDrive();
    auto themes = drive ? drive->themes()
                        : Result<QList<ImageTheme>>(
                              Error{QString(), QString(), QStringLiteral("drive C is a folder")});
    if (!themes) {
        lblWhere->setText(
            QStringLiteral("No themes can be listed: %1.").arg(themes.error().reason));
    } else {
        lblWhere->setText(QStringLiteral("&Themes in C:\\Program Files\\Plus!\\Themes\\ on %1:")
                              .arg(drive->description()));
        for (const ImageTheme& theme : themes.value()) {
            auto* item = new QTreeWidgetItem(lstThemes);
            item->setText(0, theme.folder);
            item->setText(1, theme.file);
            item->setData(0, Qt::UserRole, theme.windowsPath());
            item->setToolTip(0, theme.windowsPath());
        }
        if (lstThemes->topLevelItemCount() == 0)
            lblWhere->setText(
                QStringLiteral("No themes in C:\\Program Files\\Plus!\\Themes\\ on %1.")
                    .arg(drive->description()));
        lstThemes->setCurrentItem(lstThemes->topLevelItem(0));
    }
    cmdOpen->setEnabled(lstThemes->currentItem() != nullptr);
    cmdOpen->setDefault(true);

    // Room for the long names themes have.
    setMinimumWidth(fontMetrics().averageCharWidth() * 64);

    connect(lstThemes, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { cmdOpen->setEnabled(current != nullptr); });
    connect(lstThemes, &QTreeWidget::itemActivated, this, &FrmImageThemes::openChosen);
    connect(cmdOpen, &QPushButton::clicked, this, &FrmImageThemes::openChosen);
    connect(cmdHostFiles, &QPushButton::clicked, this, [this] {
        m_hostFiles = true;
        QDialog::accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &FrmImageThemes::reject);
}

void FrmImageThemes::openChosen() {
    const QTreeWidgetItem* item = lstThemes->currentItem();
    if (!item)
        return;
    m_chosen = item->data(0, Qt::UserRole).toString();
    QDialog::accept();
}

} // namespace p95
