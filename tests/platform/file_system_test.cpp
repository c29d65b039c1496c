#include "drive_support.h"
#include "platform/drive.h"
#include "platform/file_system.h"
#include "platform/sound_files.h"
#include "platform/wave_file.h"
#include "test_support.h"

using namespace p95;

namespace {

class Files : public test::DriveFixture {
protected:
    Files() { driveCFolder(); }

    QStringList listed(const QString& pattern, bool dirs) {
        auto names = m_fs.list(pattern, dirs);
        EXPECT_TRUE(names.ok()) << names.error().text().toStdString();
        return names.ok() ? names.value() : QStringList();
    }

    // Entries of a host folder, temporary files of a failed write included.
    QStringList entries(const QString& relative) {
        return QDir(onDrive(relative))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                       QDir::Name | QDir::IgnoreCase);
    }

    FileSystem m_fs;
};

} // namespace

TEST(FilePattern, StarQuestionMarkAndLetterCase) {
    struct Case {
        const char* name;
        const char* pattern;
        bool match;
    };
    const Case cases[] = {
        {"Ocean.theme", "*.theme", true},
        {"OCEAN.THEME", "*.theme", true},
        {"Ocean.theme.bak", "*.theme", false},
        {"README", "*.*", true},
        {"a.b", "*.*", true},
        {"ding.wav", "d?ng.wav", true},
        {"dng.wav", "d?ng.wav", false},
        {"ding.wav", "*i*g*", true},
        {"x", "", false},
        {"Ocean Busy.ani", "Ocean * Busy.ani", false},
        {"Ocean Busy.ani", "Ocean*Busy.ani", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(matchesPattern(QString::fromLatin1(c.name), QString::fromLatin1(c.pattern)),
                  c.match)
            << c.name << " ~ " << c.pattern;
    }
}

TEST_F(Files, ListingFindsMatchesInAnyCaseAndDirectoriesOnlyWhenAsked) {
    writeFile(onDrive(QStringLiteral("Themes/Ocean/Ocean.theme")), "t");
    writeFile(onDrive(QStringLiteral("Themes/Ocean/ocean busy.ANI")), "a");
    writeFile(onDrive(QStringLiteral("Themes/Ocean/ReadMe.txt")), "r");
    QDir().mkpath(onDrive(QStringLiteral("Themes/Ocean/Sub.dir")));

    EXPECT_EQ(listed(QStringLiteral("C:\\THEMES\\OCEAN\\*.ani"), false),
              QStringList{QStringLiteral("ocean busy.ANI")});
    EXPECT_EQ(listed(QStringLiteral("C:\\Themes\\Ocean\\*.*"), false),
              (QStringList{QStringLiteral("ocean busy.ANI"), QStringLiteral("Ocean.theme"),
                           QStringLiteral("ReadMe.txt")}));
    EXPECT_EQ(listed(QStringLiteral("C:/themes/ocean/"), true),
              (QStringList{QStringLiteral("."), QStringLiteral(".."),
                           QStringLiteral("ocean busy.ANI"), QStringLiteral("Ocean.theme"),
                           QStringLiteral("ReadMe.txt"), QStringLiteral("Sub.dir")}));
    EXPECT_EQ(m_fs.firstMatch(QStringLiteral("C:\\Themes\\Ocean\\*.txt"), false),
              QStringLiteral("ReadMe.txt"));
    EXPECT_EQ(m_fs.firstMatch(QStringLiteral("C:\\Themes\\Ocean\\*.scr"), false), QString());

    // A host path lists the same folder.
    EXPECT_EQ(listed(onDrive(QStringLiteral("Themes/Ocean/*.theme")), false),
              QStringList{QStringLiteral("Ocean.theme")});
}

TEST_F(Files, DirectoryExistsOnlyForAFolder) {
    writeFile(onDrive(QStringLiteral("Themes/Ocean/Ocean.theme")), "t");
    EXPECT_TRUE(m_fs.directoryExists(QStringLiteral("C:\\themes\\ocean\\")));
    EXPECT_TRUE(m_fs.directoryExists(QStringLiteral("C:\\themes\\ocean")));
    EXPECT_TRUE(m_fs.directoryExists(onDrive(QStringLiteral("Themes"))));
    EXPECT_FALSE(m_fs.directoryExists(QStringLiteral("C:\\themes\\ocean\\ocean.theme\\")));
    EXPECT_FALSE(m_fs.directoryExists(QStringLiteral("C:\\themes\\Sunset\\")));
    EXPECT_TRUE(m_fs.list(QStringLiteral("C:\\Themes\\Sunset\\*.*"), true)->isEmpty());
    EXPECT_FALSE(m_fs.list(QStringLiteral("E:\\*.*"), true).ok());
    EXPECT_TRUE(m_fs.fileExists(QStringLiteral("C:\\THEMES\\OCEAN\\OCEAN.THEME")));
    EXPECT_FALSE(m_fs.fileExists(QStringLiteral("C:\\THEMES\\OCEAN")));
}

TEST_F(Files, MakeAndRemoveDirectory) {
    EXPECT_TRUE(m_fs.makeDirectory(QStringLiteral("C:\\Work")).ok());
    EXPECT_TRUE(QFileInfo(onDrive(QStringLiteral("Work"))).isDir());
    // Exists (in any case), parent missing, other drive.
    EXPECT_FALSE(m_fs.makeDirectory(QStringLiteral("C:\\WORK")).ok());
    EXPECT_FALSE(m_fs.makeDirectory(QStringLiteral("C:\\Missing\\Work")).ok());
    EXPECT_FALSE(m_fs.makeDirectory(QStringLiteral("D:\\Work")).ok());

    writeFile(onDrive(QStringLiteral("Work/x.txt")), "x");
    EXPECT_FALSE(m_fs.removeDirectory(QStringLiteral("C:\\work")).ok());
    EXPECT_TRUE(QFileInfo::exists(onDrive(QStringLiteral("Work/x.txt"))));
    QFile::remove(onDrive(QStringLiteral("Work/x.txt")));
    EXPECT_TRUE(m_fs.removeDirectory(QStringLiteral("C:\\work")).ok());
    EXPECT_FALSE(QFileInfo::exists(onDrive(QStringLiteral("Work"))));
    auto missing = m_fs.removeDirectory(QStringLiteral("C:\\work"));
    ASSERT_FALSE(missing.ok());
    EXPECT_TRUE(isFileNotFound(missing.error()));
}

TEST_F(Files, CopyReplacesTheTargetUnderItsExistingName) {
    writeFile(tmp() + QStringLiteral("/src/Arrow.cur"), "new pointer");
    writeFile(onDrive(QStringLiteral("Themes/Ocean/Ocean Normal Select.cur")), "old pointer");
    EXPECT_TRUE(m_fs.copyFile(tmp() + QStringLiteral("/src/Arrow.cur"),
                              QStringLiteral("C:\\themes\\OCEAN\\ocean normal select.CUR"))
                    .ok());
    EXPECT_EQ(entries(QStringLiteral("Themes/Ocean")),
              QStringList{QStringLiteral("Ocean Normal Select.cur")});
    EXPECT_EQ(test::readBytes(onDrive(QStringLiteral("Themes/Ocean/Ocean Normal Select.cur"))),
              "new pointer");

    // A file copied over itself stays whole.
    EXPECT_TRUE(m_fs.copyFile(QStringLiteral("C:\\Themes\\Ocean\\Ocean Normal Select.cur"),
                              QStringLiteral("C:\\Themes\\Ocean\\Ocean Normal Select.cur"))
                    .ok());
    EXPECT_EQ(test::readBytes(onDrive(QStringLiteral("Themes/Ocean/Ocean Normal Select.cur"))),
              "new pointer");
}

TEST_F(Files, CopyOfAMissingOrNonRegularFileFails) {
    auto missing = m_fs.copyFile(tmp() + QStringLiteral("/gone.wav"), QStringLiteral("C:\\x.wav"));
    ASSERT_FALSE(missing.ok());
    EXPECT_TRUE(isFileNotFound(missing.error()));
    EXPECT_EQ(missing.error().file, tmp() + QStringLiteral("/gone.wav"));
    auto folder = m_fs.copyFile(QStringLiteral("C:\\Windows"), QStringLiteral("C:\\x.wav"));
    ASSERT_FALSE(folder.ok());
    EXPECT_FALSE(isFileNotFound(folder.error()));
    EXPECT_FALSE(QFileInfo::exists(onDrive(QStringLiteral("x.wav"))));
}

TEST_F(Files, AFullDiskHalfWayLeavesTheEarlierFileWholeAndNoLitter) {
    const QByteArray big(3 * 1024 * 1024 + 17, 'n');
    writeFile(tmp() + QStringLiteral("/big.wav"), big);
    writeFile(onDrive(QStringLiteral("Themes/Ocean/Ocean Asterisk.wav")), "earlier sound");
    writeFile(onDrive(QStringLiteral("Themes/Ocean/Ocean.theme")), "earlier theme");

    m_fs.setWriteLimit(1024 * 1024 + 5);
    auto copy = m_fs.copyFile(tmp() + QStringLiteral("/big.wav"),
                              QStringLiteral("C:\\Themes\\Ocean\\Ocean Asterisk.wav"));
    ASSERT_FALSE(copy.ok());
    EXPECT_TRUE(copy.error().reason.contains(QStringLiteral("No space")));
    auto write = m_fs.writeFile(QStringLiteral("C:\\Themes\\Ocean\\Ocean.theme"), "new theme");
    ASSERT_FALSE(write.ok());

    EXPECT_EQ(test::readBytes(onDrive(QStringLiteral("Themes/Ocean/Ocean Asterisk.wav"))),
              "earlier sound");
    EXPECT_EQ(test::readBytes(onDrive(QStringLiteral("Themes/Ocean/Ocean.theme"))),
              "earlier theme");
    EXPECT_EQ(entries(QStringLiteral("Themes/Ocean")),
              (QStringList{QStringLiteral("Ocean Asterisk.wav"), QStringLiteral("Ocean.theme")}));

    m_fs.setWriteLimit(-1);
    EXPECT_TRUE(m_fs.copyFile(tmp() + QStringLiteral("/big.wav"),
                              QStringLiteral("C:\\Themes\\Ocean\\Ocean Asterisk.wav"))
                    .ok());
    EXPECT_EQ(test::readBytes(onDrive(QStringLiteral("Themes/Ocean/Ocean Asterisk.wav"))), big);
}

TEST_F(Files, DeleteByPatternDeletesMatchingFilesOnly) {
    writeFile(onDrive(QStringLiteral("Scratch/a.ani")), "a");
    writeFile(onDrive(QStringLiteral("Scratch/B.WAV")), "b");
    QDir().mkpath(onDrive(QStringLiteral("Scratch/folder.wav")));

    EXPECT_TRUE(m_fs.deleteFiles(QStringLiteral("C:\\scratch\\*.wav")).ok());
    EXPECT_EQ(entries(QStringLiteral("Scratch")),
              (QStringList{QStringLiteral("a.ani"), QStringLiteral("folder.wav")}));
    auto none = m_fs.deleteFiles(QStringLiteral("C:\\scratch\\*.wav"));
    ASSERT_FALSE(none.ok());
    EXPECT_TRUE(isFileNotFound(none.error()));
    EXPECT_TRUE(m_fs.deleteFiles(QStringLiteral("C:\\scratch\\*.*")).ok());
    EXPECT_EQ(entries(QStringLiteral("Scratch")), QStringList{QStringLiteral("folder.wav")});
    EXPECT_TRUE(isFileNotFound(m_fs.deleteFiles(QStringLiteral("C:\\nowhere\\*.*")).error()));
}

TEST_F(Files, RenameRefusesAnExistingTargetButAllowsACaseChange) {
    writeFile(onDrive(QStringLiteral("Prog/theme.cat")), "tune");
    writeFile(onDrive(QStringLiteral("Prog/other.mid")), "other");
    EXPECT_FALSE(
        m_fs.rename(QStringLiteral("C:\\Prog\\theme.cat"), QStringLiteral("C:\\Prog\\OTHER.MID"))
            .ok());
    EXPECT_EQ(test::readBytes(onDrive(QStringLiteral("Prog/other.mid"))), "other");

    EXPECT_TRUE(
        m_fs.rename(QStringLiteral("C:\\Prog\\theme.cat"), QStringLiteral("C:\\Prog\\theme.mid"))
            .ok());
    EXPECT_EQ(test::readBytes(onDrive(QStringLiteral("Prog/theme.mid"))), "tune");
    EXPECT_TRUE(
        m_fs.rename(QStringLiteral("C:\\Prog\\theme.mid"), QStringLiteral("C:\\Prog\\Theme.MID"))
            .ok());
    EXPECT_EQ(entries(QStringLiteral("Prog")),
              (QStringList{QStringLiteral("other.mid"), QStringLiteral("Theme.MID")}));
    EXPECT_TRUE(isFileNotFound(
        m_fs.rename(QStringLiteral("C:\\Prog\\gone.cat"), QStringLiteral("C:\\Prog\\x.mid"))
            .error()));
}

TEST_F(Files, ReadFileNamesAMissingFile) {
    writeFile(onDrive(QStringLiteral("Windows/Tips.txt")), "tip");
    EXPECT_EQ(m_fs.readFile(QStringLiteral("c:\\windows\\TIPS.TXT")).value(), "tip");
    auto missing = m_fs.readFile(QStringLiteral("C:\\Windows\\none.txt"));
    ASSERT_FALSE(missing.ok());
    EXPECT_TRUE(isFileNotFound(missing.error()));
    EXPECT_EQ(missing.error().file, QStringLiteral("C:\\Windows\\none.txt"));
}

// A sound is a RIFF file of form WAVE; the size field only needs room for the
// form type, since many programs leave it wrong.
TEST_F(Files, OnlyARiffWaveHeaderMakesAWaveFile) {
    const auto le = [](quint32 v) {
        QByteArray out;
        test::appendLe(out, v, 4);
        return out;
    };
    const struct {
        QByteArray bytes;
        const char* problem; // nullptr: a wave file
    } cases[] = {
        {"RIFF" + le(36) + "WAVEfmt ", nullptr},
        {"RIFF" + le(0xffffffffu) + "WAVE", nullptr},
        {"RIFF" + le(4) + "WAVE", nullptr},
        {"RIFF" + le(3) + "WAVE", "its RIFF chunk is empty"},
        {"RIFF" + le(36) + "AVI LIST", "a RIFF file, but not a wave sound"},
        {"RIFX" + le(36) + "WAVE", "not a RIFF file"},
        {"just some notes\r\n", "not a RIFF file"},
        {"RIFF" + le(36) + "WAV", "too short for a wave file"},
        {"", "too short for a wave file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        writeFile(onDrive(QStringLiteral("Windows/Media/Sound.WAV")), c.bytes);
        const Status status = checkWaveFile(QStringLiteral("C:\\WINDOWS\\media\\sound.wav"));
        if (!c.problem) {
            EXPECT_TRUE(status.ok()) << status.error().text().toStdString();
            continue;
        }
        ASSERT_FALSE(status.ok());
        EXPECT_EQ(status.error().reason, QString::fromLatin1(c.problem));
        EXPECT_EQ(status.error().file, QStringLiteral("C:\\WINDOWS\\media\\sound.wav"));
    }
    const Status missing = checkWaveFile(tmp() + QStringLiteral("/gone.wav"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().reason, QStringLiteral("file not found"));
}
