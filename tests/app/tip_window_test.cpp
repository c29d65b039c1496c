// The Tip of the Day window: the first window, its tip, its hand-over to the
// start window and its quit question.

#include "app_test_support.h"

#include <QTest>

namespace p95::test {
namespace {

using TipWindow = StartUpFixture;

TEST_F(TipWindow, ComesFirstWithTheEditorLoadedButHidden) {
    ASSERT_FALSE(editor->isLoaded());
    Form1* tip = flow->start();
    EXPECT_TRUE(tip->isVisible());
    EXPECT_EQ(tip->windowTitle(), QStringLiteral("Tip of the Day"));
    EXPECT_TRUE(editor->isLoaded());
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(flow->startWindow(), nullptr);

    EXPECT_EQ(find<QLabel>(*tip, "Label1")->text(), QStringLiteral("Tip of the Day"));
    EXPECT_EQ(find<QLabel>(*tip, "productLabel")->text(), QStringLiteral("Paletteer 95 v2.0"));
    EXPECT_EQ(find<QPushButton>(*tip, "Command2")->text(), QStringLiteral("&Get Another Tip"));
    EXPECT_EQ(find<QPushButton>(*tip, "Command1")->text(), QStringLiteral("&Continue..."));
    EXPECT_TRUE(find<QPushButton>(*tip, "Command1")->isDefault());
    EXPECT_TRUE(find<QLineEdit>(*tip, "Text1")->isHidden());
    EXPECT_TRUE(find<QLabel>(*tip, "Label4")->text().isEmpty());
    // Its pictures come from the program directory.
    EXPECT_TRUE(
        fakes.pictures.icons.contains(programDirectory() + QStringLiteral("\\tipofday.icp")));
    EXPECT_TRUE(
        fakes.pictures.loaded.contains(programDirectory() + QStringLiteral("\\tipofday.icp")));
}

TEST_F(TipWindow, AFileWhoseLineOneIsThreeShowsLineTwoOrThreeOnly) {
    randoms = {0.0, 0.49, 0.5, 0.99};
    Form1* tip = flow->start();
    auto* label = find<QLabel>(*tip, "Label6");
    auto* number = find<QLineEdit>(*tip, "Text1");
    EXPECT_EQ(label->text(), QStringLiteral("Click a pointer button to choose a cursor."));
    EXPECT_EQ(number->text(), QStringLiteral("2"));

    auto* another = find<QPushButton>(*tip, "Command2");
    another->click(); // the same tip may come again
    EXPECT_EQ(number->text(), QStringLiteral("2"));
    another->click();
    EXPECT_EQ(label->text(), QStringLiteral("Save often."));
    EXPECT_EQ(number->text(), QStringLiteral("3"));
    another->click();
    EXPECT_EQ(number->text(), QStringLiteral("3"));
}

TEST_F(TipWindow, ManyDrawsNeverShowLineOneAndReachEveryTip) {
    flow->setRandom([] { return QRandomGenerator::global()->generateDouble(); });
    Form1* tip = flow->start();
    auto* label = find<QLabel>(*tip, "Label6");
    QSet<QString> seen;
    for (int i = 0; i < 60; ++i) {
        find<QPushButton>(*tip, "Command2")->click();
        seen.insert(label->text());
    }
    EXPECT_EQ(seen, (QSet<QString>{QStringLiteral("Click a pointer button to choose a cursor."),
                                   QStringLiteral("Save often.")}));
}

TEST_F(TipWindow, HostileTipFilesShowNoTipAndTheWindowStillWorks) {
    const QByteArray files[] = {"1\r\nNever shown\r\n", "-2\r\nA\r\n", "abc\r\nA\r\n", ""};
    for (const QByteArray& bytes : files) {
        writeTips(bytes);
        Form1* tip = flow->start();
        EXPECT_TRUE(find<QLabel>(*tip, "Label6")->text().isEmpty()) << bytes.toStdString();
        find<QPushButton>(*tip, "Command2")->click();
        EXPECT_TRUE(find<QLabel>(*tip, "Label6")->text().isEmpty()) << bytes.toStdString();
        delete tip;
    }
    QFile::remove(m_programDir + QStringLiteral("/tipofday.txz"));
    Form1* tip = flow->start();
    EXPECT_TRUE(find<QLabel>(*tip, "Label6")->text().isEmpty());
    // Continue still leads on.
    find<QPushButton>(*tip, "Command1")->click();
    EXPECT_NE(flow->startWindow(), nullptr);
}

TEST_F(TipWindow, AFileWithFewerLinesThanAnnouncedShowsOnlyTipsThatExist) {
    writeTips("40\r\nOnly tip\r\n");
    randoms = {0.99};
    Form1* tip = flow->start();
    EXPECT_EQ(find<QLabel>(*tip, "Label6")->text(), QStringLiteral("Only tip"));
}

TEST_F(TipWindow, ContinueShowsTheStartWindowAndClosesWithoutAsking) {
    Form1* tip = flow->start();
    find<QPushButton>(*tip, "Command1")->click();
    EXPECT_FALSE(tip->isVisible());
    processDeletes();
    EXPECT_EQ(flow->tipWindow(), nullptr);
    ASSERT_NE(flow->startWindow(), nullptr);
    EXPECT_TRUE(flow->startWindow()->isVisible());
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_EQ(flowEnds, 0);
}

TEST_F(TipWindow, EnterActsAsContinue) {
    Form1* tip = flow->start();
    QTest::keyClick(tip, Qt::Key_Return);
    EXPECT_FALSE(tip->isVisible());
    ASSERT_NE(flow->startWindow(), nullptr);
    EXPECT_TRUE(flow->startWindow()->isVisible());
}

TEST_F(TipWindow, ClosingAsksTheQuitQuestionWithoutAnIconAndNoKeepsTheSameTip) {
    randoms = {0.9};
    Form1* tip = flow->start();
    const QString shownTip = find<QLabel>(*tip, "Label6")->text();
    fakes.messages.queue(MsgAnswer::No);
    EXPECT_FALSE(tip->close());
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    const auto& question = fakes.messages.shown[0];
    EXPECT_EQ(question.text, QStringLiteral("Are you sure that you want to quit Paletteer 95?"));
    EXPECT_EQ(question.title, QStringLiteral("Paletteer 95"));
    EXPECT_EQ(question.buttons, MsgButtons::YesNo);
    EXPECT_EQ(question.icon, MsgIcon::None);
    EXPECT_TRUE(tip->isVisible());
    EXPECT_EQ(find<QLabel>(*tip, "Label6")->text(), shownTip);
    EXPECT_EQ(flowEnds, 0);

    // Escape is a close by the frame too.
    fakes.messages.queue(MsgAnswer::Yes);
    QTest::keyClick(tip, Qt::Key_Escape);
    EXPECT_EQ(fakes.messages.shown.size(), 2u);
    EXPECT_FALSE(tip->isVisible());
    EXPECT_EQ(flowEnds, 1);
    EXPECT_EQ(flow->startWindow(), nullptr);
}

} // namespace
} // namespace p95::test
