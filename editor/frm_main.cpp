#include "editor/frm_main.h"

#include "editor/background.h"
#include "editor/birthday.h"
#include "editor/frm_preview.h"
#include "package/install.h"
#include "package/pack.h"
#include "platform/drive.h"
#include "platform/file_system.h"
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
#include <QEventLoop>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSessionManager>
#include <QTabWidget>
#include <QTextEdit>
#include <QThread>
#include <QVBoxLayout>

namespace p95 {

namespace {

const QString kTitle = QStringLiteral("Paletteer 95");
const QString kDirectoryCaption =
    QStringLiteral("Theme Directory:         ") + toQString(kThemesRoot);
const QString kCurrentThemeCaption = QStringLiteral("Current Theme:         ");
const QString kReadMeQuestion = QStringLiteral(
    "The ReadMe text has changed. Save it as the default ReadMe file first, so that this theme "
    "gets it?");
const QString kOverwriteQuestion = QStringLiteral(
    "The theme name you have chosen already exists. If you wish to continue, the file may be "
    "overwritten or damaged. Do you wish to continue?");

// A save that takes longer than this shows a progress dialog.
constexpr int kSaveProgressDelayMs = 500;

// The reader asks whether each picture loads; the answer comes from the same
// picture service that then shows it, and what loaded is kept for the preview.
class PreviewProbe : public PictureProbe {
public:
    explicit PreviewProbe(PictureService& pictures) : m_pictures(pictures) {}
    Status probe(const QString& path) const override {
        auto picture = m_pictures.loadPicture(path);
        if (!picture)
            return picture.error();
        loaded.insert(path, picture.value());
        return {};
    }
    mutable QHash<QString, QPixmap> loaded;

private:
    PictureService& m_pictures;
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
    setWindowTitle(kTitle);
    buildWindow();
    buildMenus();
    connectControls();
    attachTabs();
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

