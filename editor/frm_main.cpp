#include "editor/frm_main.h"

#include "editor/background.h"
#include "editor/birthday.h"
#include "editor/frm_drive.h"
#include "editor/frm_image_themes.h"
#include "editor/frm_preview.h"
#include "editor/install_flow.h"
#include "editor/pack_flow.h"
#include "editor/save_flow.h"
#include "package/install.h"
#include "package/pack.h"
#include "platform/disk_image.h"
#include "platform/drive.h"
#include "platform/drive_choice.h"
#include "platform/file_system.h"
#include "platform/image_drive.h"
#include "theme/get_colors.h"
#include "theme/product.h"
#include "theme/readme.h"
#include "theme/theme_name.h"
#include "theme/theme_save.h"
#include "ui/look.h"
#include "ui/rich_text.h"
#include "ui/window_support.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSessionManager>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>

namespace p95 {

namespace {

const QString kTitle = QStringLiteral("Paletteer 95");
const QString kDirectoryCaption =
    QStringLiteral("Theme Directory:         ") + toQString(kThemesRoot);
const QString kCurrentThemeCaption = QStringLiteral("Current Theme:         ");
const QString kReadMeQuestion = QStringLiteral(
    "The ReadMe text has changed. Save it as the default ReadMe file first, so that this theme "
    "gets it?\n\nYes stores the text as the default ReadMe file, and this theme gets it.\nNo "
    "gives this theme the default ReadMe file as it is, and replaces the text in the ReadMe tab "
    "with it (Undo brings your text back).\nCancel saves nothing.");
const QString kUnsavedQuestion =
    QStringLiteral("The theme %1 has changes that are not saved. Do you want to save them?");
const QString kOverwriteQuestion = QStringLiteral(
    "The theme name you have chosen already exists. If you wish to continue, the file may be "
    "overwritten or damaged. Do you wish to continue?");

// The reader asks whether each picture loads; the answer comes from the same
// picture service that then shows it, and what loaded is kept for the previews.
class PreviewProbe : public PictureProbe {
public:
    PreviewProbe(PictureService& pictures, QHash<QString, QPixmap>& loaded)
        : m_pictures(pictures), m_loaded(loaded) {}
    Status probe(const QString& path) const override {
        auto picture = m_pictures.loadPicture(path);
        if (!picture)
            return picture.error();
        m_loaded.insert(path, picture.value());
        return {};
    }

private:
    PictureService& m_pictures;
    QHash<QString, QPixmap>& m_loaded;
};

void makeLight(QLabel* label) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
}

} // namespace

