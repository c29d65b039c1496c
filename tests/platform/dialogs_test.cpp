// The real file dialog, message box, input box and list box, driven headless: each test
// answers the modal dialog from a timer, as a user would.

#include "drive_support.h"
#include "platform/drive_choice.h"
#include "platform/gui/qt_file_dialog.h"
#include "platform/gui/qt_message_box.h"
#include "platform/image_support.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace p95 {
namespace {

// Calls `answer` with the modal dialog once it is showing. The answer must
// close it; a dialog left open fails the test instead of hanging it.
void whenModal(std::function<void(QWidget*)> answer, int triesLeft = 200) {
    QTimer::singleShot(10, qApp, [answer = std::move(answer), triesLeft]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            if (triesLeft > 0)
                whenModal(std::move(answer), triesLeft - 1);
            else
                ADD_FAILURE() << "no modal dialog appeared";
            return;
        }
        answer(modal);
        if (QApplication::activeModalWidget() == modal) {
            ADD_FAILURE() << "the dialog stayed open";
            modal->close();
        }
    });
}

TEST(NameFilters, PairsBecomeQtFiltersThatShowTheDescriptionOnly) {
    struct Case {
        QString filter;
        QStringList expected;
    };
    const Case cases[] = {
        {QStringLiteral("Cursor Files (*.cur)|*.cur|Animated Cursors (*.ani)|*.ani"),
         {QStringLiteral("Cursor Files (*.cur) (*.cur)"),
          QStringLiteral("Animated Cursors (*.ani) (*.ani)")}},
        {QStringLiteral("Pictures|*.bmp;*.dib"), {QStringLiteral("Pictures (*.bmp *.dib)")}},
        {QString(), {}},
        {QStringLiteral("Everything|"), {QStringLiteral("Everything (*)")}},
        {QStringLiteral("Sounds"), {QStringLiteral("Sounds (*)")}},
        {QStringLiteral("|*.wav"), {QStringLiteral("*.wav (*.wav)")}},
        {QStringLiteral("Themes|*.theme||"), {QStringLiteral("Themes (*.theme)")}},
        {QStringLiteral("Wave ( sounds )| *.wav ; ;*.WAV "),
         {QStringLiteral("Wave ( sounds ) (*.wav *.WAV)")}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qtNameFilters(c.filter), c.expected) << c.filter.toStdString();
}

// Types a name into the dialog's file name field, as a user does.
void type(QFileDialog* box, const QString& name) {
    auto* field = box->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(field, nullptr);
    field->setText(name);
}

using FileDialog = test::DriveFixture;

TEST_F(FileDialog, ShowsTheCallersSettingsAndReturnsTheChosenPath) {
    writeFile(onDrive(QStringLiteral("Windows/Cursors/arrow.cur")), "x");
    writeFile(onDrive(QStringLiteral("Windows/Cursors/busy.ani")), "x");
    const QString folder = onDrive(QStringLiteral("Windows/Cursors"));
    QtFileDialog service;
    CommonDialog dialog;
    dialog.dialogTitle = QStringLiteral("Choose an arrow for Busy");
    dialog.filter = QStringLiteral("Cursor Files (*.cur)|*.cur|Animated Cursors (*.ani)|*.ani");
    dialog.filterIndex = 2;
    dialog.defaultExt = QStringLiteral(".cur");
    dialog.initDir = QStringLiteral("c:\\WINDOWS\\cursors");

    whenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), dialog.dialogTitle);
        EXPECT_TRUE(box->testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_EQ(box->nameFilters().size(), 2);
        // The description as the caller wrote it, its patterns hidden.
        EXPECT_EQ(box->selectedNameFilter(), QStringLiteral("Animated Cursors (*.ani)"));
        EXPECT_EQ(box->defaultSuffix(), QStringLiteral("cur"));
        EXPECT_EQ(box->directory().absolutePath(), folder);
        // A name typed without extension takes the default one.
        type(box, QStringLiteral("arrow"));
        static_cast<QDialog*>(box)->accept(); // QFileDialog hides it
    });
    service.showOpen(dialog, nullptr);
    EXPECT_EQ(dialog.fileName, folder + QStringLiteral("/arrow.cur"));
}

TEST_F(FileDialog, CancelKeepsTheFileNameAndTheNextDialogStartsInTheLastFolder) {
    writeFile(onDrive(QStringLiteral("Media/chimes.wav")), "x");
    const QString folder = onDrive(QStringLiteral("Media"));
    QtFileDialog service;
    CommonDialog first;
    first.fileName = QStringLiteral("kept.wav");
    first.initDir = folder;
    whenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    service.showOpen(first, nullptr);
    EXPECT_EQ(first.fileName, QStringLiteral("kept.wav"));

    CommonDialog second; // no initial directory
    whenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->directory().absolutePath(), folder);
        type(box, QStringLiteral("chimes.wav"));
        static_cast<QDialog*>(box)->accept(); // QFileDialog hides it
    });
    service.showOpen(second, nullptr);
    EXPECT_EQ(second.fileName, folder + QStringLiteral("/chimes.wav"));
}

