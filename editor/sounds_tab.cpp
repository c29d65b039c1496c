#include "editor/sounds_tab.h"
#include "platform/drive.h"

#include "platform/wave_file.h"
#include "ui/widget_names.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace p95 {

namespace {
constexpr int kRowsPerColumn = 5;
const QString kPlayPicture = QStringLiteral("play.bmz");
const QString kPressedPlayPicture = QStringLiteral("play2.bmz");
} // namespace

SoundsTab::SoundsTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tabSounds"));
    auto* layout = new QVBoxLayout(this);
    help = makeHelpPanel(2, this);
    layout->addWidget(help.panel);

    Frame7 = new QGroupBox(QStringLiteral("Sound Effects"), this);
    Frame7->setObjectName(QStringLiteral("Frame7"));
    layout->addWidget(Frame7, 1);
    auto* grid = new QGridLayout(Frame7);

    for (int i = 0; i < kSoundCount; ++i) {
        Command4[i] = new QPushButton(toQString(kSoundSlots[i].caption), Frame7);
        Command4[i]->setObjectName(arrayName("Command4", i));
        Command4[i]->setAccessibleDescription(
            QStringLiteral("chooses the sound file; the Menu key offers to remove it"));
        Text1[i] = new QLineEdit(Frame7);
        Text1[i]->setObjectName(arrayName("Text1", i));
        Text1[i]->hide();
        Image2[i] = makePicture(arrayName("Image2", i), kPlayPictureSize, Frame7);
        // A picture, not a text: without a name a screen reader has nothing to say.
        makeKeyboardLabel(Image2[i]);
        Image2[i]->setAccessibleName(QStringLiteral("Play ") + toQString(kSoundSlots[i].caption));
        Image2[i]->setAccessibleDescription(
            QStringLiteral("Space or Enter plays the sound; the Menu key offers to remove it"));
        // A play picture appears and disappears without the buttons moving.
        QSizePolicy policy = Image2[i]->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        Image2[i]->setSizePolicy(policy);

        // Four columns of five, filled top to bottom; the play picture right
        // of its button.
        const int row = i % kRowsPerColumn;
        const int column = (i / kRowsPerColumn) * 2;
        grid->addWidget(Command4[i], row, column);
        grid->addWidget(Image2[i], row, column + 1);
    }
    for (int column = 0; column < 8; column += 2)
        grid->setColumnStretch(column, 1);
}

SoundsTab::~SoundsTab() = default;

void SoundsTab::attach(const TabContext& context) {
    m_context = std::make_unique<TabContext>(context);
    for (int i = 0; i < kSoundCount; ++i) {
        connect(Command4[i], &QPushButton::clicked, this, [this, i] { Command4_Click(i); });
        Image2[i]->installEventFilter(this);
    }
    if (RemoveMenu* removal = m_context->removal) {
        for (int i = 0; i < kSoundCount; ++i) {
            removal->watch(Command4[i], SlotRef{SlotFamily::Sound, i});
            removal->watch(Image2[i], SlotRef{SlotFamily::Sound, i});
        }
        connect(removal, &RemoveMenu::removeRequested, this, [this](SlotRef slot) {
            if (slot.family == SlotFamily::Sound)
                removeSound(slot.index);
        });
    }
}

void SoundsTab::Command4_Click(int i) {
    const TabContext& c = *m_context;
    MciDevice& MMControl1 = c.services.audio;
    MMControl1.setFileName(QString());
    const QString f =
        c.chooseFile(QStringLiteral("Choose the sound for ") + toQString(kSoundSlots[i].caption),
                     QStringLiteral("Sounds (*.wav)|*.wav"), 1, QStringLiteral(".wav"));
    // Whatever the outcome, nothing stays open from before the choice.
    if (MMControl1.mode() != MciMode::NotOpen)
        (void)MMControl1.command(QStringLiteral("Close")); // closing cannot be refused
    if (f.isEmpty())
        return;
    MMControl1.setFileName(f);
    if (f.right(4).toUpper() != QStringLiteral(".WAV"))
        return;
    // A text file named .wav would play nothing and go into the theme as a sound.
    if (const Status wave = checkWaveFile(f); !wave.ok()) {
        c.message(
            QStringLiteral("The file \"%1\" is not a wave sound (%2), so it cannot be used in "
                           "the theme. Your earlier choice has been kept.")
                .arg(f, wave.error().reason),
            MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    c.setSlot(SlotRef{SlotFamily::Sound, i}, f, Preview::None);
    MMControl1.setDeviceType(QStringLiteral("WaveAudio"));
}

void SoundsTab::Image2_Click(int i) {
    const QString path = Text1[i]->text();
    if (path.isEmpty())
        return;
    const TabContext& c = *m_context;
    MciDevice& MMControl1 = c.services.audio;
    if (MMControl1.mode() != MciMode::NotOpen)
        (void)MMControl1.command(QStringLiteral("Close")); // closing cannot be refused
    MMControl1.setFileName(path);
    Status played = MMControl1.command(QStringLiteral("Open"));
    // The player reads the file in the background: a file it cannot play is
    // only known once it has tried, and would otherwise pass in silence.
    if (played.ok())
        played = MMControl1.waitUntilLoaded();
    // Without a sound server or sound card the player plays into nothing and
    // says so only on standard error.
    if (played.ok() && !MMControl1.hasOutput())
        played = Error{QStringLiteral("Playing the sound"), path,
                       QStringLiteral("no sound output was found: no sound server or sound card "
                                      "is available")};
    if (played.ok())
        played = MMControl1.command(QStringLiteral("Play"));
    if (played.ok())
        played = MMControl1.command(QStringLiteral("Prev"));
    // Silence would look like a broken button: say why nothing is heard.
    if (!played.ok()) {
        const QString reason = played.error().why();
        c.message(QStringLiteral("The sound \"%1\" could not be played (%2).").arg(path, reason),
                  MsgButtons::Ok, MsgIcon::Warning);
    }
}

int SoundsTab::currentSound() const {
    const SlotRef slot = m_context && m_context->removal ? m_context->removal->slot()
                                                         : SlotRef{SlotFamily::Sound, 0};
    return slot.family == SlotFamily::Sound ? slot.index : -1;
}

void SoundsTab::removeSound(int i) {
    const TabContext& c = *m_context;
    const SlotRef slot{SlotFamily::Sound, i};
    if (c.confirmRemoval(slot))
        c.setSlot(slot, QString(), Preview::None);
}

void SoundsTab::showPicture(int i, const QString& file) {
    // A missing picture leaves the one on show.
    const auto picture = m_context->services.pictures.loadPicture(programFile(file));
    if (picture)
        Image2[i]->setPixmap(picture.value());
}

bool SoundsTab::eventFilter(QObject* watched, QEvent* event) {
    const auto found = std::find(Image2.begin(), Image2.end(), watched);
    if (found == Image2.end() || !m_context)
        return QWidget::eventFilter(watched, event);
    const int i = int(found - Image2.begin());
    // The right button and the Menu key belong to the removal pop-up.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::RightButton)
            showPicture(i, kPressedPlayPicture);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        showPicture(i, kPlayPicture);
        // A click is a left press and release over the picture.
        if (mouse->button() == Qt::LeftButton &&
            Image2[i]->rect().contains(mouse->position().toPoint()))
            Image2_Click(i);
        return true;
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (isActivationKey(*key)) {
            if (!key->isAutoRepeat())
                Image2_Click(i);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace p95
