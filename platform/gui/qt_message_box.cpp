#include "platform/gui/qt_message_box.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace p95 {

namespace {

// A box of fixed size: a title, a system menu and a close button (the
// harmless answer), and no maximize or minimize button. Named, so that the
// window system adds none.
void setBoxButtons(QWidget& box) {
    box.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                       Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

// The input box and the list box: the prompt above a field, OK and Cancel
// below it, the field focused. True when OK (or the field) accepted it.
bool runPromptBox(QDialog& box, const char* name, const QString& title, const QString& prompt,
                  QWidget* field) {
    box.setObjectName(QLatin1String(name));
    setBoxButtons(box);
    box.setWindowTitle(title);
    auto* label = new QLabel(prompt);
    label->setObjectName(QLatin1String(name) + QStringLiteral("Prompt"));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setBuddy(field);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(label);
    layout->addWidget(field);
    layout->addWidget(buttons);
    field->setFocus();
    return box.exec() == QDialog::Accepted;
}

QMessageBox::Icon qtIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

MsgAnswer QtMessageBox::show(QWidget* parent, const QString& text, MsgButtons buttons,
                             const QString& title, MsgIcon icon) {
    return showWithDetails(parent, text, QString(), buttons, title, icon);
}

MsgAnswer QtMessageBox::showWithDetails(QWidget* parent, const QString& text,
                                        const QString& details, MsgButtons buttons,
                                        const QString& title, MsgIcon icon) {
    QMessageBox box(parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    setBoxButtons(box);
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setIcon(qtIcon(icon));
    box.setDetailedText(details); // plain text always; none when empty

    // The harmless button answers Escape and the window's close button.
    QMessageBox::StandardButton first = QMessageBox::Ok;
    QMessageBox::StandardButton harmless = QMessageBox::Ok;
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        harmless = QMessageBox::Cancel;
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        first = QMessageBox::No;
        harmless = QMessageBox::No;
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        first = QMessageBox::Yes;
        harmless = QMessageBox::Cancel;
        break;
    }
    box.setDefaultButton(first);
    box.setEscapeButton(harmless);

    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    const QMessageBox::StandardButton pressed =
        clicked ? box.standardButton(clicked) : QMessageBox::NoButton;
    switch (pressed) {
    case QMessageBox::Ok:
        return MsgAnswer::Ok;
    case QMessageBox::Cancel:
        return MsgAnswer::Cancel;
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    default:
        break;
    }
    switch (harmless) {
    case QMessageBox::Cancel:
        return MsgAnswer::Cancel;
    case QMessageBox::No:
        return MsgAnswer::No;
    default:
        return MsgAnswer::Ok;
    }
}

QString QtInputBox::ask(QWidget* parent, const QString& prompt, const QString& title,
                        const QString& defaultAnswer) {
    QDialog box(parent);
    auto* field = new QLineEdit(defaultAnswer);
    field->setObjectName(QStringLiteral("InputBoxText"));
    field->selectAll();
    if (!runPromptBox(box, "InputBox", title, prompt, field))
        return QString();
    return field->text();
}

int QtListChoice::choose(QWidget* parent, const QString& prompt, const QString& title,
                         const QStringList& items) {
    QDialog box(parent);
    auto* list = new QListWidget;
    list->setObjectName(QStringLiteral("ListBoxItems"));
    list->addItems(items);
    list->setCurrentRow(0);
    // Enter (on some platforms) and a double click choose the item.
    QObject::connect(list, &QListWidget::itemActivated, &box, &QDialog::accept);
    if (!runPromptBox(box, "ListBox", title, prompt, list))
        return -1;
    return list->currentRow();
}

} // namespace p95
