#include "app/form1.h"

#include "app/start_up.h"
#include "editor/frm_main.h"
#include "platform/drive.h"
#include "theme/product.h"
#include "theme/theme_document.h"
#include "ui/window_support.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace p95 {

namespace {

constexpr int kTipWidthChars = 52;
// The tip label grows with the longest tip, up to this many lines; a longer
// tip is cut off rather than making the window taller than a screen.
constexpr int kMaxTipLines = 10;
constexpr int kMinTipLines = 4;
// Sizing looks at this many tips at most (a tip file holds a few dozen).
constexpr int kTipsMeasured = 1000;

} // namespace

Form1::Form1(StartUp& flow) : QDialog(nullptr), m_flow(flow) {
    setObjectName(QStringLiteral("Form1"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Tip of the Day"));
    buildWindow();

    m_continuing = false;
    loadSteps();
}

void Form1::buildWindow() {
    auto* layout = new QVBoxLayout(this);

    auto* heading = new QHBoxLayout;
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(QStringLiteral("Tip of the Day"));
    heading->addWidget(Image1, 0, Qt::AlignTop);
    auto* titles = new QVBoxLayout;
    Label1 = new QLabel(QStringLiteral("Tip of the Day"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont headingFont = familyFont(QStringLiteral("Courier New"), 16, true);
    headingFont.setBold(true);
    Label1->setFont(headingFont);
    titles->addWidget(Label1);
    productLabel = new QLabel(toQString(kProductTitle), this);
    productLabel->setObjectName(QStringLiteral("productLabel"));
    titles->addWidget(productLabel);
    heading->addLayout(titles, 1);
    layout->addLayout(heading);

    Label4 = new QLabel(this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setFrameShape(QFrame::HLine);
    Label4->setFrameShadow(QFrame::Sunken);
    layout->addWidget(Label4);

    Label6 = new QLabel(this);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label6->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label6->setFrameShape(QFrame::Panel);
    Label6->setFrameShadow(QFrame::Sunken);
    Label6->setMargin(6);
    wrapWithin(*Label6, kTipWidthChars);
    layout->addWidget(Label6);

    Text1 = new QLineEdit(QStringLiteral("1"), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    Command2 = new QPushButton(QStringLiteral("&Get Another Tip"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    buttons->addWidget(Command2);
    Command1 = new QPushButton(QStringLiteral("&Continue..."), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    buttons->addWidget(Command1);
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    Command1->setFocus();
}

void Form1::loadSteps() {
    // The random source is seeded once by the system; nothing to do per draw.
    Services services = m_flow.services();
    const QString picture = programFile("tipofday.icp");
    setWindowIcon(services.pictures.windowIcon(picture));
    const auto image = services.pictures.loadPicture(picture);
    Image1->setPixmap(image ? image.value() : QPixmap());

    // Touching the editor's LoadText loads it, hidden.
    m_flow.editor().loadText()->setText(QStringLiteral("Load"));
    m_flow.editor().ensureLoaded();

    showTip();
    placeWindow(*this);
}

void Form1::showTip() {
    const auto host = hostPath(programFile("tipofday.txz"));
    m_tipFile = host ? readTipFile(host.value()) : TipFile{};
    fitTipLabel();
    const auto k = drawTipLine(m_tipFile, m_flow.random());
    if (!k) {
        Label6->clear();
        return;
    }
    Text1->setText(QString::number(*k));
    Label6->setText(m_tipFile.line(*k));
}

void Form1::fitTipLabel() {
    // Tall enough for the longest tip, so that no draw needs a larger window.
    const QFontMetrics metrics = Label6->fontMetrics();
    const int width = Label6->width() - 2 * (Label6->frameWidth() + Label6->margin());
    int lines = kMinTipLines;
    const int measured = std::min(int(m_tipFile.tips.size()), kTipsMeasured);
    for (int i = 0; i < measured && lines < kMaxTipLines; ++i) {
        const QRect needed = metrics.boundingRect(QRect(0, 0, std::max(width, 1), INT_MAX),
                                                  Qt::TextWordWrap, m_tipFile.tips.at(i));
        lines = std::max(lines, (needed.height() + metrics.lineSpacing() - 1) /
                                    std::max(metrics.lineSpacing(), 1));
    }
    lines = std::min(lines, kMaxTipLines);
    Label6->setMinimumHeight(lines * metrics.lineSpacing() +
                             2 * (Label6->frameWidth() + Label6->margin()));
}

void Form1::Command1_Click() {
    m_continuing = true;
    m_flow.showStart();
    close();
}

void Form1::Command2_Click() {
    loadSteps();
}

void Form1::reject() {
    close();
}

void Form1::closeEvent(QCloseEvent* event) {
    m_flow.closeOrAskToQuit(this, event, m_continuing);
}

} // namespace p95