FrmMain::FrmMain(Services services, FileSystem& files, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_files(files),
      m_endProgram([] { QCoreApplication::quit(); }), MMControl1(services.audio) {
    setObjectName(QStringLiteral("frmMain"));
    // Marked "Paletteer 95*" while the theme has unsaved changes.
    setWindowTitle(kTitle + QStringLiteral("[*]"));
    buildWindow();
    buildMenus();
    connectControls();
    attachTabs();
    followModel();
    // A text box asks first whether it wants a key that is also a shortcut;
    // that question reaches the application's filters before the box.
    QCoreApplication::instance()->installEventFilter(this);
}

FrmMain::~FrmMain() = default;

void FrmMain::buildWindow() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("frmMainClient"));
    setCentralWidget(central);
    auto* layout = new QVBoxLayout(central);

    auto* heading = new QHBoxLayout;
    Label1 = new QLabel(toQString(kProductTitle), central);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont titleFont = Label1->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 2);
    titleFont.setBold(true);
    Label1->setFont(titleFont);
    heading->addWidget(Label1);
    heading->addStretch(1);
    Label5 = new QLabel(QStringLiteral("Written by ") + toQString(kAuthorName), central);
    Label5->setObjectName(QStringLiteral("Label5"));
    heading->addWidget(Label5, 0, Qt::AlignBottom);
    layout->addLayout(heading);

    ThemeName = new QLabel(central);
    ThemeName->setObjectName(QStringLiteral("ThemeName"));
    QFont nameFont = ThemeName->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.5);
    nameFont.setBold(true);
    ThemeName->setFont(nameFont);
    ThemeName->setMinimumHeight(ThemeName->fontMetrics().height());
    layout->addWidget(ThemeName);
    lblDirectory = new QLabel(kDirectoryCaption, central);
    lblDirectory->setObjectName(QStringLiteral("lblDirectory"));
    lblDirectory->setToolTip(driveCDescription());
    layout->addWidget(lblDirectory);
    lblLoadFile = new QLabel(central);
    lblLoadFile->setObjectName(QStringLiteral("lblLoadFile"));
    lblLoadFile->hide();

    HelpPanel help = makeHelpPanel(0, central);
    layout->addWidget(help.panel);
    for (QLabel* label : {Label1, Label5, ThemeName, lblDirectory, help.lblHelp})
        makeLight(label);

    SSTab1 = new QTabWidget(central);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    // It takes the focus for its tab bar, so a screen reader names it too.
    SSTab1->setAccessibleName(QStringLiteral("Theme parts"));
    m_pointers = new PointersTab;
    m_sounds = new SoundsTab;
    m_visuals = new VisualsTab;
    m_colours = new ColoursTab;
    m_readMe = new ReadMeTab;
    SSTab1->addTab(m_pointers, QStringLiteral("Mouse Pointers"));
    SSTab1->addTab(m_sounds, QStringLiteral("Sounds"));
    SSTab1->addTab(m_visuals, QStringLiteral("Visuals"));
    SSTab1->addTab(m_colours, QStringLiteral("Colors"));
    SSTab1->addTab(m_readMe, QStringLiteral("ReadMe File"));
    for (int i = 0; i < SSTab1->count(); ++i)
        SSTab1->widget(i)->setAutoFillBackground(true); // the pages are not see-through
    SSTab1->setCurrentIndex(1);
    layout->addWidget(SSTab1, 1);

    const std::array<HelpPanel, kHelpPanelCount> panels{
        help,           m_pointers->help,     m_sounds->help, m_visuals->help, m_colours->help,
        m_readMe->help, m_colours->schemeHelp};
    for (int i = 0; i < kHelpPanelCount; ++i) {
        picHelp[i] = panels[i].picHelp;
        lblHelp[i] = panels[i].lblHelp;
    }

    auto* buttons = new QHBoxLayout;
    Command15 = new QPushButton(QStringLiteral("&Open a Theme"), central);
    Command15->setObjectName(QStringLiteral("Command15"));
    Command2 = new QPushButton(QStringLiteral("&Save Theme"), central);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command1 = new QPushButton(QStringLiteral("E&xit"), central);
    Command1->setObjectName(QStringLiteral("Command1"));
    buttons->addWidget(Command15);
    buttons->addWidget(Command2);
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    layout->addLayout(buttons);

    // The pointer buttons show the pointer of their role until a cursor file
    // is chosen ("Handwriting" gets its own from the start window).
    static constexpr std::array<StandardPointer, kPointerCount> kStartPointers{
        StandardPointer::Arrow,     StandardPointer::ArrowQuestion, StandardPointer::ArrowHourglass,
        StandardPointer::Hourglass, StandardPointer::Cross,         StandardPointer::IBeam,
        StandardPointer::Arrow,     StandardPointer::NoDrop,        StandardPointer::SizeNS,
        StandardPointer::SizeWE,    StandardPointer::SizeNWSE,      StandardPointer::SizeNESW,
        StandardPointer::SizeAll,   StandardPointer::UpArrow};
    for (int i = 0; i < kPointerCount; ++i)
        m_pointers->Command3[i]->setCursor(m_services.pictures.standardPointer(kStartPointers[i]));

    // Names, paths and colour texts come from files and the user.
    showLabelsAsPlainText(*this);
}

