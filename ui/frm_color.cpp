#include "ui/frm_color.h"

#include "colour/colour_table.h"

#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

namespace p95 {

namespace {

QScrollBar* makeBar(const char* name, QWidget* parent) {
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(QLatin1String(name));
    bar->setRange(0, 255);
    bar->setSingleStep(1);
    bar->setPageStep(10);
    // The bars are the picker's whole input: they must be reachable with Tab
    // and moved with the arrow keys.
    bar->setFocusPolicy(Qt::StrongFocus);
    // A scroll bar's keys run as a page scrolls (Right lowers the value);
    // here Right and Page Up give more of the colour, as on a slider.
    bar->setInvertedControls(false);
    return bar;
}

QLabel* makeNumber(const char* name, QWidget* parent) {
    auto* label = new QLabel(QStringLiteral("0"), parent);
    label->setObjectName(QLatin1String(name));
    // Room for "255" so the bars do not move as the numbers change.
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QLineEdit* makeHidden(const char* name, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->hide();
    return field;
}

} // namespace

FrmColor::FrmColor(int index, const QString& colourText, const QIcon& icon, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmColor"));
    setWindowTitle(QStringLiteral("Color Selection"));
    setModal(false);
    // A fixed size: no maximize button. The buttons it keeps are named, so
    // that the window system adds none.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    // Closing unloads the window: the next opening starts afresh.
    setAttribute(Qt::WA_DeleteOnClose);
    if (!icon.isNull())
        setWindowIcon(icon);
    buildWindow();
    // The colour text may come from a theme file: shown as it stands.
    for (QLabel* label : findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);

    Index->setText(QString::number(index));
    txtColor->setText(colourText);
    Command3->click();
    showColourName();

    // Sized by its layout, then centred on the screen.
    adjustSize();
    QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
}

void FrmColor::buildWindow() {
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Label7 = new QLabel(QStringLiteral("Use the scroll bars to select a color:"), this);
    Label7->setObjectName(QStringLiteral("Label7"));
    layout->addWidget(Label7);

    auto* bars = new QGridLayout;
    HScroll1 = makeBar("HScroll1", this);
    HScroll2 = makeBar("HScroll2", this);
    HScroll3 = makeBar("HScroll3", this);
    Label4 = makeNumber("Label4", this);
    Label5 = makeNumber("Label5", this);
    Label6 = makeNumber("Label6", this);
    const QString names[3] = {QStringLiteral("Red"), QStringLiteral("Green"),
                              QStringLiteral("Blue")};
    QScrollBar* const rowBars[3] = {HScroll1, HScroll2, HScroll3};
    QLabel* const rowNumbers[3] = {Label4, Label5, Label6};
    const int barWidth = fontMetrics().horizontalAdvance(QLatin1Char('0')) * 32;
    for (int row = 0; row < 3; ++row) {
        captions[row] = new QLabel(names[row], this);
        captions[row]->setObjectName(QStringLiteral("Label%1").arg(row + 1));
        rowBars[row]->setAccessibleName(names[row]);
        rowBars[row]->setMinimumWidth(barWidth);
        bars->addWidget(captions[row], row, 0);
        bars->addWidget(rowBars[row], row, 1);
        bars->addWidget(rowNumbers[row], row, 2);
    }
    layout->addLayout(bars);

    auto* lower = new QHBoxLayout;
    Label8 = new QLabel(QStringLiteral("Color Preview:"), this);
    Label8->setObjectName(QStringLiteral("Label8"));
    lower->addWidget(Label8, 0, Qt::AlignTop);
    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setAutoFillBackground(true);
    const int side = fontMetrics().height() * 4;
    Shape1->setFixedSize(side, side);
    Shape1->setAccessibleName(QStringLiteral("Color Preview"));
    fillPreview(Rgb{255, 255, 255});
    lower->addWidget(Shape1);
    lower->addStretch(1);

    auto* buttons = new QVBoxLayout;
    Command2 = new QPushButton(QStringLiteral("&Select"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setDefault(true);
    Command1 = new QPushButton(QStringLiteral("&Cancel"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);
    buttons->addWidget(Command2);
    buttons->addWidget(Command1);
    buttons->addStretch(1);
    lower->addLayout(buttons);
    layout->addLayout(lower);

    Index = new QLabel(this);
    Index->setObjectName(QStringLiteral("Index"));
    Index->hide();
    txtColor = makeHidden("txtColor", this);
    Text1 = makeHidden("Text1", this);
    Text2 = makeHidden("Text2", this);
    Text3 = makeHidden("Text3", this);
    Command3 = new QPushButton(this);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command3->setAutoDefault(false);
    Command3->hide();

    // The numbers and the preview follow the bars at once, by any means of moving them.
    for (QScrollBar* bar : rowBars)
        connect(bar, &QScrollBar::valueChanged, this, &FrmColor::showNumbers);
    connect(Command3, &QPushButton::clicked, this, &FrmColor::Command3_Click);
    connect(Command2, &QPushButton::clicked, this, &FrmColor::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &QWidget::close);
}

void FrmColor::Command3_Click() {
    const ColourTextParts parts = splitColourText(txtColor->text());
    Text1->setText(parts.red);
    Text2->setText(parts.green);
    Text3->setText(parts.blue);
    const Rgb start = parseColourText(txtColor->text());
    HScroll1->setValue(start.red);
    HScroll2->setValue(start.green);
    HScroll3->setValue(start.blue);
    // A bar already at its value sends no change: show numbers and preview here too.
    showNumbers();
}

void FrmColor::showNumbers() {
    Label4->setText(QString::number(HScroll1->value()));
    Label5->setText(QString::number(HScroll2->value()));
    Label6->setText(QString::number(HScroll3->value()));
    fillPreview(colour());
    Q_EMIT colourChanging(colourIndex(), colourText(colour()));
}

void FrmColor::fillPreview(Rgb rgb) {
    QPalette palette = Shape1->palette();
    palette.setColor(QPalette::Window, QColor(rgb.red, rgb.green, rgb.blue));
    Shape1->setPalette(palette);
    // What the eye sees in the preview, for a screen reader.
    Shape1->setAccessibleDescription(
        QStringLiteral("Red %1, green %2, blue %3").arg(rgb.red).arg(rgb.green).arg(rgb.blue));
}

Rgb FrmColor::colour() const {
    return Rgb{HScroll1->value(), HScroll2->value(), HScroll3->value()};
}

int FrmColor::colourIndex() const {
    return Index->text().toInt();
}

void FrmColor::retarget(int index, const QString& colourText) {
    Index->setText(QString::number(index));
    txtColor->setText(colourText);
    // The bars move to the colour now edited: Select never writes the values
    // of one colour into another.
    Command3->click();
    showColourName();
    Q_EMIT colourChanging(index, ::p95::colourText(colour()));
}

void FrmColor::showColourName() {
    const int index = colourIndex();
    if (index < 0 || index >= kColourCount)
        return;
    // The caption stays "Color Selection"; the colour edited is named where
    // the eye and a screen reader meet it, the preview square and the window.
    const std::string_view caption = kColourSlots[index].caption;
    const QString name = QString::fromLatin1(caption.data(), qsizetype(caption.size()));
    Shape1->setToolTip(QStringLiteral("Editing the color %1").arg(name));
    setAccessibleDescription(QStringLiteral("Editing the color %1").arg(name));
}

void FrmColor::Command2_Click() {
    const QString text =
        Label4->text() + QLatin1Char(' ') + Label5->text() + QLatin1Char(' ') + Label6->text();
    Q_EMIT colourSelected(colourIndex(), text);
    close();
}

} // namespace p95
