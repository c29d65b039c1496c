#include "platform/text_codec.h"
#include "platform/text_file.h"
#include "test_support.h"

#include <QTemporaryDir>

using namespace p95;

TEST(Windows1252, EveryByteRoundTripsAsOneCharacter) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = decodeWindows1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text.at(0x80), QChar(0x20AC)); // euro sign: not Latin-1
    EXPECT_EQ(text.at(0x9F), QChar(0x0178));
    EXPECT_EQ(text.at(0xE9), QChar(0x00E9));
    auto back = encodeWindows1252(text);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
}

TEST(Windows1252, UnencodableTextIsRefusedNotReplaced) {
    EXPECT_FALSE(encodeWindows1252(QStringLiteral("Sea \u6d77")).has_value());
    EXPECT_FALSE(encodeWindows1252(QStringLiteral("\U0001F30A")).has_value());
    EXPECT_EQ(firstUnencodable(QStringLiteral("ab\u6d77c")), QStringLiteral("\u6d77"));
    EXPECT_EQ(firstUnencodable(QStringLiteral("x\U0001F30A")), QStringLiteral("\U0001F30A"));
    EXPECT_TRUE(fitsWindows1252(QStringLiteral("Caf\u00e9 \u20ac \u0178")));
}

TEST(TextFile, LinesEndInCrLfWithNothingAfterTheLast) {
    auto bytes = encodeLines({QStringLiteral("a"), QString(), QStringLiteral("\u20ac")});
    ASSERT_TRUE(bytes.ok());
    EXPECT_EQ(bytes.value(), QByteArray("a\r\n\r\n\x80\r\n"));
    auto none = encodeLines({});
    ASSERT_TRUE(none.ok());
    EXPECT_TRUE(none.value().isEmpty());
}

TEST(TextFile, UnencodableLineLeavesTheEarlierFileWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.txt"));
    ASSERT_TRUE(writeTextFile(path, {QStringLiteral("first")}).ok());
    const Status status = writeTextFile(path, {QStringLiteral("ok"), QStringLiteral("\u6d77")});
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().file, path);
    EXPECT_EQ(test::readBytes(path), QByteArray("first\r\n"));
}

TEST(TextFile, ReadWholeFileRefusesDirectoriesAndMissingFiles) {
    QTemporaryDir dir;
    EXPECT_FALSE(readWholeFile(dir.path()).ok());
    EXPECT_FALSE(readWholeFile(dir.filePath(QStringLiteral("none"))).ok());
    const QString path = dir.filePath(QStringLiteral("big"));
    ASSERT_TRUE(writeFileAtomically(path, QByteArray(100, 'x')).ok());
    EXPECT_FALSE(readWholeFile(path, 99).ok());
    EXPECT_EQ(readWholeFile(path, 100).value().size(), 100);
}

TEST(SequentialInput, LinesEndAtCrLfBareLfOrBareCr) {
    SequentialInput in(QStringLiteral("one\r\ntwo\nthree\rfour"));
    EXPECT_EQ(in.readLine(), QStringLiteral("one"));
    EXPECT_EQ(in.readLine(), QStringLiteral("two"));
    EXPECT_EQ(in.readLine(), QStringLiteral("three"));
    EXPECT_FALSE(in.atEnd());
    EXPECT_EQ(in.readLine(), QStringLiteral("four"));
    EXPECT_TRUE(in.atEnd());
    EXPECT_EQ(in.readLine(), std::nullopt);
}

TEST(SequentialInput, BlankLinesAreEmptyRecords) {
    SequentialInput in(QStringLiteral("\r\n\r\nx\r\n"));
    EXPECT_EQ(in.readLine(), QString());
    EXPECT_EQ(in.readLine(), QString());
    EXPECT_EQ(in.readLine(), QStringLiteral("x"));
    EXPECT_TRUE(in.atEnd());
}

TEST(SequentialInput, FieldsSplitAtCommasAndLineEnds) {
    SequentialInput in(QStringLiteral("DefaultValue=%ThemeDir%T\\T My Computer.ico,0\r\n"
                                      "   lead,  trail  ,\r\n"
                                      "\"quoted, text\" dropped,next\r\n"
                                      "\"unclosed, runs on\r\n"
                                      "last"));
    EXPECT_EQ(in.readField(), QStringLiteral("DefaultValue=%ThemeDir%T\\T My Computer.ico"));
    EXPECT_EQ(in.readField(), QStringLiteral("0"));
    EXPECT_EQ(in.readField(), QStringLiteral("lead"));
    EXPECT_EQ(in.readField(), QStringLiteral("trail  "));
    EXPECT_EQ(in.readField(), QString()); // what follows the trailing comma
    EXPECT_EQ(in.readField(), QStringLiteral("quoted, text"));
    EXPECT_EQ(in.readField(), QStringLiteral("next"));
    EXPECT_EQ(in.readField(), QStringLiteral("unclosed, runs on"));
    EXPECT_EQ(in.readField(), QStringLiteral("last"));
    EXPECT_TRUE(in.atEnd());
    EXPECT_EQ(in.readField(), std::nullopt);
}

TEST(SequentialInput, TabsAreNotLeadingBlanks) {
    SequentialInput in(QStringLiteral("\tx,  \ty"));
    EXPECT_EQ(in.readField(), QStringLiteral("\tx"));
    EXPECT_EQ(in.readField(), QStringLiteral("\ty"));
}