void FrmMain::buildMenus() {
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuOpen = mnuFile->addAction(QStringLiteral("&Open"));
    mnuOpen->setObjectName(QStringLiteral("mnuOpen"));
    mnuOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    // While drive C is a disk image: its themes, listed.
    mnuOpenImage = mnuFile->addAction(QStringLiteral("Open from Dis&k Image..."));
    mnuOpenImage->setObjectName(QStringLiteral("mnuOpenImage"));
    mnuOpenImage->setEnabled(activeImageDrive() != nullptr);
    connect(mnuFile, &QMenu::aboutToShow, this,
            [this] { mnuOpenImage->setEnabled(activeImageDrive() != nullptr); });
    mnuSave = mnuFile->addAction(QStringLiteral("&Save"));
    mnuSave->setObjectName(QStringLiteral("mnuSave"));
    mnuSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuSaveAs = mnuFile->addAction(QStringLiteral("Save &As"));
    mnuSaveAs->setObjectName(QStringLiteral("mnuSaveAs"));
    mnuSaveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    mnuPreview = mnuFile->addAction(QStringLiteral("Pre&view"));
    mnuPreview->setObjectName(QStringLiteral("mnuPreview"));
    mnuPreview->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuPack = mnuFile->addAction(QStringLiteral("&Pack Theme..."));
    mnuPack->setObjectName(QStringLiteral("mnuPack"));
    mnuInstall = mnuFile->addAction(QStringLiteral("&Install Theme Package..."));
    mnuInstall->setObjectName(QStringLiteral("mnuInstall"));
    mnuDrive = mnuFile->addAction(QStringLiteral("Drive &C..."));
    mnuDrive->setObjectName(QStringLiteral("mnuDrive"));
    mnuDash = mnuFile->addSeparator();
    mnuDash->setObjectName(QStringLiteral("mnuDash"));
    mnuExit = mnuFile->addAction(QStringLiteral("E&xit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    // Undo and Redo name the step they take back or do again.
    mnuEdit = menuBar()->addMenu(QStringLiteral("&Edit"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    mnuUndo = m_model.undoStack().createUndoAction(mnuEdit, QStringLiteral("&Undo"));
    mnuUndo->setObjectName(QStringLiteral("mnuUndo"));
    mnuUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuEdit->addAction(mnuUndo);
    mnuRedo = m_model.undoStack().createRedoAction(mnuEdit, QStringLiteral("&Redo"));
    mnuRedo->setObjectName(QStringLiteral("mnuRedo"));
    mnuRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    mnuEdit->addAction(mnuRedo);
    mnuEdit->addSeparator();
    mnuUsePreset = mnuEdit->addAction(QStringLiteral("Use Preset as &My Colors"));
    mnuUsePreset->setObjectName(QStringLiteral("mnuUsePreset"));

    mnuAbout = menuBar()->addMenu(QStringLiteral("&About"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    mnuAbout95 = mnuAbout->addAction(QStringLiteral("&About Paletteer 95"));
    mnuAbout95->setObjectName(QStringLiteral("mnuAbout95"));

    // Ctrl+Tab and Ctrl+Shift+Tab turn the tabs from any control of the
    // window, not only from the tabs themselves.
    nextTab = new QAction(QStringLiteral("Next tab"), this);
    nextTab->setObjectName(QStringLiteral("nextTab"));
    nextTab->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab));
    previousTab = new QAction(QStringLiteral("Previous tab"), this);
    previousTab->setObjectName(QStringLiteral("previousTab"));
    previousTab->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)});
    addActions({nextTab, previousTab});

    // Not in the menu bar: the pop-up of the play pictures.
    mnuRem = new QMenu(QStringLiteral("&Rem"), this);
    mnuRem->setObjectName(QStringLiteral("mnuRem"));
    mnuRemove = mnuRem->addAction(QStringLiteral("&Remove from Theme"));
    mnuRemove->setObjectName(QStringLiteral("mnuRemove"));
}

void FrmMain::connectControls() {
    connect(Command15, &QPushButton::clicked, this, &FrmMain::Command15_Click);
    connect(mnuOpen, &QAction::triggered, this, &FrmMain::Command15_Click);
    connect(Command2, &QPushButton::clicked, this, &FrmMain::Command2_Click);
    connect(mnuSave, &QAction::triggered, this, &FrmMain::Command2_Click);
    connect(mnuSaveAs, &QAction::triggered, this, &FrmMain::mnuSaveAs_Click);
    connect(mnuPreview, &QAction::triggered, this, &FrmMain::mnuPreview_Click);
    connect(mnuPack, &QAction::triggered, this, &FrmMain::mnuPack_Click);
    connect(mnuInstall, &QAction::triggered, this, &FrmMain::mnuInstall_Click);
    connect(mnuDrive, &QAction::triggered, this, &FrmMain::mnuDrive_Click);
    connect(mnuOpenImage, &QAction::triggered, this, &FrmMain::mnuOpenImage_Click);
    connect(Command1, &QPushButton::clicked, this, &QWidget::close);
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
    connect(mnuAbout95, &QAction::triggered, this, &FrmMain::aboutRequested);
    connect(nextTab, &QAction::triggered, this, [this] { turnTab(1); });
    connect(previousTab, &QAction::triggered, this, [this] { turnTab(-1); });

    connect(mnuUsePreset, &QAction::triggered, &m_model, &ThemeModel::usePresetAsOwnColours);

    // The model follows the ReadMe tab's controls.
    connect(m_readMe->chkReadMe, &QCheckBox::toggled, &m_model, &ThemeModel::setIncludeReadMe);
    connect(m_readMe->txtReadMe, &QTextEdit::textChanged, this, [this] {
        if (!m_showingReadMe)
            m_model.typeReadMe(plainText(*m_readMe->txtReadMe));
    });
    connect(m_readMe->Command14, &QPushButton::clicked, this, &FrmMain::Command14_Click);

    // Logging out asks the quit question too, while this is the window on show.
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& session) {
            if (m_ending || !isVisible())
                return;
            if (m_saving || !session.allowsInteraction() || !askQuit()) {
                session.cancel();
                return;
            }
            session.release();
            m_ending = true;
            Q_EMIT programEnding();
            m_endProgram();
        });
    }
}

