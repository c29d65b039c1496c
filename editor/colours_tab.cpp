#include "editor/colours_tab.h"

#include "colour/scheme_file.h"
#include "platform/drive.h"
#include "ui/widget_names.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QVBoxLayout>

#include <algorithm>

namespace p95 {

OptionFrame::OptionFrame(QRadioButton* title, QWidget* parent) : QGroupBox(parent), m_title(title) {
    // The frame's own title, painted under the option button, makes the style
    // leave the gap in the top edge and the room above the contents.
    setTitle(title->text().remove(QLatin1Char('&')) + QStringLiteral("     "));
    m_title->setParent(this);
    m_title->setAutoFillBackground(true);
    placeTitle();
}

void OptionFrame::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    placeTitle();
}

void OptionFrame::changeEvent(QEvent* event) {
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        placeTitle();
}

void OptionFrame::placeTitle() {
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    const QRect label =
        style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
    const QSize hint = m_title->sizeHint();
    m_title->setGeometry(label.left(), label.center().y() - hint.height() / 2, hint.width(),
                         hint.height());
    m_title->raise();
}

namespace {

// Lays out labels in columns of the given lengths, in index order.
void addInColumns(QGridLayout* grid, const std::array<QLabel*, kColourCount>& labels,
                  int firstRow) {
    static constexpr int kColumnStarts[] = {0, 6, 12, 18, kColourCount};
    for (int column = 0; column < 4; ++column) {
        for (int i = kColumnStarts[column]; i < kColumnStarts[column + 1]; ++i)
            grid->addWidget(labels[i], firstRow + i - kColumnStarts[column], column);
    }
}

} // namespace

