// The scripted fakes the window tests lean on: they hand out the queued
// answers in order and record what they were asked.

#include "fakes/fake_services.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace p95::test {
namespace {

TEST(Fakes, DialogsGiveTheQueuedAnswersInOrderAndRecordTheQuestions) {
    FakeServices fakes;
    Services services = fakes.services();

    fakes.fileDialog.queue(QStringLiteral("/home/ann/Ocean.theme"));
    fakes.fileDialog.queue(std::nullopt);
    CommonDialog dialog;
    dialog.dialogTitle = QStringLiteral("Open");
    services.fileDialog.showOpen(dialog, nullptr);
    EXPECT_EQ(dialog.fileName, QStringLiteral("/home/ann/Ocean.theme"));
    dialog.fileName = QStringLiteral("before");
    services.fileDialog.showOpen(dialog, nullptr);
    EXPECT_EQ(dialog.fileName, QStringLiteral("before")) << "Cancel keeps the name";
    ASSERT_EQ(fakes.fileDialog.shown.size(), 2u);
    EXPECT_EQ(fakes.fileDialog.shown[1].fileName, QStringLiteral("before"));
    EXPECT_TRUE(fakes.fileDialog.drained());

    fakes.messages.queue(MsgAnswer::No);
    EXPECT_EQ(services.messages.show(nullptr, QStringLiteral("Quit?"), MsgButtons::YesNo,
                                     QStringLiteral("T")),
              MsgAnswer::No);
    EXPECT_EQ(services.messages.show(nullptr, QStringLiteral("Saved."), MsgButtons::Ok,
                                     QStringLiteral("T")),
              MsgAnswer::Ok);
    EXPECT_EQ(fakes.messages.texts(),
              QStringList({QStringLiteral("Quit?"), QStringLiteral("Saved.")}));

    fakes.input.queue(QStringLiteral("Sunset"));
    EXPECT_EQ(services.input.ask(nullptr, QStringLiteral("Name?"), QStringLiteral("T"),
                                 QStringLiteral("x")),
              QStringLiteral("Sunset"));
    ASSERT_EQ(fakes.input.asked.size(), 1u);
    EXPECT_EQ(fakes.input.asked[0].defaultAnswer, QStringLiteral("x"));
}

TEST(Fakes, AQuestionWithNoAnswerQueuedFailsTheTestAndTakesTheHarmlessAnswer) {
    FakeServices fakes;
    MsgAnswer answer = MsgAnswer::Yes;
    EXPECT_NONFATAL_FAILURE(
        answer = fakes.services().messages.show(nullptr, QStringLiteral("Delete?"),
                                                MsgButtons::YesNo, QStringLiteral("T")),
        "no answer queued");
    EXPECT_EQ(answer, MsgAnswer::No);
    CommonDialog dialog;
    dialog.fileName = QStringLiteral("kept");
    EXPECT_NONFATAL_FAILURE(fakes.fileDialog.showOpen(dialog, nullptr), "no answer queued");
    EXPECT_EQ(dialog.fileName, QStringLiteral("kept"));
}

TEST(Fakes, TheAudioDeviceLogsCommandsAndKeepsTheOneFileRule) {
    FakeServices fakes;
    MciDevice& audio = fakes.services().audio;
    audio.setFileName(QStringLiteral("a.wav"));
    EXPECT_FALSE(audio.command(QStringLiteral("Play")).ok()) << "playing with nothing open";
    EXPECT_TRUE(audio.command(QStringLiteral("Open")).ok());
    EXPECT_EQ(audio.mode(), MciMode::Stopped);
    EXPECT_TRUE(audio.waitUntilLoaded().ok());
    EXPECT_NONFATAL_FAILURE(audio.command(QStringLiteral("Open")), "Open while a file is open");
    EXPECT_TRUE(audio.command(QStringLiteral("Close")).ok());
    EXPECT_EQ(audio.mode(), MciMode::NotOpen);
    EXPECT_EQ(fakes.audio.log,
              QStringList({QStringLiteral("Play a.wav"), QStringLiteral("Open a.wav"),
                           QStringLiteral("Open a.wav"), QStringLiteral("Close a.wav")}));
    EXPECT_EQ(fakes.audio.waits, 1);
}

TEST(Fakes, PicturesFailForTheFilesMarkedMissing) {
    FakeServices fakes;
    fakes.pictures.missing.insert(QStringLiteral("C:\\gone.bmp"));
    EXPECT_FALSE(fakes.pictures.loadPicture(QStringLiteral("C:\\gone.bmp")).ok());
    EXPECT_TRUE(fakes.pictures.loadPicture(QStringLiteral("C:\\here.bmp")).ok());
    EXPECT_EQ(fakes.pictures.loaded.size(), 2);
    fakes.clipboard.setText(QStringLiteral("mail"));
    EXPECT_EQ(fakes.clipboard.text, QStringLiteral("mail"));
}

} // namespace
} // namespace p95::test