// ---------------------------------------------------------------- window load

void FrmMain::ensureLoaded() {
    if (m_loaded)
        return;
    m_loaded = true;

    if (isBirthday(m_services.clock.today()))
        playBirthday();

    const auto info = m_services.pictures.loadPicture(programFile("info.icp"));
    for (QLabel* picture : picHelp)
        picture->setPixmap(info ? info.value() : QPixmap());
    for (int i = 0; i < kHelpPanelCount; ++i)
        lblHelp[i]->setText(helpText(i));
    // The help texts decide how tall the window must be.
    fixSizeToLayout(*this);

    setWindowIcon(m_services.pictures.windowIcon(programFile("theme.icp")));
    centreOnScreen(*this);

    m_colours->showColourMode(document().colourMode);
    m_visuals->Option2[document().tiled ? 1 : 0]->setChecked(true);

    const auto play = m_services.pictures.loadPicture(programFile("play.bmz"));
    for (QLabel* picture : m_sounds->Image2)
        picture->setPixmap(play ? play.value() : QPixmap());

    m_colours->Option1[document().preset]->setChecked(true);

    // A missing default ReadMe is an empty text.
    const auto readMe = loadDefaultReadMe(m_files, programDirectory());
    m_model.setInitialReadMe(readMe ? readMe.value() : QString());
    showReadMe();

    for (QRadioButton* preset : m_colours->Option1)
        preset->setEnabled(true);
}

