// The editor's "&Pack Theme..." and "&Install Theme Package..." with the
// scripted services, and the real save dialog they use.

#include "editor/editor_test_support.h"
#include "package_test_support.h"
#include "platform/gui/qt_file_dialog.h"
#include "test_support.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

namespace p95::test {
namespace {

// Pictures that load exactly when their file is on the drive, so that an
// opened theme's missing files would show as they do for the user.
class DrivePictures : public FakePictures {
public:
    Result<QPixmap> loadPicture(const QString& path) override {
        if (!DiskProbe().probe(path).ok())
            missing.insert(path);
        return FakePictures::loadPicture(path);
    }
};

class PackageWindow : public EditorFixture {
protected:
    std::unique_ptr<FrmMain> window() {
        Services services{fakes.fileDialog, fakes.messages, fakes.input,     fakes.choice,
                          fakes.audio,      m_pictures,     fakes.clipboard, fakes.clock};
        auto w = std::make_unique<FrmMain>(services, m_files);
        w->setEndProgram([] {});
        w->ensureLoaded();
        return w;
    }
    static void trigger(FrmMain& w, const char* action) {
        w.findChild<QAction*>(QString::fromLatin1(action))->trigger();
    }

    DrivePictures m_pictures;
};

TEST_F(PackageWindow, PackWritesTheSavedThemeWhereTheUserChoosesAndAsksBeforeReplacing) {
    writeSavedTheme(drive(), QStringLiteral("Sea"));
    auto w = window();
    EXPECT_EQ(w->findChild<QAction*>(QStringLiteral("mnuPack"))->text(),
              QStringLiteral("&Pack Theme..."));

    w->setThemeName(QStringLiteral("Unsaved"));
    trigger(*w, "mnuPack");
    EXPECT_TRUE(fakes.fileDialog.shown.empty());
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(fakes.messages.shown[0].text.contains(QStringLiteral("has not been saved yet")));

    w->setThemeName(QStringLiteral("Sea"));
    const QString taken = tmp() + QStringLiteral("/Sea.zip");
    const QString chosen = tmp() + QStringLiteral("/Gift.zip");
    writeFile(taken, "the user's");
    fakes.fileDialog.queue(taken);
    fakes.messages.queue(MsgAnswer::No); // not that one...
    fakes.fileDialog.queue(chosen);      // ...this one
    trigger(*w, "mnuPack");

    ASSERT_EQ(fakes.fileDialog.shown.size(), 2u);
    EXPECT_TRUE(fakes.fileDialog.saving[0]);
    EXPECT_EQ(fakes.fileDialog.shown[0].dialogTitle, QStringLiteral("Pack Theme"));
    EXPECT_EQ(fakes.fileDialog.shown[0].fileName, QDir::homePath() + QStringLiteral("/Sea.zip"));
    EXPECT_EQ(fakes.fileDialog.shown[0].defaultExt, QStringLiteral(".zip"));
    EXPECT_EQ(fakes.fileDialog.shown[1].fileName, taken) << "the dialog shows the name again";
    ASSERT_EQ(fakes.messages.shown.size(), 3u);
    EXPECT_EQ(fakes.messages.shown[1].text,
              taken + QStringLiteral(" already exists. Do you want to replace it?"));
    EXPECT_EQ(fakes.messages.shown[1].buttons, MsgButtons::YesNo);
    EXPECT_EQ(fakes.messages.shown[1].title, QStringLiteral("Paletteer 95"));
    EXPECT_EQ(fakes.messages.shown[2].text,
              QStringLiteral("The theme Sea was packed into %1.").arg(chosen));
    EXPECT_EQ(readBytes(taken), "the user's");
    EXPECT_TRUE(readBytes(chosen).startsWith("PK\3\4"));
    EXPECT_TRUE(fakes.messages.drained());
}

TEST_F(PackageWindow, InstallOpensTheThemeTheUserPicksAndAsksBeforeReplacingOne) {
    const QString package = tmp() + QStringLiteral("/Two.zip");
    writeFile(package, twoThemes());
    auto w = window();
    EXPECT_EQ(w->findChild<QAction*>(QStringLiteral("mnuInstall"))->text(),
              QStringLiteral("&Install Theme Package..."));

    fakes.fileDialog.queue(package);
    fakes.choice.queue(1);
    trigger(*w, "mnuInstall");
    ASSERT_EQ(fakes.fileDialog.shown.size(), 1u);
    EXPECT_FALSE(fakes.fileDialog.saving[0]);
    EXPECT_EQ(fakes.fileDialog.shown[0].dialogTitle, QStringLiteral("Install Theme Package"));
    EXPECT_TRUE(fakes.fileDialog.shown[0].filter.contains(QStringLiteral("*.7z;*.rar;*.lzh")));
    // The themes are a list to pick from, not a name to type.
    EXPECT_TRUE(fakes.input.asked.empty());
    ASSERT_EQ(fakes.choice.asked.size(), 1u);
    EXPECT_EQ(fakes.choice.asked[0].prompt,
              QStringLiteral("The package held 2 themes. Which one would you like to open?"));
    EXPECT_EQ(fakes.choice.asked[0].title, QStringLiteral("Paletteer 95"));
    EXPECT_EQ(fakes.choice.asked[0].items,
              (QStringList{QStringLiteral("Sea"), QStringLiteral("Sky")}));
    EXPECT_TRUE(fakes.messages.shown.empty());

    // Sky is open, every file found: no message of the reader's.
    const QString sky = QStringLiteral("C:\\Program Files\\Plus!\\Themes\\Sky\\");
    EXPECT_EQ(w->document().name, QStringLiteral("Sky"));
    EXPECT_EQ(w->loadFileLabel()->text(), sky + QStringLiteral("Sky.theme"));
    EXPECT_EQ(w->document().pointers[0], sky + QStringLiteral("Sky Normal Select.cur"));
    EXPECT_EQ(w->document().icons[kWallpaperIndex], sky + QStringLiteral("Sky wallpaper.bmp"));
    EXPECT_EQ(w->document().sounds[0], sky + QStringLiteral("Sky asterisk.wav"));
    for (const QString& path : std::as_const(m_pictures.missing))
        EXPECT_FALSE(path.startsWith(toQString(kThemesRoot), Qt::CaseInsensitive))
            << path.toStdString();

    // The same package again: the question names both themes; No changes nothing.
    fakes.messages.shown.clear();
    writeFile(host(sky + QStringLiteral("Sky Busy.ani")), "the user's");
    fakes.fileDialog.queue(package);
    fakes.messages.queue(MsgAnswer::No);
    trigger(*w, "mnuInstall");
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_EQ(fakes.messages.shown[0].text,
              QStringLiteral("The themes Sea, Sky are already installed. Installing the package "
                             "replaces 12 of their files. Do you wish to replace them?"));
    EXPECT_EQ(fakes.messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(fakes.messages.shown[0].title, QStringLiteral("Paletteer 95"));
    EXPECT_EQ(readBytes(host(sky + QStringLiteral("Sky Busy.ani"))), "the user's");
    EXPECT_EQ(fakes.choice.asked.size(), 1u);

    // An unsafe package: one message, nothing installed, nothing opened.
    fakes.messages.shown.clear();
    ArchiveBuilder climbing(ArchiveBuilder::Zip);
    climbing.file("Moon/Moon.theme", themeText(QStringLiteral("Moon"), QString()));
    climbing.file("../x", "x");
    const QString bad = tmp() + QStringLiteral("/Bad.zip");
    writeFile(bad, climbing.bytes());
    fakes.fileDialog.queue(bad);
    trigger(*w, "mnuInstall");
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(fakes.messages.shown[0].text.startsWith(
        QStringLiteral("The package %1 cannot be installed: the entry \"../x\" climbs out")
            .arg(bad)));
    EXPECT_FALSE(
        QFile::exists(host(QStringLiteral("C:\\Program Files\\Plus!\\Themes\\Moon.theme"))));
    EXPECT_EQ(w->document().name, QStringLiteral("Sky"));
}

// The real dialog in save mode: it offers the caller's name, adds the
// default extension and takes a name that exists without a question of its
// own (the caller asks, titled "Paletteer 95").
TEST_F(PackageWindow, TheRealSaveDialogTakesANameAndLeavesTheQuestionToItsCaller) {
    const QString folder = tmp() + QStringLiteral("/out");
    writeFile(folder + QStringLiteral("/Old.zip"), "old");
    QtFileDialog service;
    CommonDialog dialog;
    dialog.dialogTitle = QStringLiteral("Pack Theme");
    dialog.filter = QStringLiteral("Zip Archives (*.zip)|*.zip");
    dialog.defaultExt = QStringLiteral(".zip");
    dialog.initDir = folder;
    dialog.fileName = folder + QStringLiteral("/Sea.zip");

    auto answer = [](std::function<void(QFileDialog*)> act) {
        QTimer::singleShot(50, qApp, [act] {
            auto* box = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            // A question of the dialog's own would stay open over it: fail, not hang.
            QTimer::singleShot(500, qApp, [] {
                if (auto* question =
                        qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    ADD_FAILURE() << "the dialog asked: " << question->text().toStdString();
                    question->reject();
                }
            });
            act(box);
        });
    };
    answer([&](QFileDialog* box) {
        EXPECT_EQ(box->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Pack Theme"));
        EXPECT_EQ(box->directory().absolutePath(), folder);
        auto* field = box->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->text(), QStringLiteral("Sea.zip"));
        field->setText(QStringLiteral("Old"));
        QMetaObject::invokeMethod(box, "accept"); // QFileDialog's own, with its checks
    });
    EXPECT_TRUE(service.showSave(dialog, nullptr));
    EXPECT_EQ(dialog.fileName, folder + QStringLiteral("/Old.zip"));

    answer([](QFileDialog* box) { box->reject(); });
    EXPECT_FALSE(service.showSave(dialog, nullptr));
    EXPECT_EQ(dialog.fileName, folder + QStringLiteral("/Old.zip"));
}

} // namespace
} // namespace p95::test