    // Hidden fields that carry values between windows, and the metric records.
    lblIndex = new QLineEdit(QStringLiteral("Text2"), central);
    lblIndex->setObjectName(QStringLiteral("lblIndex"));
    lblIndex->hide();
    LoadText = new QLineEdit(central);
    LoadText->setObjectName(QStringLiteral("LoadText"));
    LoadText->hide();
    IconMetrics = new QLabel(m_doc.iconMetrics, central);
    IconMetrics->setObjectName(QStringLiteral("IconMetrics"));
    IconMetrics->hide();
    NonclientMetrics = new QLabel(m_doc.nonclientMetrics, central);
    NonclientMetrics->setObjectName(QStringLiteral("NonclientMetrics"));
    NonclientMetrics->hide();

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
    mnuDash = mnuFile->addSeparator();
    mnuDash->setObjectName(QStringLiteral("mnuDash"));
    mnuExit = mnuFile->addAction(QStringLiteral("E&xit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

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
    connect(Command1, &QPushButton::clicked, this, &QWidget::close);
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
    connect(mnuAbout95, &QAction::triggered, this, &FrmMain::aboutRequested);
    connect(nextTab, &QAction::triggered, this, [this] { turnTab(1); });
    connect(previousTab, &QAction::triggered, this, [this] { turnTab(-1); });

    // Writing into LoadText is how another window makes this one load.
    connect(LoadText, &QLineEdit::textChanged, this, &FrmMain::ensureLoaded);

    // The document follows every control that holds part of it.
    connect(m_colours->modeGroup, &QButtonGroup::idClicked, this,
            [this](int id) { setColourMode(ColourMode(id)); });
    connect(m_colours->presetGroup, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on) {
            m_doc.preset = id;
            Q_EMIT documentChanged();
        }
    });
    connect(m_visuals->layoutGroup, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on) {
            m_doc.tiled = id == 1;
            Q_EMIT documentChanged();
        }
    });
    connect(m_readMe->chkReadMe, &QCheckBox::toggled, this,
            [this](bool on) { m_doc.includeReadMe = on; });
    connect(m_readMe->txtReadMe, &QTextEdit::textChanged, this, [this] {
        if (!m_showingReadMe)
            m_doc.readMe = plainText(*m_readMe->txtReadMe);
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

    setColourMode(ColourMode::Preset);
    m_visuals->Option2[0]->setChecked(true);

    const auto play = m_services.pictures.loadPicture(programFile("play.bmz"));
    for (QLabel* picture : m_sounds->Image2) {
        picture->setPixmap(play ? play.value() : QPixmap());
        picture->hide();
    }

    m_colours->Option1[0]->setChecked(true);

    // A missing default ReadMe is an empty text.
    const auto readMe = loadDefaultReadMe(m_files, programDirectory());
    showReadMe(readMe ? readMe.value() : QString());

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
    for (const QAction* action :
         {mnuOpen, mnuSave, mnuSaveAs, mnuPreview, mnuExit, nextTab, previousTab}) {
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
    return message(kQuitQuestion, MsgButtons::YesNo) == MsgAnswer::Yes;
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

void FrmMain::setThemeName(const QString& name) {
    m_doc.name = name;
    ThemeName->setText(name);
}

void FrmMain::setSlot(SlotRef slot, const QString& path, Preview preview) {
    m_doc.path(slot) = path;
    const auto previewPicture = [&]() -> QPixmap {
        QString file;
        switch (preview) {
        case Preview::None:
            return {};
        case Preview::File:
            file = path;
            break;
        case Preview::AnimatedPointer:
            file = programFile(kAnimatedPointerPicture.data());
            break;
        case Preview::JpegWallpaper:
            file = programFile(kJpegWallpaperPicture.data());
            break;
        }
        const auto picture = m_services.pictures.loadPicture(file);
        return picture ? picture.value() : QPixmap();
    };
    const int i = slot.index;
    switch (slot.family) {
    case SlotFamily::Pointer:
        m_pointers->Source[i]->setText(path);
        m_pointers->Image1[i]->setPixmap(previewPicture());
        break;
    case SlotFamily::Sound:
        m_sounds->Text1[i]->setText(path);
        m_sounds->Image2[i]->setVisible(!path.isEmpty());
        break;
    case SlotFamily::Icons:
        m_visuals->Icons[i]->setText(path);
        if (i < int(m_visuals->Image3.size()))
            m_visuals->Image3[i]->setPixmap(previewPicture());
        break;
    }
    Q_EMIT slotFilesChanged();
    Q_EMIT documentChanged();
}

void FrmMain::setColour(int index, const QString& text) {
    m_doc.colours.at(index) = text;
    m_colours->Label7[index]->setText(text);
    Q_EMIT documentChanged();
}

void FrmMain::setColourMode(ColourMode mode) {
    m_doc.colourMode = mode;
    m_colours->showColourMode(mode);
    Q_EMIT documentChanged();
}

void FrmMain::showSettings(const ThemeDocument& doc) {
    setThemeName(doc.name);
    m_doc.jpegWallpaper = doc.jpegWallpaper;
    m_visuals->Option2[doc.tiled ? 1 : 0]->setChecked(true);
    if (doc.preset >= 0 && doc.preset < kPresetCount)
        m_colours->Option1[doc.preset]->setChecked(true);
    setColourMode(doc.colourMode);
    for (int i = 0; i < kColourCount; ++i)
        setColour(i, doc.colours[i]);
    m_doc.iconMetrics = doc.iconMetrics;
    IconMetrics->setText(doc.iconMetrics);
    m_doc.nonclientMetrics = doc.nonclientMetrics;
    NonclientMetrics->setText(doc.nonclientMetrics);
    m_readMe->chkReadMe->setChecked(doc.includeReadMe);
    showReadMe(doc.readMe);
    // A theme opened or saved: its files may have changed on disk meanwhile.
    Q_EMIT slotFilesChanged();
    Q_EMIT documentChanged(); // the metric records and the JPEG flag too
}

void FrmMain::showReadMe(const QString& text) {
    // The same text again (an opened theme, a save that reloaded what the tab
    // held) keeps the formatting the user gave it on screen.
    if (text == plainText(*m_readMe->txtReadMe)) {
        m_doc.readMe = text;
        return;
    }
    m_showingReadMe = true;
    setPlainText(*m_readMe->txtReadMe, text);
    m_showingReadMe = false;
    m_doc.readMe = plainText(*m_readMe->txtReadMe);
}

void FrmMain::GetColors() {
    ::p95::GetColors(m_doc);
    for (int i = 0; i < kColourCount; ++i)
        m_colours->Label7[i]->setText(m_doc.colours[i]);
}

Status FrmMain::GenerateReadMe() {
    return ::p95::GenerateReadMe(m_files, m_doc);
}

// ---------------------------------------------------------------- Open

void FrmMain::Command15_Click() {
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

std::optional<QByteArray> FrmMain::readableTheme(const QString& path) {
    auto bytes = readThemeFile(m_files, path);
    if (const QString refusal = themeOpenRefusal(bytes, path); !refusal.isEmpty()) {
        message(refusal, MsgButtons::Ok, MsgIcon::Warning);
        return std::nullopt;
    }
    return bytes.value();
}

bool FrmMain::readTheme(const QString& path) {
    const auto bytes = readableTheme(path);
    if (!bytes)
        return false;
    showReading(*bytes);
    return true;
}

void FrmMain::showReading(const QByteArray& bytes) {
    PreviewProbe probe(m_services.pictures);
    const ThemeReading reading = ::p95::readTheme(m_doc, bytes, probe);
    showSettings(reading.document);
    for (SlotRef slot : copyOrder()) {
        const QString& path = reading.document.path(slot);
        const Preview preview = reading.preview(slot);
        if (preview == Preview::File && probe.loaded.contains(path)) {
            // Already loaded while reading: show it without loading again.
            setSlot(slot, path, Preview::None);
            const QPixmap& picture = probe.loaded.value(path);
            if (slot.family == SlotFamily::Pointer)
                m_pointers->Image1[slot.index]->setPixmap(picture);
            else if (slot.family == SlotFamily::Icons && slot.index < kScreenSaverIndex)
                m_visuals->Image3[slot.index]->setPixmap(picture);
        } else {
            setSlot(slot, path, preview);
        }
    }
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

// ---------------------------------------------------------------- Save

bool FrmMain::refuseName(const QString& name) {
    const auto problem = themeNameProblem(name);
    if (problem)
        message(*problem, MsgButtons::Ok, MsgIcon::Warning);
    return problem.has_value();
}

void FrmMain::Command2_Click() {
    // A theme opened from a file whose name the check refuses (My,Theme.theme)
    // is told at once, before a question that would lead nowhere.
    if (refuseName(m_doc.name))
        return;
    const QString question = QStringLiteral("Are you sure you want to save this theme as ") +
                             m_doc.name + QStringLiteral(".theme?");
    if (message(question, MsgButtons::OkCancel) != MsgAnswer::Ok)
        return;
    saveDocument(m_doc.name);
}

void FrmMain::mnuSaveAs_Click() {
    // A refused name comes back in the box, to be corrected rather than typed again.
    QString answer = m_doc.name;
    do {
        answer = m_services.input.ask(
            this, QStringLiteral("What would you like to call your saved theme?"), kTitle, answer);
        if (answer.isEmpty())
            return;
    } while (refuseName(answer));
    // Saving over another theme asks first; saving under its own name does not.
    const bool otherTheme = answer.compare(m_doc.name, Qt::CaseInsensitive) != 0;
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
        stored && stored.value() != m_doc.readMe) {
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

    const QList<SlotRef> missing = missingFiles(m_doc, m_files);
    if (!missing.isEmpty() &&
        message(QStringLiteral("These files of the theme cannot be found:\n\n%1\n\nDo you want to "
                               "save the theme without them?")
                    .arg(missingFilesText(m_doc, missing)),
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
    for (SlotRef slot : missing)
        setSlot(slot, QString(), Preview::None);
    return true;
}

void FrmMain::saveDocument(const QString& name) {
    // Checked before the questions, whose answers store the ReadMe or make
    // the themes folder: a save the name check would end must not do either.
    if (refuseName(name) || !askBeforeSaving())
        return;
    setThemeName(name);
    const ThemeDocument doc = m_doc;
    SaveResult result;
    m_saving = true;
    {
        // The save runs beside the event loop only so that a slow one can show
        // its progress; the window takes no input meanwhile.
        QProgressDialog progress(QStringLiteral("Saving the theme %1...").arg(doc.name), QString(),
                                 0, 0, this);
        progress.setObjectName(QStringLiteral("saveProgress"));
        progress.setWindowTitle(kTitle);
        progress.setWindowModality(Qt::ApplicationModal);
        progress.setCancelButton(nullptr);
        progress.setMinimumDuration(kSaveProgressDelayMs);
        progress.setValue(0);

        FileSystem& files = m_files;
        QThread* worker =
            QThread::create([&result, &doc, &files] { result = saveTheme(doc, files); });
        QEventLoop wait;
        connect(worker, &QThread::finished, &wait, &QEventLoop::quit);
        worker->start();
        wait.exec(QEventLoop::ExcludeUserInputEvents);
        worker->wait();
        delete worker;
    }
    m_saving = false;

    // Show what the save left: the colours it wrote and the ReadMe it reloaded.
    showSettings(result.document);
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
}

// ---------------------------------------------------------------- Preview

void FrmMain::mnuPreview_Click() {
    if (!m_preview) {
        m_preview = new FrmPreview(*this, m_services.pictures.windowIcon(programFile("theme.icp")));
        m_preview->setAttribute(Qt::WA_DeleteOnClose);
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
    if (const Status stored = storeDefaultReadMe(m_files, programDirectory(), m_doc.readMe);
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
    const QString name = m_doc.name;
    if (!m_files.fileExists(themeFilePath(name))) {
        message(QStringLiteral("The theme %1 has not been saved yet. A package holds the saved "
                               "theme: save it first.")
                    .arg(name),
                MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    CommonDialog dialog;
    dialog.dialogTitle = QStringLiteral("Pack Theme");
    dialog.filter = QStringLiteral("Zip Archives (*.zip)|*.zip");
    dialog.filterIndex = 1;
    dialog.defaultExt = QStringLiteral(".zip");
    dialog.initDir = QDir::homePath();
    dialog.fileName = QDir::homePath() + QLatin1Char('/') + name + QStringLiteral(".zip");
    for (;;) {
        if (!m_services.fileDialog.showSave(dialog, this))
            return;
        // No: choose another name in the same dialog.
        if (!m_files.fileExists(dialog.fileName) ||
            message(QStringLiteral("%1 already exists. Do you want to replace it?")
                        .arg(dialog.fileName),
                    MsgButtons::YesNo, MsgIcon::Warning) == MsgAnswer::Yes)
            break;
        dialog.initDir.clear();
    }
    const PackResult result = packTheme(name, dialog.fileName, m_files);
    if (result.problem) {
        message(QStringLiteral("The theme %1 could not be packed: %2.")
                    .arg(name, result.problem->message),
                MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    message(QStringLiteral("The theme %1 was packed into %2.").arg(name, dialog.fileName),
            MsgButtons::Ok, MsgIcon::Information);
}

void FrmMain::mnuInstall_Click() {
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

bool FrmMain::installPackageFile(const QString& archive,
                                 const std::function<void()>& beforeOpening) {
    const InstallPlan plan = planInstall(archive, m_files);
    if (plan.problem) {
        message(QStringLiteral("The package %1 cannot be installed: %2. Nothing was installed.")
                    .arg(archive, plan.problem->message),
                MsgButtons::Ok, MsgIcon::Warning);
        return false;
    }
    bool replace = false;
    if (!plan.existing.isEmpty()) {
        const bool one = plan.existingThemes.size() == 1;
        const QString question =
            (one ? QStringLiteral("The theme %1 is already installed. Installing the package "
                                  "replaces %2 of its files. Do you wish to replace them?")
                 : QStringLiteral("The themes %1 are already installed. Installing the package "
                                  "replaces %2 of their files. Do you wish to replace them?"))
                .arg(plan.existingThemes.join(QStringLiteral(", ")),
                     QString::number(plan.existing.size()));
        if (message(question, MsgButtons::YesNo, MsgIcon::Warning) != MsgAnswer::Yes)
            return false;
        replace = true;
    }
    const InstallResult result = installPackage(plan, m_files, replace);
    if (result.problem) {
        message(QStringLiteral("The package %1 could not be installed: %2.")
                    .arg(archive, result.problem->message),
                MsgButtons::Ok, MsgIcon::Warning);
        return false;
    }
    for (const InstalledTheme& theme : result.themes) {
        if (theme.unfound.isEmpty())
            continue;
        QStringList names;
        for (const QString& name : theme.unfound)
            names << QStringLiteral("%ThemeDir%") + name;
        message(QStringLiteral("The theme %1 was installed, but the package has no file for "
                               "these names of its .theme file:\n\n%2")
                    .arg(theme.name, names.join(QLatin1Char('\n'))),
                MsgButtons::Ok, MsgIcon::Warning);
    }

    // The installed theme opens; of several, the one the user picks from their list.
    const InstalledTheme* chosen = &result.themes.first();
    if (result.themes.size() > 1) {
        QStringList names;
        for (const InstalledTheme& theme : result.themes)
            names << theme.name;
        const int picked = m_services.choice.choose(
            this,
            QStringLiteral("The package held %1 themes. Which one would you like to open?")
                .arg(names.size()),
            kTitle, names);
        if (picked < 0 || picked >= names.size())
            return false;
        chosen = &result.themes.at(picked);
    }
    if (beforeOpening)
        beforeOpening();
    return openThemeFile(chosen->themeFile);
}

void FrmMain::showOpenedFile(const QString& path) {
    lblLoadFile->setText(path);
    lblDirectory->setText(kCurrentThemeCaption + path);
    setThemeName(themeNameFromPath(path));
}

bool FrmMain::openThemeFile(const QString& path) {
    const auto bytes = readableTheme(path);
    if (!bytes)
        return false;
    showOpenedFile(path);
    showReading(*bytes);
    return true;
}

} // namespace p95
