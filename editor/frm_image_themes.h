#pragma once

// The window of File > Open from Disk Image...: while drive C is the hard
// disk image of an emulated machine, the themes in its themes root are listed
// to open with a double-click or Open; Host Files... goes on to the file
// dialog for a theme elsewhere.

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace p95 {

class FrmImageThemes : public QDialog {
    Q_OBJECT
public:
    explicit FrmImageThemes(QWidget* parent = nullptr);

    // After Open: the Windows-form path of the chosen theme file.
    QString chosenTheme() const { return m_chosen; }
    // After Host Files...: the file dialog is wanted instead.
    bool hostFilesChosen() const { return m_hostFiles; }

private:
    void openChosen();

    QLabel* lblWhere = nullptr;
    QTreeWidget* lstThemes = nullptr;
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdHostFiles = nullptr;
    QString m_chosen;
    bool m_hostFiles = false;
};

} // namespace p95
