// The Theme Preview window: opened from the File menu, one at a time, and
// drawn afresh whenever the editor's document or the colour picker's bars
// change.

#include "preview_test_support.h"

#include "editor/frm_preview.h"
#include "ui/frm_color.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

namespace p95::test {
namespace {

class PreviewWindow : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        window = makeWindow();
    }

    FrmPreview* openPreview() {
        find<QAction>(*window, "mnuPreview")->trigger();
        return window->findChild<FrmPreview*>(QStringLiteral("frmPreview"));
    }
    // What the window shows now (grabbing paints it).
    static QImage shown(FrmPreview& preview) { return preview.grab().toImage(); }
    static bool showsColour(FrmPreview& preview, QRgb colour) {
        return countPixels(shown(preview), colour) > 1000;
    }

    std::unique_ptr<FrmMain> window;
};

TEST_F(PreviewWindow, FilePreviewOpensOneModelessThemePreviewDrawnAtItsSize) {
    auto* entry = find<QAction>(*window, "mnuPreview");
    EXPECT_EQ(entry->text(), QStringLiteral("Pre&view"));
    EXPECT_EQ(entry->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    FrmPreview* preview = openPreview();
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(preview->windowTitle(), QStringLiteral("Theme Preview"));
    EXPECT_FALSE(preview->isModal());
    EXPECT_EQ(openPreview(), preview);
    EXPECT_EQ(window->findChildren<FrmPreview*>().size(), 1);

    preview->resize(400, 300);
    QWidget& canvas = preview->canvas();
    EXPECT_EQ(shown(*preview).size(), QSize(400, 300));
    EXPECT_EQ(preview->picture().size(), canvas.size());
}

TEST_F(PreviewWindow, RedrawsWhenThePresetOrAColourChanges) {
    FrmPreview* preview = openPreview();
    EXPECT_TRUE(showsColour(*preview, qRgb(0, 128, 128))); // Default's Background
    const int before = preview->redraws();

    find<QRadioButton>(*window, "Option1_3")->click(); // Leonardo da Vinci
    EXPECT_TRUE(showsColour(*preview, qRgb(139, 101, 92)));
    EXPECT_FALSE(showsColour(*preview, qRgb(0, 128, 128)));

    // In own-colours mode a colour chosen in the picker shows once selected.
    find<QRadioButton>(*window, "Option13")->click();
    window->coloursTab().Label4_Click(1);
    FrmColor* picker = window->coloursTab().picker();
    ASSERT_NE(picker, nullptr);
    find<QScrollBar>(*picker, "HScroll2")->setValue(5);
    find<QPushButton>(*picker, "Command2")->click();
    EXPECT_EQ(window->document().colours[1], QStringLiteral("0 5 128"));
    EXPECT_TRUE(showsColour(*preview, qRgb(0, 5, 128)));
    EXPECT_GT(preview->redraws(), before + 1);
}

TEST_F(PreviewWindow, FollowsThePickersBarsBeforeSelectAndCancelPutsTheColourBack) {
    find<QRadioButton>(*window, "Option13")->click();
    // A picker already open when the preview opens is followed too.
    window->coloursTab().Label4_Click(1);
    FrmColor* picker = window->coloursTab().picker();
    ASSERT_NE(picker, nullptr);
    FrmPreview* preview = openPreview();
    find<QScrollBar>(*picker, "HScroll1")->setValue(250);
    EXPECT_TRUE(showsColour(*preview, qRgb(250, 128, 128)));
    EXPECT_EQ(window->document().colours[1], QStringLiteral("0 128 128"));
    find<QPushButton>(*picker, "Command1")->click(); // Cancel
    EXPECT_TRUE(showsColour(*preview, qRgb(0, 128, 128)));
    EXPECT_FALSE(showsColour(*preview, qRgb(250, 128, 128)));

    // A picker opened later, moved to another colour while open: the bars
    // move to that colour, and the preview shows what Select would store.
    window->coloursTab().Label4_Click(5); // Window
    picker = window->coloursTab().picker();
    ASSERT_NE(picker, nullptr);
    find<QScrollBar>(*picker, "HScroll3")->setValue(40);
    const QRgb white = qRgb(255, 255, 255), yellow = qRgb(255, 255, 40);
    EXPECT_LT(countPixels(shown(*preview), white), 20000);
    window->coloursTab().Label4_Click(1);
    const QImage retargeted = shown(*preview);
    EXPECT_GT(countPixels(retargeted, white), 30000);             // Window is itself again
    EXPECT_EQ(countPixels(retargeted, yellow), 0);                // nothing took its values
    EXPECT_GT(countPixels(retargeted, qRgb(0, 128, 128)), 50000); // the desktop as it is
}

TEST_F(PreviewWindow, OffersThreeScreensAndTheDesktopAloneLeavesTheFocusAndClosesWithEscape) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QPointer<FrmPreview> preview = openPreview();
    ASSERT_NE(preview, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(preview.data()));
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), window.get());

    auto* screens = find<QComboBox>(*preview, "cboScreen");
    ASSERT_EQ(screens->count(), 3);
    EXPECT_EQ(screens->currentData().toSize(), QSize(800, 600));
    // The windows keep their pixel sizes: smaller on a larger screen.
    const QRgb title = qRgb(0, 0, 128); // Default's Active Title
    screens->setCurrentIndex(0);
    const qsizetype at640 = countPixels(shown(*preview), title);
    screens->setCurrentIndex(2);
    const qsizetype at1024 = countPixels(shown(*preview), title);
    EXPECT_GT(at640, at1024 * 2);
    EXPECT_GT(at1024, 500);

    find<QCheckBox>(*preview, "chkDesktopAlone")->setChecked(true);
    EXPECT_LT(countPixels(shown(*preview), title), 100);

    QTest::keyClick(preview.data(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(preview.isNull() || !preview->isVisible());
}

TEST(PreviewPlacement, BesideTheEditorWhereTheScreenHasRoomElseCoveringLeastOfIt) {
    const QRect screen(0, 0, 1920, 1080);
    const QSize size(800, 650);
    // Room on the right, then only on the left.
    EXPECT_EQ(placeBeside(QRect(100, 100, 700, 500), size, screen), QPoint(800, 100));
    EXPECT_EQ(placeBeside(QRect(1000, 100, 700, 500), size, screen), QPoint(200, 100));
    // Room nowhere: kept on the screen, over as little of the editor as can be.
    const QRect editor(560, 200, 800, 600);
    const QPoint at = placeBeside(editor, size, screen);
    EXPECT_TRUE(screen.contains(QRect(at, size)));
    const QRect covered = QRect(at, size).intersected(editor);
    EXPECT_LE(covered.width() * covered.height(), 240 * 600);
}

} // namespace
} // namespace p95::test
