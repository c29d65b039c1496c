#include "app/frm_start.h"

#include "app/start_up.h"
#include "editor/frm_main.h"
#include "platform/drive.h"
#include "platform/file_system.h"
#include "theme/product.h"
#include "theme/theme_document.h"
#include "theme/theme_name.h"
#include "theme/theme_reader.h"
#include "ui/window_support.h"

#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace p95 {

namespace {

const QString kHelpText = QStringLiteral(
    "All files needed by your theme will be copied into a new directory named after your theme. "
    "This directory will be displayed when you click Continue...");
const QString kEmptyNameMessage = QStringLiteral("You must enter a name for your theme");
const QString kOverwriteQuestion = QStringLiteral(
    "The theme name you have chosen already exists. If you wish to continue, the file may be "
    "overwritten or damaged. Do you wish to continue?");

} // namespace

FrmStart::FrmStart(StartUp& flow) : QDialog(nullptr), m_flow(flow) {
    setObjectName(QStringLiteral("frmStart"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(kMessageTitle);
    buildWindow();
    loadSteps();
}

void FrmStart::buildWindow() {
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QMenuBar(this);
    buildMenus(*bar);
    layout->setMenuBar(bar);

    Label1 = new QLabel(toQString(kProductTitle), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(familyFont(QStringLiteral("Comic Sans MS"), 18));
    Label1->setAlignment(Qt::AlignCenter);
    layout->addWidget(Label1);

    Frame1 = new QGroupBox(QStringLiteral("Your Theme"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* frame = new QVBoxLayout(Frame1);
    promptLabel = new QLabel(
        QStringLiteral("Please enter the name of the theme you want to create:"), Frame1);
    promptLabel->setObjectName(QStringLiteral("promptLabel"));
    frame->addWidget(promptLabel);
    Text1 = new QLineEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFont(familyFont(QStringLiteral("MS Sans Serif"), 10));
    promptLabel->setBuddy(Text1);
    frame->addWidget(Text1);
    layout->addWidget(Frame1);

    auto* help = new QHBoxLayout;
    picHelp = new QLabel(this);
    picHelp->setObjectName(QStringLiteral("picHelp"));
    picHelp->setAccessibleName(QStringLiteral("Help"));
    help->addWidget(picHelp, 0, Qt::AlignTop);
    lblHelp = new QLabel(this);
    lblHelp->setObjectName(QStringLiteral("lblHelp"));
    wrapWithin(*lblHelp, 48);
    help->addWidget(lblHelp, 1);
    layout->addLayout(help);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    Command1 = new QPushButton(QStringLiteral("&Continue......"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    buttons->addWidget(Command1);
    Command2 = new QPushButton(QStringLiteral("&Open a Theme"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    buttons->addWidget(Command2);
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, &FrmStart::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &FrmStart::Command2_Click);
    Text1->setFocus();
}

void FrmStart::buildMenus(QMenuBar& bar) {
    bar.setObjectName(QStringLiteral("menuBar"));
    mnuAbout = bar.addMenu(QStringLiteral("&About"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    mnuAbout1 = mnuAbout->addAction(QStringLiteral("&About Paletteer 95"));
    mnuAbout1->setObjectName(QStringLiteral("mnuAbout1"));
    mnuDash = mnuAbout->addSeparator();
    mnuDash->setObjectName(QStringLiteral("mnuDash"));
    mnuEmail =
        mnuAbout->addAction(QStringLiteral("Copy Paletteer 95's &Email Address to Clipboard"));
    mnuEmail->setObjectName(QStringLiteral("mnuEmail"));
    mnuHomepage =
        mnuAbout->addAction(QStringLiteral("Copy Paletteer 95's &Homepage URL to Clipboard"));
    mnuHomepage->setObjectName(QStringLiteral("mnuHomepage"));

    connect(mnuAbout1, &QAction::triggered, this, [this] { m_flow.showAbout(); });
    connect(mnuEmail, &QAction::triggered, this,
            [this] { m_flow.services().clipboard.setText(toQString(kContactEmail)); });
    connect(mnuHomepage, &QAction::triggered, this,
            [this] { m_flow.services().clipboard.setText(toQString(kHomePageUrl)); });
}

void FrmStart::loadSteps() {
    // A reading reports its own load problems, so there is no flag to reset.
    m_continuing = false;

    Services services = m_flow.services();
    const auto info = services.pictures.loadPicture(programFile("info.icp"));
    picHelp->setPixmap(info ? info.value() : QPixmap());
    lblHelp->setText(kHelpText);

    setWindowIcon(services.pictures.windowIcon(programFile("theme.icp")));
    placeWindow(*this);

    m_flow.loadEditor();
}

void FrmStart::refuse(const QString& message) {
    m_flow.services().messages.show(this, message, MsgButtons::Ok, kMessageTitle, MsgIcon::None);
    Text1->setFocus();
}

bool FrmStart::themeExists(const QString& name) const {
    const FileSystem& files = m_flow.files();
    // The themes root's own listing, as the theme manager keeps its themes...
    const auto listed = files.list(toQString(kThemesRoot) + name + QStringLiteral(".theme"), false);
    if (listed && !listed.value().isEmpty())
        return true;
    // ...and the theme directory, where this program saves a theme's file.
    return files.fileExists(themeFilePath(name));
}

void FrmStart::Command1_Click() {
    // The hand-over is already running; a second one would load twice.
    if (m_continuing)
        return;
    const QString name = Text1->text();
    if (name.isEmpty()) {
        refuse(kEmptyNameMessage);
        return;
    }
    if (const Status named = checkThemeName(name); !named.ok()) {
        refuse(named.error().reason);
        return;
    }
    if (themeExists(name) &&
        m_flow.services().messages.show(this, kOverwriteQuestion, MsgButtons::YesNo, kMessageTitle,
                                        MsgIcon::None) != MsgAnswer::Yes)
        return;
    m_continuing = true;
    m_flow.showLoad(name);
}

void FrmStart::Command2_Click() {
    if (m_continuing)
        return;
    // The file name of an earlier use stays, as the dialog last showed it.
    CommonDialog1.initDir = toQString(kThemesRoot);
    CommonDialog1.dialogTitle = QStringLiteral("Choose a Theme to Open");
    CommonDialog1.filter = QStringLiteral("Themes (*.theme)|*.theme");
    CommonDialog1.defaultExt = QStringLiteral(".theme");
    CommonDialog1.filterIndex = 1;
    m_flow.services().fileDialog.showOpen(CommonDialog1, this);
    const QString path = CommonDialog1.fileName;
    if (path.isEmpty()) {
        Text1->setFocus();
        return;
    }

    // A file that cannot be read, or is no theme, keeps the user here, rather
    // than showing an editor named after a theme it could not read.
    // The file is read once, here, and handed to the editor.
    const ThemeFileToOpen file = readThemeToOpen(m_flow.files(), path);
    if (!file.ok()) {
        // Cleared so that a Cancel next time is told from a choice.
        CommonDialog1.fileName.clear();
        refuse(file.refusal);
        return;
    }

    m_continuing = true;
    FrmMain& editor = m_flow.editor();
    editor.show();
    editor.raise();
    editor.activateWindow();
    editor.openTheme(file);
    m_flow.closeStart();
}

void FrmStart::reject() {
    close();
}

void FrmStart::closeEvent(QCloseEvent* event) {
    m_flow.closeOrAskToQuit(this, event, m_continuing);
}

} // namespace p95
