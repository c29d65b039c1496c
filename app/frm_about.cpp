#include "app/frm_about.h"

#include "app/start_up.h"
#include "platform/drive.h"
#include "theme/product.h"
#include "theme/theme_document.h"
#include "ui/window_support.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace p95 {

namespace {

const QString kInvitation = QStringLiteral(
    "For FREE online help or for any questions that you want answered, or if you have any "
    "comments or complaints, visit our internet site at:");

QLabel* addLabel(QWidget* parent, QLayout* layout, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    layout->addWidget(label);
    return label;
}

} // namespace

FrmAbout::FrmAbout(StartUp& flow) : QDialog(nullptr), m_flow(flow) {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About Paletteer 95"));
    const QString homePage = toQString(kHomePageUrl);
    const QString email = toQString(kContactEmail);

    auto* layout = new QVBoxLayout(this);
    auto* heading = new QHBoxLayout;
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(toQString(kProductTitle));
    heading->addWidget(Image1);
    Label1 = new QLabel(toQString(kProductTitle), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont headingFont = Label1->font();
    headingFont.setPointSize(headingFont.pointSize() + 6);
    headingFont.setBold(true);
    Label1->setFont(headingFont);
    heading->addWidget(Label1, 1);
    layout->addLayout(heading);

    Label4 = addLabel(this, layout, "Label4", QString());
    wrapWithin(*Label4, 50);
    Label6 = addLabel(this, layout, "Label6", homePage);
    Label7 = addLabel(this, layout, "Label7", QStringLiteral("or email:"));
    Label8 = addLabel(this, layout, "Label8", email);
    for (QLabel* address : {Label6, Label8})
        address->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Command2 = new QPushButton(QStringLiteral("Copy the Paletteer 95 URL to the clipboard"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    layout->addWidget(Command2);
    Command3 = new QPushButton(
        QStringLiteral("Copy the Paletteer 95 email address to the clipboard"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    layout->addWidget(Command3);
    auto* ok = new QHBoxLayout;
    ok->addStretch(1);
    Command1 = new QPushButton(QStringLiteral("&Ok"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    ok->addWidget(Command1);
    layout->addLayout(ok);

    connect(Command2, &QPushButton::clicked, this,
            [this, homePage] { m_flow.services().clipboard.setText(homePage); });
    connect(Command3, &QPushButton::clicked, this,
            [this, email] { m_flow.services().clipboard.setText(email); });
    connect(Command1, &QPushButton::clicked, this, &QWidget::close);

    // The window's load.
    Services services = m_flow.services();
    const QString picture = programFile("theme.icp");
    setWindowIcon(services.pictures.windowIcon(picture));
    const auto image = services.pictures.loadPicture(picture);
    Image1->setPixmap(image ? image.value() : QPixmap());
    Label4->setText(kInvitation);
    placeWindow(*this);
    Command1->setFocus();
}

} // namespace p95
