#include "editor/visuals_tab.h"

#include "ui/widget_names.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace p95 {

namespace {
// The wallpaper preview is a small screen: four by three.
constexpr int kWallpaperPreviewWidth = 160;
constexpr int kWallpaperPreviewHeight = 120;
} // namespace

VisualsTab::VisualsTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tabVisuals"));
    auto* layout = new QVBoxLayout(this);
    help = makeHelpPanel(3, this);
    layout->addWidget(help.panel);

    auto* frames = new QGridLayout;
    layout->addLayout(frames, 1);

    // Icons: a two-by-two grid, each preview above its button; the Recycle
    // Bin on top, My Computer and Network Neighbourhood below.
    Frame5 = new QGroupBox(QStringLiteral("Icons"), this);
    Frame5->setObjectName(QStringLiteral("Frame5"));
    auto* iconGrid = new QGridLayout(Frame5);
    struct Place {
        int index, row, column;
    };
    for (const Place place : {Place{4, 0, 0}, Place{3, 0, 1}, Place{1, 2, 0}, Place{2, 2, 1}}) {
        const int k = place.index;
        Image3[k] = makePicture(arrayName("Image3", k), kIconPreviewSize, Frame5);
        Command5[k] = new QPushButton(toQString(kIconsCaptions[k]), Frame5);
        Command5[k]->setObjectName(arrayName("Command5", k));
        Command5[k]->setAccessibleDescription(
            QStringLiteral("chooses the icon file; the Menu key offers to remove it"));
        iconGrid->addWidget(Image3[k], place.row, place.column, Qt::AlignHCenter);
        iconGrid->addWidget(Command5[k], place.row + 1, place.column);
    }
    frames->addWidget(Frame5, 0, 0);

    // Wallpaper: its button and layout choice beside a screen-shaped preview.
    Frame4 = new QGroupBox(QStringLiteral("Wallpaper"), this);
    Frame4->setObjectName(QStringLiteral("Frame4"));
    auto* wallpaperLayout = new QHBoxLayout(Frame4);
    auto* wallpaperControls = new QVBoxLayout;
    Command7 = new QPushButton(QStringLiteral("Wallpaper"), Frame4);
    Command7->setObjectName(QStringLiteral("Command7"));
    Command7->setAccessibleDescription(
        QStringLiteral("chooses the wallpaper picture; the Menu key offers to remove it"));
    wallpaperControls->addWidget(Command7);
    layoutGroup = new QButtonGroup(this);
    const QString layoutCaptions[2] = {QStringLiteral("Center"), QStringLiteral("Tiled")};
    for (int i = 0; i < 2; ++i) {
        Option2[i] = new QRadioButton(layoutCaptions[i], Frame4);
        Option2[i]->setObjectName(arrayName("Option2", i));
        layoutGroup->addButton(Option2[i], i);
        wallpaperControls->addWidget(Option2[i]);
    }
    wallpaperControls->addStretch(1);
    wallpaperLayout->addLayout(wallpaperControls);
    Image3[0] = new QLabel(Frame4);
    Image3[0]->setObjectName(QStringLiteral("Image3_0"));
    Image3[0]->setFixedSize(kWallpaperPreviewWidth, kWallpaperPreviewHeight);
    Image3[0]->setFrameShape(QFrame::Panel);
    Image3[0]->setFrameShadow(QFrame::Sunken);
    Image3[0]->setAlignment(Qt::AlignCenter);
    Image3[0]->setScaledContents(true);
    wallpaperLayout->addWidget(Image3[0]);
    // Pictures, not texts: named for screen readers after the slot they show.
    for (int k = 0; k < int(Image3.size()); ++k)
        Image3[k]->setAccessibleName(QStringLiteral("Preview of ") + toQString(kIconsCaptions[k]));
    frames->addWidget(Frame4, 0, 1);

    // Screen saver: its button and the chosen path, the one visible Icons entry.
    Frame1 = new QGroupBox(QStringLiteral("Screen Saver"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* saverLayout = new QHBoxLayout(Frame1);
    Command6 = new QPushButton(QStringLiteral("Screen Saver"), Frame1);
    Command6->setObjectName(QStringLiteral("Command6"));
    Command6->setAccessibleDescription(
        QStringLiteral("chooses the screen saver; the Menu key offers to remove it"));
    saverLayout->addWidget(Command6);
    frames->addWidget(Frame1, 1, 0, 1, 2);

    for (int k = 0; k < kIconsCount; ++k) {
        QWidget* owner = k == kScreenSaverIndex ? static_cast<QWidget*>(Frame1) : this;
        Icons[k] = new QLabel(owner);
        Icons[k]->setObjectName(arrayName("Icons", k));
        if (k == kScreenSaverIndex) {
            Icons[k]->setTextInteractionFlags(Qt::TextSelectableByMouse);
            saverLayout->addWidget(Icons[k], 1);
        } else {
            Icons[k]->hide();
        }
    }
}

VisualsTab::~VisualsTab() = default;

void VisualsTab::attach(const TabContext& context) {
    m_context = std::make_unique<TabContext>(context);
    for (int k = kFirstDesktopIcon; k <= kLastDesktopIcon; ++k)
        connect(Command5[k], &QPushButton::clicked, this, [this, k] { Command5_Click(k); });
    connect(Command6, &QPushButton::clicked, this, &VisualsTab::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &VisualsTab::Command7_Click);

    RemoveMenu* removal = m_context->removal;
    if (!removal)
        return;
    const auto slot = [](int k) { return SlotRef{SlotFamily::Icons, k}; };
    for (int k = kFirstDesktopIcon; k <= kLastDesktopIcon; ++k)
        removal->watch(Command5[k], slot(k));
    for (int k = 0; k < int(Image3.size()); ++k)
        removal->watch(Image3[k], slot(k));
    removal->watch(Command7, slot(kWallpaperIndex));
    removal->watch(Command6, slot(kScreenSaverIndex));
    removal->watch(Icons[kScreenSaverIndex], slot(kScreenSaverIndex));
    connect(removal, &RemoveMenu::removeRequested, this, [this](SlotRef removed) {
        if (removed.family == SlotFamily::Icons)
            removeVisual(removed.index);
    });
}

void VisualsTab::removeVisual(int k) {
    const SlotRef slot{SlotFamily::Icons, k};
    if (!m_context->confirmRemoval(slot))
        return;
    m_context->setSlot(slot, QString(), Preview::None);
    if (k == kWallpaperIndex)
        m_context->setJpegWallpaper(false);
}

std::optional<QPixmap> VisualsTab::loadChosenPicture(const QString& path) const {
    auto picture = m_context->services.pictures.loadPicture(path);
    if (!picture) {
        m_context->message(unloadablePictureMessage(path, picture.error()), MsgButtons::Ok,
                           MsgIcon::Warning);
        return std::nullopt;
    }
    return picture.value();
}

void VisualsTab::Command5_Click(int k) {
    const TabContext& c = *m_context;
    const QString f =
        c.chooseFile(toQString(kIconsCaptions[k]) + QStringLiteral(" Picture"),
                     QStringLiteral("Picture Files (*.ico)|*.ico"), 1, QStringLiteral(".ico"));
    if (f.isEmpty())
        return;
    const auto picture = loadChosenPicture(f);
    if (!picture)
        return;
    c.setSlot(SlotRef{SlotFamily::Icons, k}, f, Preview::None);
    Image3[k]->setPixmap(*picture);
}

void VisualsTab::Command6_Click() {
    const TabContext& c = *m_context;
    const QString f =
        c.chooseFile(QStringLiteral("Select a Screen Saver for your theme"),
                     QStringLiteral("Screen Savers (*.scr)|*.scr"), 1, QStringLiteral(".scr"));
    if (f.isEmpty())
        return;
    c.setSlot(SlotRef{SlotFamily::Icons, kScreenSaverIndex}, f, Preview::None);
}

void VisualsTab::Command7_Click() {
    const TabContext& c = *m_context;
    const QString f =
        c.chooseFile(QStringLiteral("Wallpaper Picture"),
                     QStringLiteral("Picture Files (*.bmp)|*.bmp|JPG Backgrounds (*.jpg)|*.jpg"), 2,
                     QStringLiteral(".jpg"));
    // The bare pattern comes back when the dialog is left on it: not a file.
    if (f.isEmpty() || f == QStringLiteral("*.jpg"))
        return;
    const SlotRef slot{SlotFamily::Icons, kWallpaperIndex};
    if (f.right(4).toUpper() == QStringLiteral(".JPG")) {
        // JPG wallpapers are not previewed: a placeholder stands in.
        c.setSlot(slot, f, Preview::JpegWallpaper);
        c.setJpegWallpaper(true);
        return;
    }
    const auto picture = loadChosenPicture(f);
    if (!picture)
        return;
    c.setSlot(slot, f, Preview::None);
    Image3[kWallpaperIndex]->setPixmap(*picture);
    c.setJpegWallpaper(false);
}

} // namespace p95
