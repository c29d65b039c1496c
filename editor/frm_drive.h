#pragma once

// The Drive C window (File > Drive C...): drive C is a folder, or a FAT
// partition of the hard-disk image of an emulated Windows 95 machine. For an
// image it lists the partitions (number, label, FAT type, size, free space)
// and tells whether a program has the image open. OK makes the choice drive C
// and remembers it for the next start.

#include "platform/drive_choice.h"
#include "platform/gui/services.h"

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace p95 {

class FrmDrive : public QDialog {
    Q_OBJECT
public:
    FrmDrive(Services services, QWidget* parent = nullptr);

    // What OK chose (the remembered choice until then).
    DriveChoice choice() const;

    void accept() override;

private:
    void showPath();
    void browse();

    Services m_services;
    QRadioButton* optFolder = nullptr;
    QRadioButton* optImage = nullptr;
    QLineEdit* txtPath = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QTreeWidget* lstPartitions = nullptr;
    QLabel* lblInUse = nullptr;
    QDialogButtonBox* buttons = nullptr;
};

} // namespace p95