void FrmMain::playBirthday() {
    // The greeting stands whether or not the tune can be heard.
    (void)playBirthdayTune(MMControl1, m_files, programDirectory());
    Label5->setText(birthdayGreeting());
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride)
        return QMainWindow::eventFilter(watched, event);
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this)
        return QMainWindow::eventFilter(watched, event);
    // The menu's keys work whichever control has the focus, as they do on the
    // system the themes are made for: the control is not asked.
    const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
    // In the ReadMe box Ctrl+A selects all of its text, as a text box does
    // (and Ctrl+Z undoes its typing: Undo is not among these).
    const bool inReadMe =
        watched == m_readMe->txtReadMe || watched == m_readMe->txtReadMe->viewport();
    for (const QAction* action :
         {mnuOpen, mnuSave, mnuSaveAs, mnuPreview, mnuExit, nextTab, previousTab}) {
        if (inReadMe && action == mnuSaveAs)
            continue;
        if (action->isEnabled() && action->shortcuts().contains(pressed)) {
            event->ignore();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void FrmMain::turnTab(int step) {
    // Round the ring, past any tab that is switched off, as the tabs do.
    const int count = SSTab1->count();
    for (int i = 1; i < count; ++i) {
        const int index = ((SSTab1->currentIndex() + step * i) % count + count) % count;
        if (SSTab1->isTabEnabled(index)) {
            SSTab1->setCurrentIndex(index);
            return;
        }
    }
}

void FrmMain::showEvent(QShowEvent* event) {
    ensureLoaded();
    QMainWindow::showEvent(event);
    if (!m_fittedText) {
        m_fittedText = true;
        fitWrappedText(*this);
    }
}

void FrmMain::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintBackground(painter, frameGeometry().size());
}

// ---------------------------------------------------------------- quitting

MsgAnswer FrmMain::message(const QString& text, MsgButtons buttons, MsgIcon icon) {
    return m_services.messages.show(this, text, buttons, kTitle, icon);
}

bool FrmMain::askQuit() {
    // With unsaved changes the question about them takes the quit question's
    // place; Yes or No to it quits.
    if (m_model.isModified())
        return askToSaveChanges();
    return message(kQuitQuestion, MsgButtons::YesNo) == MsgAnswer::Yes;
}

bool FrmMain::askToSaveChanges() {
    if (!m_model.isModified())
        return true;
    switch (message(kUnsavedQuestion.arg(document().name), MsgButtons::YesNoCancel)) {
    case MsgAnswer::Yes:
        return saveDocument(document().name);
    case MsgAnswer::No:
        return true;
    default:
        return false;
    }
}

void FrmMain::closeEvent(QCloseEvent* event) {
    if (m_ending) {
        event->accept();
        return;
    }
    // A save runs to its end; the quit question comes when it has ended.
    if (m_saving) {
        m_closeAfterSave = true;
        event->ignore();
        return;
    }
    if (!askQuit()) {
        event->ignore();
        return;
    }
    m_ending = true;
    event->accept();
    Q_EMIT programEnding();
    m_endProgram();
}

// ---------------------------------------------------------------- the document

void FrmMain::followModel() {
    QUndoStack& history = m_model.undoStack();
    connect(&history, &QUndoStack::cleanChanged, this,
            [this](bool clean) { setWindowModified(!clean); });
    connect(&m_model, &ThemeModel::nameChanged, this,
            [this] { ThemeName->setText(document().name); });
    connect(&m_model, &ThemeModel::includeReadMeChanged, this,
            [this] { m_readMe->chkReadMe->setChecked(document().includeReadMe); });
    connect(&m_model, &ThemeModel::readMeChanged, this, &FrmMain::showReadMe);
    const auto presetMode = [this] {
        mnuUsePreset->setEnabled(document().colourMode == ColourMode::Preset);
    };
    connect(&m_model, &ThemeModel::colourModeChanged, this, presetMode);
    presetMode();
}

void FrmMain::setThemeName(const QString& name) {
    m_model.setName(name);
}

void FrmMain::startNewTheme(const QString& name) {
    setThemeName(name);
    lblDirectory->setText(kDirectoryCaption + name + QLatin1Char('\\'));
}

void FrmMain::showReadMe() {
    // The same text again (typing, a save that reloaded what the tab held)
    // keeps the formatting the user gave it on screen.
    const QString& text = document().readMe;
    if (text == plainText(*m_readMe->txtReadMe))
        return;
    m_showingReadMe = true;
    setPlainText(*m_readMe->txtReadMe, text);
    m_showingReadMe = false;
    // The box's own form of the text (its line ends) is the document's.
    if (const QString shown = plainText(*m_readMe->txtReadMe); shown != text)
        m_model.setInitialReadMe(shown);
}

void FrmMain::GetColors() {
    m_model.getColors();
}

Status FrmMain::GenerateReadMe() {
    return ::p95::GenerateReadMe(m_files, document());
}

// ---------------------------------------------------------------- Open

void FrmMain::Command15_Click() {
    if (!askToSaveChanges())
        return;
    openThroughFileDialog();
}

void FrmMain::openThroughFileDialog() {
    refreshDriveC(); // on an image: the machine may have run since
    CommonDialog1.fileName.clear();
    CommonDialog1.initDir = toQString(kThemesRoot);
    CommonDialog1.dialogTitle = QStringLiteral("Choose a Theme to Open");
    CommonDialog1.filter = QStringLiteral("Themes (*.theme)|*.theme");
    CommonDialog1.defaultExt = QStringLiteral(".theme");
    CommonDialog1.filterIndex = 1;
    m_services.fileDialog.showOpen(CommonDialog1, this);
    const QString path = CommonDialog1.fileName;
    if (path.isEmpty())
        return;

    // Read first: a file that cannot be read, or is no theme, leaves the
    // window as it was.
    openThemeFile(path);
}

bool FrmMain::openThemeFile(const QString& path) {
    const ThemeFileToOpen file = readThemeToOpen(m_files, path);
    if (!file.ok()) {
        message(file.refusal, MsgButtons::Ok, MsgIcon::Warning);
        return false;
    }
    openTheme(file);
    return true;
}

void FrmMain::openTheme(const ThemeFileToOpen& file) {
    // The files on disk may have changed since they were last shown.
    m_pictures.clear();
    PreviewProbe probe(m_services.pictures, m_pictures);
    ThemeDocument start = document();
    start.name = themeNameFromPath(file.path);
    const ThemeReading reading = ::p95::readTheme(start, file.bytes, probe);
    showThemeFile(file.path);
    // An opened theme starts a fresh history, clean.
    m_model.replaceAll(reading.document);
    // The load-problem message keeps its words; which files it means are its details.
    const QString loadProblem = toQString(kLoadProblemMessage);
    for (const QString& text : reading.messages) {
        if (text == loadProblem && !reading.unloaded.isEmpty())
            m_services.messages.showWithDetails(this, text,
                                                reading.unloaded.join(QLatin1Char('\n')),
                                                MsgButtons::Ok, kTitle, MsgIcon::None);
        else
            message(text);
    }
}

void FrmMain::showThemeFile(const QString& path) {
    lblLoadFile->setText(path);
    lblDirectory->setText(kCurrentThemeCaption + path);
}

// ---------------------------------------------------------------- Save

bool FrmMain::refuseName(const QString& name) {
    const Status named = checkThemeName(name);
    if (!named.ok())
        message(named.error().reason, MsgButtons::Ok, MsgIcon::Warning);
    return !named.ok();
}

void FrmMain::Command2_Click() {
    // A theme opened from a file whose name the check refuses (My,Theme.theme)
    // is told at once, before a question that would lead nowhere.
    if (refuseName(document().name))
        return;
    const QString question = QStringLiteral("Are you sure you want to save this theme as ") +
                             document().name + QStringLiteral(".theme?");
    if (message(question, MsgButtons::OkCancel) != MsgAnswer::Ok)
        return;
    saveDocument(document().name);
}

void FrmMain::mnuSaveAs_Click() {
    // A refused name comes back in the box, to be corrected rather than typed again.
    QString answer = document().name;
    do {
        answer = m_services.input.ask(
            this, QStringLiteral("What would you like to call your saved theme?"), kTitle, answer);
        if (answer.isEmpty())
            return;
    } while (refuseName(answer));
    // Saving over another theme asks first; saving under its own name does not.
    const bool otherTheme = answer.compare(document().name, Qt::CaseInsensitive) != 0;
    if (otherTheme && m_files.fileExists(themeFilePath(answer)) &&
        message(kOverwriteQuestion, MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    saveDocument(answer);
}

bool FrmMain::askBeforeSaving() {
    // Every question is asked before any answer is acted on, so that a No or
    // Cancel to a later one leaves everything as it was.

    // The save reloads the default ReadMe into the tab; text typed since it
    // was last stored would be lost without a word.
    bool storeReadMe = false;
    if (const auto stored = loadDefaultReadMe(m_files, programDirectory());
        stored && stored.value() != document().readMe) {
        switch (message(kReadMeQuestion, MsgButtons::YesNoCancel)) {
        case MsgAnswer::Yes:
            storeReadMe = true;
            break;
        case MsgAnswer::No:
            break;
        default:
            return false;
        }
    }

    const bool createRoot = !themesRootExists(m_files);
    if (createRoot &&
        message(QStringLiteral("The themes folder %1 does not exist on drive C (on this computer "
                               "it is the folder %2). Do you want to create it and save the "
                               "theme?")
                    .arg(toQString(kThemesRoot), themesRootHostPath()),
                MsgButtons::YesNo) != MsgAnswer::Yes)
        return false;

    const QList<SlotRef> missing = missingFiles(document(), m_files);
    if (!missing.isEmpty() &&
        message(QStringLiteral("These files of the theme cannot be found:\n\n%1\n\nDo you want to "
                               "save the theme without them?")
                    .arg(missingFilesText(document(), missing)),
                MsgButtons::YesNo) != MsgAnswer::Yes)
        return false;

    if (createRoot) {
        if (const Status created = createThemesRoot(m_files); !created.ok()) {
            message(QStringLiteral("The themes folder could not be created, so the theme was not "
                                   "saved.\n\n") +
                        created.error().text(),
                    MsgButtons::Ok, MsgIcon::Warning);
            return false;
        }
    }
    if (storeReadMe && !storeReadMeAsDefault())
        return false;
    // Saved without them: the slots are emptied, each a step Undo takes back.
    for (SlotRef slot : missing)
        m_model.removeFile(slot);
    return true;
}

bool FrmMain::saveDocument(const QString& name) {
    // Checked before the questions, whose answers store the ReadMe or make
    // the themes folder: a save the name check would end must not do either.
    if (refuseName(name) || !askBeforeSaving())
        return false;
    setThemeName(name);
    const ThemeDocument doc = document();
    m_saving = true;
    SaveResult result = saveWithProgress(doc, m_files, this);
    m_saving = false;
    // On an image drive C the save is written into the image now, whole or nothing.
    if (result.outcome == SaveOutcome::Saved || result.outcome == SaveOutcome::SavedIncomplete) {
        if (const Status written = commitDriveC(); !written.ok()) {
            result.outcome = SaveOutcome::Failed;
            result.status = written;
        }
    }

    const bool saved =
        result.outcome == SaveOutcome::Saved || result.outcome == SaveOutcome::SavedIncomplete;
    if (saved) {
        // Show what the save left (the colours it wrote, the ReadMe it
        // reloaded) and where the theme lives now; the theme is clean.
        m_pictures.clear();
        showThemeDirectory(doc.name);
        m_model.saved(result.document);
    }
    switch (result.outcome) {
    case SaveOutcome::Saved:
        break;
    case SaveOutcome::SavedIncomplete:
        message(QStringLiteral("The theme %1 was saved, but one step did not complete.\n\n%2")
                    .arg(doc.name, result.status.error().text()),
                MsgButtons::Ok, MsgIcon::Warning);
        break;
    case SaveOutcome::MissingFiles:
        message(QStringLiteral("The theme %1 could not be saved: these files cannot be "
                               "found.\n\n%2")
                    .arg(doc.name, missingFilesText(doc, result.missing)),
                MsgButtons::Ok, MsgIcon::Warning);
        break;
    default: {
        QString text = QStringLiteral("The theme %1 could not be saved.").arg(doc.name);
        if (!result.status.ok())
            text += QStringLiteral("\n\n") + result.status.error().text();
        message(text, MsgButtons::Ok, MsgIcon::Warning);
        break;
    }
    }

    // A close asked for while the save ran comes now, with its question.
    if (m_closeAfterSave) {
        m_closeAfterSave = false;
        close();
    }
    return saved;
}

void FrmMain::showThemeDirectory(const QString& name) {
    lblLoadFile->setText(themeFilePath(name));
    lblDirectory->setText(kDirectoryCaption + name + QLatin1Char('\\'));
}

// ---------------------------------------------------------------- Preview

void FrmMain::mnuPreview_Click() {
    if (!m_preview) {
        m_preview =
            new FrmPreview(m_model, this, m_services.pictures.windowIcon(programFile("theme.icp")));
        m_preview->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_colours, &ColoursTab::pickerOpened, m_preview, &FrmPreview::followPicker);
        if (FrmColor* open = m_colours->picker(); open && open->isVisible())
            m_preview->followPicker(open);
    }
    // Shown without taking the focus: the editor keeps it.
    m_preview->show();
    m_preview->raise();
}

// ---------------------------------------------------------------- ReadMe

void FrmMain::Command14_Click() {
    storeReadMeAsDefault();
}

bool FrmMain::storeReadMeAsDefault() {
    if (const Status stored = storeDefaultReadMe(m_files, programDirectory(), document().readMe);
        !stored.ok()) {
        message(QStringLiteral("The default ReadMe could not be saved; your text is still in the "
                               "ReadMe tab.\n\n") +
                    stored.error().text(),
                MsgButtons::Ok, MsgIcon::Warning);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- Theme packages

void FrmMain::mnuPack_Click() {
    // A package holds the saved theme: unsaved changes are saved first, or
    // the user is told they are not in it.
    if (!askToSaveChanges())
        return;
    packSavedTheme(document().name, m_model.isModified(), m_services, m_files, this);
}

void FrmMain::mnuInstall_Click() {
    // The installed theme takes this one's place.
    if (!askToSaveChanges())
        return;
    CommonDialog dialog;
    dialog.dialogTitle = QStringLiteral("Install Theme Package");
    QStringList patterns;
    for (const QString& ending : packageFileEndings())
        patterns << QLatin1Char('*') + ending;
    dialog.filter = QStringLiteral("Theme Packages (zip, 7z, rar, lzh, cab, tar)|") +
                    patterns.join(QLatin1Char(';')) + QStringLiteral("|All Files (*.*)|*.*");
    dialog.filterIndex = 1;
    m_services.fileDialog.showOpen(dialog, this);
    if (!dialog.fileName.isEmpty())
        installPackageFile(dialog.fileName);
}

void FrmMain::mnuDrive_Click() {
    FrmDrive drive(m_services, this);
    if (drive.exec() == QDialog::Accepted)
        lblDirectory->setToolTip(driveCDescription());
}

void FrmMain::mnuOpenImage_Click() {
    if (!askToSaveChanges())
        return;
    FrmImageThemes themes(this);
    if (themes.exec() != QDialog::Accepted)
        return;
    if (themes.hostFilesChosen())
        openThroughFileDialog();
    else
        openThemeFile(themes.chosenTheme());
}

bool FrmMain::installPackageFile(const QString& archive,
                                 const std::function<void()>& beforeOpening) {
    const std::optional<QString> themeFile = installPackageFlow(archive, m_services, m_files, this);
    if (!themeFile)
        return false;
    if (beforeOpening)
        beforeOpening();
    return openThemeFile(*themeFile);
}

} // namespace p95
