#include "colour/scheme_file.h"
#include "drive_support.h"
#include "platform/drive.h"
#include "test_support.h"
#include "theme/get_colors.h"

using namespace p95;

namespace {

const QString kProgram = QStringLiteral("C:\\Program Files\\Paletteer 95");

class Scheme : public test::DriveFixture {
protected:
    Scheme() {
        driveCFolder();
        QDir().mkpath(programHost());
    }
    QString programHost() const { return onDrive(QStringLiteral("Program Files/Paletteer 95")); }
    FileSystem m_files;
};

ColourTexts numbered() {
    ColourTexts colours;
    for (int i = 0; i < kColourCount; ++i)
        colours[i] = QStringLiteral("%1 %2 %3").arg(i).arg(i * 2).arg(255 - i);
    return colours;
}

} // namespace

TEST_F(Scheme, DefaultColoursAreSavedAs25CrLfLines) {
    const ThemeDocument doc;
    ASSERT_TRUE(saveColourScheme(m_files, kProgram, QStringLiteral("Sunset"), doc.colours).ok());
    const QByteArray bytes = test::readBytes(programHost() + QStringLiteral("/Sunset.scheme"));
    const auto lines = test::crlfLines(bytes);
    ASSERT_EQ(lines.size(), 25);
    EXPECT_EQ(lines.first(), "0 0 128");
    EXPECT_EQ(lines.at(1), "0 128 128");
    EXPECT_EQ(lines.last(), "255 255 225");
    EXPECT_TRUE(bytes.endsWith("255 255 225\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), 25);
}

TEST_F(Scheme, SavedAndLoadedBackInOwnColoursMode) {
    ColourTexts colours = numbered();
    colours[7] = QStringLiteral("  odd text, kept as it stands ");
    ASSERT_TRUE(saveColourScheme(m_files, kProgram, QStringLiteral("Mine"), colours).ok());

    ThemeDocument doc;
    ASSERT_EQ(doc.colourMode, ColourMode::Preset);
    ASSERT_TRUE(loadColourScheme(m_files, kProgram + QStringLiteral("\\MINE.SCHEME"), doc).ok());
    EXPECT_EQ(doc.colours, colours);
    EXPECT_EQ(doc.colourMode, ColourMode::Own);

    // Loading again in own-colours mode replaces all 25 and keeps the mode.
    ASSERT_TRUE(
        saveColourScheme(m_files, kProgram, QStringLiteral("Other"), presetColours(3)).ok());
    ASSERT_TRUE(
        loadColourScheme(m_files, programHost() + QStringLiteral("/Other.scheme"), doc).ok());
    EXPECT_EQ(doc.colours, presetColours(3));
    EXPECT_EQ(doc.colourMode, ColourMode::Own);
}

TEST_F(Scheme, LinesAfterThe25thAreIgnoredAndBareLineFeedsRead) {
    QByteArray bytes;
    for (const QString& c : numbered())
        bytes += c.toLatin1() + "\n";
    bytes += "extra\n";
    writeFile(programHost() + QStringLiteral("/lf.scheme"), bytes);
    EXPECT_EQ(readColourScheme(m_files, kProgram + QStringLiteral("\\lf.scheme")).value(),
              numbered());
}

TEST_F(Scheme, AShortFileIsRefusedAndNoColourChanges) {
    QByteArray bytes;
    for (int i = 0; i < 24; ++i)
        bytes += "1 1 1\r\n";
    writeFile(programHost() + QStringLiteral("/short.scheme"), bytes);
    ThemeDocument doc;
    const ThemeDocument before = doc;
    auto status = loadColourScheme(m_files, kProgram + QStringLiteral("\\short.scheme"), doc);
    ASSERT_FALSE(status.ok());
    EXPECT_TRUE(status.error().reason.contains(QStringLiteral("24 of the 25")));
    EXPECT_EQ(doc, before);

    writeFile(programHost() + QStringLiteral("/empty.scheme"), QByteArray());
    EXPECT_FALSE(loadColourScheme(m_files, kProgram + QStringLiteral("\\empty.scheme"), doc).ok());
    EXPECT_EQ(doc, before);
    auto missing = loadColourScheme(m_files, kProgram + QStringLiteral("\\none.scheme"), doc);
    ASSERT_FALSE(missing.ok());
    EXPECT_TRUE(isFileNotFound(missing.error()));
    EXPECT_EQ(doc, before);
}

TEST_F(Scheme, ANameThatCannotBeAFileGetsAClearError) {
    const ColourTexts colours = numbered();
    // Missing sub-folder, a character Windows refuses, no name at all.
    auto folder = saveColourScheme(m_files, kProgram, QStringLiteral("Sub\\Mine"), colours);
    ASSERT_FALSE(folder.ok());
    EXPECT_EQ(folder.error().file, kProgram + QStringLiteral("\\Sub\\Mine.scheme"));
    EXPECT_FALSE(saveColourScheme(m_files, kProgram, QStringLiteral("a?b"), colours).ok());
    EXPECT_FALSE(saveColourScheme(m_files, kProgram, QString(), colours).ok());
    EXPECT_EQ(QDir(programHost()).entryList(QDir::Files | QDir::Hidden), QStringList());

    // An existing sub-folder is fine.
    QDir().mkpath(programHost() + QStringLiteral("/Sub"));
    EXPECT_TRUE(saveColourScheme(m_files, kProgram, QStringLiteral("Sub\\Mine"), colours).ok());
    EXPECT_TRUE(QFileInfo::exists(programHost() + QStringLiteral("/Sub/Mine.scheme")));
}
