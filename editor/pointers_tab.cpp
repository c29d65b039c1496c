#include "editor/pointers_tab.h"
#include "platform/drive.h"

#include "platform/pictures/picture_loader.h"
#include "ui/widget_names.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace p95 {

namespace {
constexpr int kRowsPerColumn = 7;
constexpr int kHandwriting = 6;
} // namespace

PointersTab::PointersTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tabPointers"));
    auto* layout = new QVBoxLayout(this);
    help = makeHelpPanel(1, this);
    layout->addWidget(help.panel);

    Frame8 = new QGroupBox(QStringLiteral("Mouse Pointers"), this);
    Frame8->setObjectName(QStringLiteral("Frame8"));
    layout->addWidget(Frame8, 1);
    auto* grid = new QGridLayout(Frame8);

    for (int i = 0; i < kPointerCount; ++i) {
        Command3[i] = new QPushButton(toQString(kPointerSlots[i].caption), Frame8);
        Command3[i]->setObjectName(arrayName("Command3", i));
        // The caption names a pointer's role; what pressing it does is not in it.
        Command3[i]->setAccessibleDescription(
            QStringLiteral("chooses the pointer file; the Menu key offers to remove it"));
        Image1[i] = makePicture(arrayName("Image1", i), kPointerPreviewSize, Frame8);
        Image1[i]->setAccessibleName(QStringLiteral("Preview of ") +
                                     toQString(kPointerSlots[i].caption));
        Source[i] = new QLabel(Frame8);
        Source[i]->setObjectName(arrayName("Source", i));
        Source[i]->hide();

        // Left column 0..6 with the preview on the left; right column 7..13
        // with the preview on the right.
        const int row = i % kRowsPerColumn;
        if (i < kRowsPerColumn) {
            grid->addWidget(Image1[i], row, 0);
            grid->addWidget(Command3[i], row, 1);
        } else {
            grid->addWidget(Command3[i], row, 3);
            grid->addWidget(Image1[i], row, 4);
        }
    }
    grid->setColumnMinimumWidth(2, fontMetrics().averageCharWidth() * 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
}

PointersTab::~PointersTab() = default;

void PointersTab::attach(const TabContext& context) {
    m_context = std::make_unique<TabContext>(context);
    for (int i = 0; i < kPointerCount; ++i) {
        connect(Command3[i], &QPushButton::clicked, this, [this, i] { Command3_Click(i); });
        m_startPointers[i] = Command3[i]->cursor();
    }
    if (RemoveMenu* removal = m_context->removal) {
        for (int i = 0; i < kPointerCount; ++i) {
            removal->watch(Command3[i], SlotRef{SlotFamily::Pointer, i});
            removal->watch(Image1[i], SlotRef{SlotFamily::Pointer, i});
        }
        connect(removal, &RemoveMenu::removeRequested, this, [this](SlotRef slot) {
            if (slot.family == SlotFamily::Pointer)
                removePointer(slot.index);
        });
    }
}

void PointersTab::removePointer(int i) {
    const SlotRef slot{SlotFamily::Pointer, i};
    if (!m_context->confirmRemoval(slot))
        return;
    m_context->setSlot(slot, QString(), Preview::None);
    Command3[i]->setCursor(m_startPointers[i]);
}

void PointersTab::showHandwritingPointer() {
    // A missing pen keeps the standard pointer: the file is decoration.
    const auto pen =
        m_context->services.pictures.loadCursor(programFile(QStringLiteral("pen.cuz")));
    if (!pen)
        return;
    m_startPointers[kHandwriting] = pen.value();
    Command3[kHandwriting]->setCursor(pen.value());
}

void PointersTab::Command3_Click(int i) {
    const TabContext& c = *m_context;
    const QString f =
        c.chooseFile(QStringLiteral("Choose an arrow for ") + toQString(kPointerSlots[i].caption),
                     QStringLiteral("Cursor Files (*.cur)|*.cur|Animated Cursors (*.ani)|*.ani"), 1,
                     QStringLiteral(".cur"));
    const SlotRef slot{SlotFamily::Pointer, i};

    // Any letter case: files from the DOS era are named ARROW.CUR.
    if (f.endsWith(QStringLiteral(".ani"), Qt::CaseInsensitive)) {
        // Anything else named .ani would go into the theme as a pointer.
        if (const Status animated = checkAnimatedCursorFile(f); !animated.ok()) {
            c.message(QStringLiteral("The file \"%1\" is not an animated pointer (%2), so it "
                                     "cannot be used in the theme. Your earlier choice has been "
                                     "kept.")
                          .arg(f, animated.error().reason),
                      MsgButtons::Ok, MsgIcon::Warning);
            return;
        }
        // Animated pointers are not previewed, and the hover pointer stays.
        c.setSlot(slot, f, Preview::AnimatedPointer);
        return;
    }
    if (f.isEmpty() || !f.endsWith(QStringLiteral(".cur"), Qt::CaseInsensitive))
        return;

    // A file that is not a cursor would go into the theme as one: refuse it.
    PictureService& pictures = c.services.pictures;
    auto preview = pictures.loadPicture(f);
    auto cursor = preview ? pictures.loadCursor(f) : Result<QCursor>(preview.error());
    if (!preview || !cursor) {
        const Error& error = preview ? cursor.error() : preview.error();
        c.message(unloadablePictureMessage(f, error), MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    c.setSlot(slot, f, Preview::None);
    Image1[i]->setPixmap(preview.value());
    Command3[i]->setCursor(cursor.value());
}

} // namespace p95
