// The program's command line, and a .theme file given on it: straight into
// the editor when it can be read, the usual start when it cannot.

#include "app_test_support.h"

#include "package/archive_builder.h"
#include "theme/theme_reader.h"

#include <QDir>
#include <QFileInfo>

namespace p95::test {
namespace {

using Action = StartArguments::Action;

TEST(StartArgumentsTest, HelpVersionFilesAndMistakes) {
    EXPECT_EQ(parseStartArguments({}).action, Action::Start);
    EXPECT_TRUE(parseStartArguments({}).file.isEmpty());
    // Help and version win wherever they stand before "--", since the raw
    // command line (Qt's options still in it) is asked first.
    EXPECT_EQ(parseStartArguments(
                  {QStringLiteral("-style"), QStringLiteral("Fusion"), QStringLiteral("--version")})
                  .action,
              Action::Version);
    EXPECT_EQ(parseStartArguments({QStringLiteral("a.theme"), QStringLiteral("-h")}).action,
              Action::Help);

    const StartArguments dashed =
        parseStartArguments({QStringLiteral("--"), QStringLiteral("--help")});
    EXPECT_EQ(dashed.action, Action::Start);
    EXPECT_EQ(dashed.file, QDir::current().absoluteFilePath(QStringLiteral("--help")));

    const StartArguments unknown = parseStartArguments({QStringLiteral("--open")});
    EXPECT_EQ(unknown.action, Action::BadUsage);
    EXPECT_EQ(unknown.problem, QStringLiteral("unknown option --open"));
    const StartArguments two =
        parseStartArguments({QStringLiteral("a.theme"), QStringLiteral("b.theme")});
    EXPECT_EQ(two.action, Action::BadUsage);
    EXPECT_TRUE(two.file.isEmpty());
}

TEST(StartArgumentsTest, AFileIsTakenAsTheFullPathADialogWouldReturn) {
    EXPECT_EQ(parseStartArguments({QStringLiteral("My Themes/./Ocean.theme")}).file,
              QDir::current().absoluteFilePath(QStringLiteral("My Themes/Ocean.theme")));
    EXPECT_EQ(parseStartArguments({QStringLiteral("/srv/a/../Ocean.theme")}).file,
              QStringLiteral("/srv/Ocean.theme"));
    // A Windows-form path is on drive C, not below the working directory.
    const QString windows = QStringLiteral("C:\\Program Files\\Plus!\\Themes\\Sea\\Sea.theme");
    EXPECT_EQ(parseStartArguments({windows}).file, windows);
}

class LaunchWithFile : public StartUpFixture {
protected:
    void SetUp() override {
        StartUpFixture::SetUp();
        m_theme = tmp() + QStringLiteral("/Downloads/Coral Reef.theme");
        writeFile(m_theme, "[Control Panel\\Colors]\r\nWindow=1 2 3\r\n"
                           "[Control Panel\\Cursors]\r\nArrow=C:\\gone\\arrow.cur\r\n");
    }
    QString m_theme;
};

TEST_F(LaunchWithFile, OpensTheThemeInTheEditorWithoutTheTipOrStartWindow) {
    fakes.pictures.missing.insert(QStringLiteral("C:\\gone\\arrow.cur"));
    QWidget* first = flow->launch(m_theme);
    EXPECT_EQ(first, editor.get());
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(flow->tipWindow(), nullptr);
    EXPECT_EQ(flow->startWindow(), nullptr);

    EXPECT_EQ(editorText("ThemeName"), QStringLiteral("Coral Reef"));
    EXPECT_EQ(editor->document().name, QStringLiteral("Coral Reef"));
    EXPECT_EQ(editorText("lblLoadFile"), m_theme);
    EXPECT_EQ(editorText("lblDirectory"), QStringLiteral("Current Theme:         ") + m_theme);
    EXPECT_EQ(editor->document().colours[5], QStringLiteral("1 2 3"));
    EXPECT_EQ(editor->document().colourMode, ColourMode::Own);
    // The reader's own message for the pointer it could not find.
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(fakes.messages.shown[0].text.startsWith(
        QStringLiteral("There was a slight problem while loading this theme")));
    // The start window's load would have given the Handwriting button its pen.
    EXPECT_TRUE(fakes.pictures.cursors.contains(programDirectory() + QStringLiteral("\\pen.cuz")));
}

TEST_F(LaunchWithFile, DataFilesThatCouldNotBePutInPlaceAreToldOverTheEditor) {
    QDir().mkpath(m_programDir + QStringLiteral("/play.bmz"));
    ASSERT_FALSE(ensureProgramDirectory().ok());
    EXPECT_EQ(flow->launch(m_theme), editor.get());
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(fakes.messages.shown[0].text.contains(QStringLiteral("play.bmz")));
    EXPECT_TRUE(takeProgramDirectoryProblem().ok());
}

TEST_F(LaunchWithFile, AFileThatCannotBeOpenedIsSaidAsTheEditorsOpenSaysItThenTheUsualStart) {
    const QString gone = tmp() + QStringLiteral("/gone.theme");
    const QString notes = tmp() + QStringLiteral("/notes.theme");
    writeFile(notes, "Shopping: milk, bread\r\n");
    const auto goneRead = readThemeFile(m_files, gone);
    ASSERT_FALSE(goneRead.ok());
    const std::pair<QString, QString> cases[] = {
        {gone, unreadableThemeMessage(gone, goneRead.error())},
        {notes, notAThemeMessage(notes)},
    };
    for (const auto& [path, expected] : cases) {
        SCOPED_TRACE(path.toStdString());
        fakes.messages.shown.clear();
        QWidget* first = flow->launch(path);

        ASSERT_EQ(fakes.messages.shown.size(), 1u);
        EXPECT_EQ(fakes.messages.shown[0].text, expected);
        EXPECT_EQ(fakes.messages.shown[0].title, QStringLiteral("Paletteer 95"));
        EXPECT_EQ(fakes.messages.shown[0].icon, MsgIcon::Warning);
        EXPECT_EQ(first, flow->tipWindow());
        EXPECT_NE(flow->tipWindow(), nullptr);
        EXPECT_FALSE(editor->isVisible());
        EXPECT_TRUE(editorText("ThemeName").isEmpty());
        EXPECT_TRUE(editorText("lblLoadFile").isEmpty());
    }
}

// A file that goes away between the first look at it and the reading: the
// reading refuses it after the editor was shown.
class FailingSecondRead : public FileSystem {
public:
    explicit FailingSecondRead(QString path) : m_path(std::move(path)) {}
    using FileSystem::readFile;
    Result<QByteArray> readFile(const QString& path, qint64 maxBytes) const override {
        if (path == m_path && ++m_reads > 1)
            return Error{QStringLiteral("Reading the file"), path, QStringLiteral("gone")};
        return FileSystem::readFile(path, maxBytes);
    }

private:
    QString m_path;
    mutable int m_reads = 0;
};

TEST_F(LaunchWithFile, AFileTheReadingRefusesLeavesTheEditorAsItWasForTheUsualStart) {
    FailingSecondRead files(m_theme);
    flow.reset();
    editor = std::make_unique<FrmMain>(fakes.services(), files);
    flow = std::make_unique<StartUp>(fakes.services(), files, *editor);
    flow->setEndProgram([this] { ++flowEnds; });
    const QString directoryBefore = editorText("lblDirectory");

    QWidget* first = flow->launch(m_theme);
    EXPECT_EQ(first, flow->tipWindow());
    EXPECT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(editor->document().name.isEmpty());
    EXPECT_TRUE(editorText("lblLoadFile").isEmpty());
    EXPECT_EQ(editorText("lblDirectory"), directoryBefore);

    // A new name from the start window then reaches the editor as usual.
    find<QPushButton>(*flow->tipWindow(), "Command1")->click();
    processDeletes();
    continueWith(*flow->startWindow(), QStringLiteral("Lagoon"));
    tick(*flow->loadWindow(), 20);
    EXPECT_EQ(
        editorText("lblDirectory"),
        QStringLiteral("Theme Directory:         C:\\Program Files\\Plus!\\Themes\\Lagoon\\"));
}

// A theme package on the command line: installed, its theme opened in the
// editor; a damaged one is said, then the usual start.
TEST_F(LaunchWithFile, APackageIsInstalledAndItsThemeOpensOrTheUsualStartFollows) {
    const QByteArray theme = "[Control Panel\\Colors]\r\nWindow=4 5 6\r\n"
                             "[AppEvents\\Schemes\\Apps\\.Default\\.Default\\.Current]\r\n"
                             "DefaultValue=%ThemeDir%Reef\\Reef Default Sound.wav\r\n";
    const QString package = tmp() + QStringLiteral("/Downloads/Reef.ZIP");
    writeFile(package, ArchiveBuilder(ArchiveBuilder::Zip)
                           .file("Reef/Reef.theme", theme)
                           .file("Reef/Reef Default Sound.wav", "RIFF\x04\0\0\0WAVE")
                           .bytes());
    EXPECT_EQ(flow->launch(package), editor.get());
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(flow->tipWindow(), nullptr);
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_EQ(editorText("ThemeName"), QStringLiteral("Reef"));
    EXPECT_EQ(editor->document().colours[5], QStringLiteral("4 5 6"));
    EXPECT_EQ(editor->document().sounds[4],
              QStringLiteral("C:\\Program Files\\Plus!\\Themes\\Reef\\Reef Default Sound.wav"));
    EXPECT_TRUE(QFileInfo::exists(
        onDrive(QStringLiteral("Program Files/Plus!/Themes/Reef/Reef Default Sound.wav"))));
}

TEST_F(LaunchWithFile, ADamagedPackageIsSaidThenTheUsualStart) {
    const QString package = tmp() + QStringLiteral("/Downloads/Broken.zip");
    writeFile(package, "PK\x03\x04 this is no zip at all");
    QWidget* first = flow->launch(package);
    ASSERT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_TRUE(fakes.messages.shown[0].text.contains(QStringLiteral("cannot be installed")))
        << fakes.messages.shown[0].text.toStdString();
    EXPECT_EQ(first, flow->tipWindow());
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(editorText("ThemeName").isEmpty());
}

} // namespace
} // namespace p95::test