// On a disk image, the dialog browses the working copy: a folder it goes
// into is read from the image before it is listed.
TEST_F(FileDialog, OnADiskImageAFolderEnteredIsReadFromTheImage) {
    const test::TestImage image =
        test::makeImage(tmp() + QStringLiteral("/win95.img"), test::Layout::NoTable, 16);
    ASSERT_EQ(test::runTool(QStringLiteral("mmd"),
                            {QStringLiteral("-i"), image.path, QStringLiteral("::/Windows/Media")}),
              0);
    writeFile(tmp() + QStringLiteral("/chimes.wav"), "RIFF chimes");
    test::putOnVolume(image, tmp() + QStringLiteral("/chimes.wav"),
                      QStringLiteral("Windows/Media/"));
    ASSERT_TRUE(useDriveC({image.path, 0}).ok());

    QtFileDialog service;
    CommonDialog dialog;
    dialog.initDir = QStringLiteral("C:\\WINDOWS");
    whenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(box, nullptr);
        box->setDirectory(box->directory().filePath(QStringLiteral("Media")));
        EXPECT_TRUE(box->directory().absolutePath().endsWith(QStringLiteral("/Windows/Media")));
        if (!box->directory().exists(QStringLiteral("chimes.wav"))) {
            ADD_FAILURE() << "the folder was not read from the image";
            box->reject();
            return;
        }
        type(box, QStringLiteral("chimes.wav"));
        static_cast<QDialog*>(box)->accept(); // QFileDialog hides it
    });
    service.showOpen(dialog, nullptr);
    QFile chosen(dialog.fileName);
    EXPECT_TRUE(chosen.open(QIODevice::ReadOnly)) << dialog.fileName.toStdString();
    EXPECT_EQ(chosen.readAll(), QByteArray("RIFF chimes"));
    EXPECT_TRUE(useDriveC({}).ok());
}

// Where its caller sets no folder, a fresh dialog starts in the home folder,
// not in the process's working directory, and so does one whose last folder
// has gone. It opens large enough to show its columns.
TEST_F(FileDialog, StartsInTheHomeFolderAtASizeThatShowsItsColumns) {
    const QString home = tmp() + QStringLiteral("/home");
    const QString work = tmp() + QStringLiteral("/work");
    const QString gone = tmp() + QStringLiteral("/gone");
    for (const QString& folder : {home, work, gone})
        QDir().mkpath(folder);
    test::ScopedEnv homeEnv("HOME", home.toUtf8());
    const QString before = QDir::currentPath();
    QDir::setCurrent(work);

    QtFileDialog service;
    QStringList shownIn;
    QSize shownAt;
    const auto look = [&](QWidget* modal) {
        auto* box = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(box, nullptr);
        shownIn << box->directory().absolutePath();
        shownAt = box->size();
        if (shownIn.size() == 2)
            box->setDirectory(gone);
        box->reject();
    };
    for (int i = 0; i < 3; ++i) {
        if (i == 2)
            QDir(gone).removeRecursively();
        CommonDialog dialog;
        whenModal(look);
        service.showOpen(dialog, nullptr);
    }
    QDir::setCurrent(before);
    EXPECT_EQ(shownIn, (QStringList{home, home, home}));
    EXPECT_GE(shownAt.width(), 700);
    EXPECT_GE(shownAt.height(), 450);
}

// The buttons of a message box, by their standard role.
QAbstractButton* button(QWidget* modal, QMessageBox::StandardButton which) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    return box ? box->button(which) : nullptr;
}

TEST(MessageBox, ShowsPlainTextWithTheCallersTitleAndReturnsThePressedButton) {
    QtMessageBox service;
    whenModal([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Paletteer 95"));
        EXPECT_EQ(box->text(), QStringLiteral("Save <Ocean>?"));
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        // Its buttons named: no maximize or minimize button for a fixed-size box.
        EXPECT_TRUE(box->windowFlags().testFlag(Qt::CustomizeWindowHint));
        EXPECT_FALSE(box->windowFlags() &
                     (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint));
        EXPECT_TRUE(box->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        button(modal, QMessageBox::Yes)->click();
    });
    EXPECT_EQ(service.show(nullptr, QStringLiteral("Save <Ocean>?"), MsgButtons::YesNo,
                           QStringLiteral("Paletteer 95")),
              MsgAnswer::Yes);

    whenModal([](QWidget* modal) {
        EXPECT_EQ(qobject_cast<QMessageBox*>(modal)->icon(), QMessageBox::Warning);
        button(modal, QMessageBox::Cancel)->click();
    });
    EXPECT_EQ(service.show(nullptr, QStringLiteral("Go on?"), MsgButtons::OkCancel,
                           QStringLiteral("Paletteer 95"), MsgIcon::Warning),
              MsgAnswer::Cancel);
}

// Closing gives the harmless answer; Enter on a Yes/No question is No.
TEST(MessageBox, ClosingGivesTheHarmlessAnswerAndYesNoDefaultsToNo) {
    QtMessageBox service;
    const struct {
        MsgButtons buttons;
        MsgAnswer harmless;
        QMessageBox::StandardButton byDefault;
    } cases[] = {{MsgButtons::Ok, MsgAnswer::Ok, QMessageBox::Ok},
                 {MsgButtons::OkCancel, MsgAnswer::Cancel, QMessageBox::Ok},
                 {MsgButtons::YesNo, MsgAnswer::No, QMessageBox::No},
                 {MsgButtons::YesNoCancel, MsgAnswer::Cancel, QMessageBox::Yes}};
    for (const auto& c : cases) {
        whenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->defaultButton(), box->button(c.byDefault));
            modal->close();
        });
        EXPECT_EQ(service.show(nullptr, QStringLiteral("Sure?"), c.buttons, QStringLiteral("T")),
                  c.harmless);
    }
}