ColoursTab::ColoursTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tabColors"));
    auto* layout = new QVBoxLayout(this);
    help = makeHelpPanel(4, this);
    layout->addWidget(help.panel);

    modeGroup = new QButtonGroup(this);
    Option13 = new QRadioButton(QStringLiteral("Choose Your Own Colors:"));
    Option13->setObjectName(QStringLiteral("Option13"));
    Option14 = new QRadioButton(QStringLiteral("Colors From Other Themes:"));
    Option14->setObjectName(QStringLiteral("Option14"));
    modeGroup->addButton(Option13, int(ColourMode::Own));
    modeGroup->addButton(Option14, int(ColourMode::Preset));

    // The colour names, and over them the hidden colour texts in the same places.
    auto* colourStack = new QGridLayout;
    Frame3 = new OptionFrame(Option13, this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    auto* namesGrid = new QGridLayout(Frame3);
    Label6 = new QLabel(QStringLiteral("Click on text to change color"), Frame3);
    Label6->setObjectName(QStringLiteral("Label6"));
    namesGrid->addWidget(Label6, 0, 0, 1, 4);
    Frame9 = new QWidget(this);
    Frame9->setObjectName(QStringLiteral("Frame9"));
    auto* valuesGrid = new QGridLayout(Frame9);
    for (int i = 0; i < kColourCount; ++i) {
        Label4[i] = new QLabel(toQString(kColourSlots[i].caption), Frame3);
        Label4[i]->setObjectName(arrayName("Label4", i));
        // Reached with Tab and opened with Space or Enter in own-colours mode
        // (a disabled name takes no focus).
        makeKeyboardLabel(Label4[i]);
        Label4[i]->setAccessibleDescription(QStringLiteral("opens the colour picker"));
        Label7[i] = new QLabel(toQString(kColourSlots[i].defaultText), Frame9);
        Label7[i]->setObjectName(arrayName("Label7", i));
    }
    addInColumns(namesGrid, Label4, 1);
    addInColumns(valuesGrid, Label7, 1);
    Frame9->hide();
    colourStack->addWidget(Frame3, 0, 0);
    colourStack->addWidget(Frame9, 0, 0);
    layout->addLayout(colourStack);

    // The presets in three columns (0-3, 4-7, 8-10), and beside them the
    // scheme buttons with their help.
    auto* lower = new QHBoxLayout;
    layout->addLayout(lower, 1);
    Frame2 = new OptionFrame(Option14, this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    auto* presetGrid = new QGridLayout(Frame2);
    presetGroup = new QButtonGroup(this);
    for (int k = 0; k < kPresetCount; ++k) {
        Option1[k] = new QRadioButton(toQString(kPresets[k].caption), Frame2);
        Option1[k]->setObjectName(arrayName("Option1", k));
        presetGroup->addButton(Option1[k], k);
        presetGrid->addWidget(Option1[k], k % 4, k / 4);
    }
    lower->addWidget(Frame2, 1);

    auto* schemes = new QVBoxLayout;
    Command13 = new QPushButton(QStringLiteral("Save &Color Scheme"), this);
    Command13->setObjectName(QStringLiteral("Command13"));
    Command12 = new QPushButton(QStringLiteral("&Load Color Scheme"), this);
    Command12->setObjectName(QStringLiteral("Command12"));
    schemes->addWidget(Command13);
    schemes->addWidget(Command12);
    schemeHelp = makeHelpPanel(6, this);
    schemes->addWidget(schemeHelp.panel);
    schemes->addStretch(1);
    lower->addLayout(schemes);
}

void ColoursTab::showColourMode(ColourMode mode) {
    const bool own = mode == ColourMode::Own;
    (own ? Option13 : Option14)->setChecked(true);
    for (QLabel* name : Label4)
        name->setEnabled(own);
    Label6->setEnabled(own);
    Command12->setEnabled(own);
    Command13->setEnabled(own);
    for (QRadioButton* preset : Option1)
        preset->setEnabled(!own);
}

ColoursTab::~ColoursTab() = default;

void ColoursTab::attach(const TabContext& context) {
    m_context = std::make_unique<TabContext>(context);
    for (QLabel* name : Label4)
        name->installEventFilter(this);
    connect(Command13, &QPushButton::clicked, this, &ColoursTab::Command13_Click);
    connect(Command12, &QPushButton::clicked, this, &ColoursTab::Command12_Click);
}

bool ColoursTab::eventFilter(QObject* watched, QEvent* event) {
    const auto found = std::find(Label4.begin(), Label4.end(), watched);
    // A disabled name (preset mode) does not react.
    if (found == Label4.end() || !(*found)->isEnabled() || !m_context)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // Taken here, so that the release comes back to this name.
        return static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    case QEvent::MouseButtonRelease: {
        // A click: released over the name it was pressed on.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            (*found)->rect().contains(mouse->position().toPoint())) {
            Label4_Click(int(found - Label4.begin()));
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (isActivationKey(*key)) {
            if (!key->isAutoRepeat())
                Label4_Click(int(found - Label4.begin()));
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void ColoursTab::Label4_Click(int i) {
    const TabContext& c = *m_context;
    const QString text = c.document().colours.at(i);
    if (c.lblIndex)
        c.lblIndex->setText(QString::number(i));
    // A picker that has closed but is not yet deleted counts as closed.
    if (m_picker && m_picker->isVisible()) {
        // Already open: it now edits colour i, from where its bars stand.
        m_picker->retarget(i, text);
        m_picker->raise();
        m_picker->activateWindow();
        return;
    }
    // Each opening loads the picker afresh.
    m_picker = new FrmColor(
        i, text, c.services.pictures.windowIcon(programFile(QStringLiteral("theme.icp"))),
        c.window);
    connect(m_picker, &FrmColor::colourSelected, this, [this](int index, const QString& colour) {
        if (index >= 0 && index < kColourCount)
            m_context->setColour(index, colour);
    });
    m_picker->show();
    Q_EMIT pickerOpened(m_picker);
}

void ColoursTab::Command13_Click() {
    const TabContext& c = *m_context;
    const QString name = c.services.input.ask(
        c.window, QStringLiteral("What would you like to save the color scheme as?"),
        QStringLiteral("Paletteer 95"), c.document().name);
    if (name.isEmpty())
        return;
    if (const Status saved =
            saveColourScheme(c.files, programDirectory(), name, c.document().colours);
        !saved.ok()) {
        c.message(QStringLiteral("The color scheme could not be saved.\n\n") + saved.error().text(),
                  MsgButtons::Ok, MsgIcon::Warning);
    }
}

void ColoursTab::Command12_Click() {
    const TabContext& c = *m_context;
    // Scheme files are saved in the program directory: look there first.
    const QString f = c.chooseFile(QStringLiteral("Choose a Color Scheme to Open"),
                                   QStringLiteral("Color Schemes (*.scheme)|*.scheme"), 1,
                                   QStringLiteral(".scheme"), programDirectory());
    if (f.isEmpty())
        return;
    const auto colours = readColourScheme(c.files, f);
    if (!colours) {
        c.message(QStringLiteral("The color scheme could not be loaded; the colors are as they "
                                 "were.\n\n") +
                      colours.error().text(),
                  MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    for (int i = 0; i < kColourCount; ++i)
        c.setColour(i, colours.value()[i]);
    c.setColourMode(ColourMode::Own);
}

} // namespace p95
