#include "drive_support.h"
#include "platform/drive.h"
#include "test_support.h"
#include "theme/readme.h"

using namespace p95;

namespace {

const QString kProgram = QStringLiteral("C:\\Program Files\\Paletteer 95");

class ReadMe : public test::DriveFixture {
protected:
    ReadMe() {
        driveCFolder();
        QDir().mkpath(onDrive(QStringLiteral("Program Files/Paletteer 95")));
    }
    QString defaultFile() const {
        return onDrive(QStringLiteral("Program Files/Paletteer 95/PersonalReadMe.txz"));
    }
    FileSystem m_files;
};

} // namespace

TEST(PlainText, LinesAreSeparatedByCrLfInWindows1252) {
    EXPECT_EQ(plainTextBytes(QStringLiteral("Caf\u00e9 \u20ac\nline 2")).value(),
              QByteArray("Caf\xe9 \x80\r\nline 2"));
    EXPECT_EQ(plainTextBytes(QStringLiteral("ends\n")).value(), QByteArray("ends\r\n"));
    EXPECT_EQ(plainTextBytes(QString()).value(), QByteArray());
    // Line ends already in CR LF or bare CR are not doubled.
    EXPECT_EQ(plainTextBytes(QStringLiteral("a\r\nb\rc")).value(), QByteArray("a\r\nb\r\nc"));
    auto refused = plainTextBytes(QStringLiteral("snow \u2603"));
    ASSERT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error().reason.contains(QStringLiteral("\u2603")));
    EXPECT_EQ(plainTextFromBytes("a\r\nb\nc\rd\xe9"), QStringLiteral("a\nb\nc\nd\u00e9"));
}

TEST_F(ReadMe, DefaultReadMeIsStoredAndLoadedBack) {
    const QString text = QStringLiteral("Thanks for downloading.\n\n\u00a9 Ann \u2013 1996");
    EXPECT_TRUE(storeDefaultReadMe(m_files, kProgram, text).ok());
    EXPECT_EQ(test::readBytes(defaultFile()),
              QByteArray("Thanks for downloading.\r\n\r\n\xa9 Ann \x96 1996"));
    EXPECT_EQ(loadDefaultReadMe(m_files, kProgram).value(), text);
    // An empty text gives an empty file.
    EXPECT_TRUE(storeDefaultReadMe(m_files, kProgram, QString()).ok());
    EXPECT_EQ(QFileInfo(defaultFile()).size(), 0);
    EXPECT_EQ(loadDefaultReadMe(m_files, kProgram).value(), QString());
}

TEST_F(ReadMe, FailuresAreReportedAndLeaveTheStoredFile) {
    writeFile(defaultFile(), "kept");
    auto status = storeDefaultReadMe(m_files, kProgram, QStringLiteral("\u4e00"));
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(test::readBytes(defaultFile()), "kept");
    QFile::remove(defaultFile());
    auto missing = loadDefaultReadMe(m_files, kProgram);
    ASSERT_FALSE(missing.ok());
    EXPECT_TRUE(isFileNotFound(missing.error()));
}

TEST_F(ReadMe, GenerateReadMeWritesOnlyWhenIncluded) {
    QDir().mkpath(onDrive(QStringLiteral("Program Files/Plus!/Themes/Ocean")));
    const QString target = onDrive(QStringLiteral("Program Files/Plus!/Themes/Ocean/ReadMe.txt"));
    ThemeDocument doc;
    doc.name = QStringLiteral("Ocean");
    doc.readMe = QStringLiteral("one\ntwo");
    EXPECT_TRUE(GenerateReadMe(m_files, doc).ok());
    EXPECT_FALSE(QFileInfo::exists(target));
    doc.includeReadMe = true;
    EXPECT_TRUE(GenerateReadMe(m_files, doc).ok());
    EXPECT_EQ(test::readBytes(target), "one\r\ntwo");

    doc.name = QStringLiteral("Nowhere");
    auto status = GenerateReadMe(m_files, doc);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().file,
              QStringLiteral("C:\\Program Files\\Plus!\\Themes\\Nowhere\\ReadMe.txt"));
}