TEST(InputBox, ReturnsTheTextOnOkAndNothingOnCancel) {
    QtInputBox service;
    auto answer = [](bool ok, const QString& typed) {
        return [ok, typed](QWidget* modal) {
            EXPECT_EQ(modal->windowTitle(), QStringLiteral("Save Scheme"));
            auto* field = modal->findChild<QLineEdit*>(QStringLiteral("InputBoxText"));
            ASSERT_NE(field, nullptr);
            EXPECT_EQ(field->text(), QStringLiteral("My scheme"));
            field->setText(typed);
            auto* buttons = modal->findChild<QDialogButtonBox*>();
            ASSERT_NE(buttons, nullptr);
            buttons->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
        };
    };
    whenModal(answer(true, QStringLiteral("Sunset")));
    EXPECT_EQ(service.ask(nullptr, QStringLiteral("Name of the scheme:"),
                          QStringLiteral("Save Scheme"), QStringLiteral("My scheme")),
              QStringLiteral("Sunset"));
    whenModal(answer(false, QStringLiteral("Sunset")));
    EXPECT_EQ(service.ask(nullptr, QStringLiteral("Name of the scheme:"),
                          QStringLiteral("Save Scheme"), QStringLiteral("My scheme")),
              QString());
}

// The details unfold below a short text; without details there is no button for them.
TEST(MessageBox, DetailsAreThereToUnfold) {
    QtMessageBox service;
    whenModal([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), QStringLiteral("Some files were not loaded."));
        EXPECT_EQ(box->detailedText(), QStringLiteral("C:\\a <b>.cur\nC:\\c.ico"));
        button(modal, QMessageBox::Ok)->click();
    });
    EXPECT_EQ(service.showWithDetails(nullptr, QStringLiteral("Some files were not loaded."),
                                      QStringLiteral("C:\\a <b>.cur\nC:\\c.ico"), MsgButtons::Ok,
                                      QStringLiteral("Paletteer 95"), MsgIcon::None),
              MsgAnswer::Ok);
    whenModal([](QWidget* modal) {
        EXPECT_TRUE(qobject_cast<QMessageBox*>(modal)->detailedText().isEmpty());
        button(modal, QMessageBox::Ok)->click();
    });
    service.show(nullptr, QStringLiteral("Plain."), MsgButtons::Ok, QStringLiteral("Paletteer 95"));
}

// The arrow keys and Enter, a double click, or Escape for nothing.
TEST(ListBox, ArrowsAndEnterOrADoubleClickChooseEscapeChoosesNothing) {
    QtListChoice service;
    const QStringList names{QStringLiteral("Sea"), QStringLiteral("Sky"), QStringLiteral("Sun")};
    const auto ask = [&] {
        return service.choose(nullptr, QStringLiteral("Which one?"), QStringLiteral("Paletteer 95"),
                              names);
    };
    const auto list = [](QWidget* modal) {
        auto* items = modal->findChild<QListWidget*>(QStringLiteral("ListBoxItems"));
        EXPECT_NE(items, nullptr);
        return items;
    };
    whenModal([&](QWidget* modal) {
        EXPECT_EQ(modal->windowTitle(), QStringLiteral("Paletteer 95"));
        QListWidget* items = list(modal);
        ASSERT_NE(items, nullptr);
        EXPECT_EQ(items->count(), 3);
        EXPECT_EQ(items->currentRow(), 0);
        QTest::keyClick(items, Qt::Key_Down);
        QTest::keyClick(items, Qt::Key_Down);
        QTest::keyClick(items, Qt::Key_Up);
        QTest::keyClick(items, Qt::Key_Return);
    });
    EXPECT_EQ(ask(), 1);
    whenModal([&](QWidget* modal) {
        QListWidget* items = list(modal);
        ASSERT_NE(items, nullptr);
        QWidget* view = items->viewport();
        const QPoint at = items->visualItemRect(items->item(2)).center();
        QTest::mouseClick(view, Qt::LeftButton, {}, at);
        QTest::mouseDClick(view, Qt::LeftButton, {}, at);
    });
    EXPECT_EQ(ask(), 2);
    whenModal([&](QWidget* modal) { QTest::keyClick(list(modal), Qt::Key_Escape); });
    EXPECT_EQ(ask(), -1);
}

} // namespace
} // namespace p95
