// The rich-text box: formatting stays in the box, files get plain Windows-1252.

#include "editor/editor_test_support.h"
#include "test_support.h"
#include "ui/rich_text.h"

#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextEdit>

namespace p95::test {
namespace {

// The application must exist before the box does.
struct WithApplication {
    WithApplication() { ensureApplication(); }
};

class RichText : public ::testing::Test, private WithApplication {
protected:
    void SetUp() override { setUpRichTextBox(box); }
    QString file(const char* name) const { return dir.path() + QLatin1Char('/') + name; }
    QTextEdit box;
    QTemporaryDir dir;
};

TEST_F(RichText, StartsEmptyInASmallSansSerifFont) {
    EXPECT_TRUE(plainText(box).isEmpty());
    const QFont font = box.document()->defaultFont();
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 8.5);
    EXPECT_EQ(font.families().value(0), QStringLiteral("MS Sans Serif"));
    EXPECT_TRUE(box.acceptRichText());
}

TEST_F(RichText, SavesFormattedTextPlainWithCrLfBetweenLines) {
    box.setHtml(QStringLiteral("<h1>Title</h1><p><b>caf\u00e9</b> &amp; <i>more</i><br>soft</p>"));
    ASSERT_TRUE(savePlainTextFile(box, file("out.txt")).ok());
    EXPECT_EQ(readBytes(file("out.txt")), QByteArray("Title\r\ncaf\xe9 & more\r\nsoft"));
}

TEST_F(RichText, EveryCharacterIsKeptNoBreakSpacesToo) {
    box.setPlainText(QStringLiteral("10\u00a0km \u00bb here"));
    QTextCursor cursor(box.document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("\u2028soft"));
    EXPECT_EQ(plainText(box), QStringLiteral("10\u00a0km \u00bb here\nsoft"));
    ASSERT_TRUE(savePlainTextFile(box, file("nbsp.txt")).ok());
    EXPECT_EQ(readBytes(file("nbsp.txt")), QByteArray("10\xa0km \xbb here\r\nsoft"));
}

TEST_F(RichText, AnEmptyTextGivesAnEmptyFile) {
    ASSERT_TRUE(savePlainTextFile(box, file("empty.txt")).ok());
    EXPECT_TRUE(readBytes(file("empty.txt")).isEmpty());
}

TEST_F(RichText, LoadsWindows1252TextWhateverItsLineEnds) {
    QFile out(file("in.txt"));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("one\r\ntwo\nthree\rfour \x80\x93");
    out.close();
    box.setHtml(QStringLiteral("<b>old</b>"));
    ASSERT_TRUE(loadPlainTextFile(box, file("in.txt")).ok());
    EXPECT_EQ(plainText(box), QStringLiteral("one\ntwo\nthree\nfour \u20ac\u201c"));
    // Loading and saving again gives the bytes back with CR LF line ends.
    ASSERT_TRUE(savePlainTextFile(box, file("again.txt")).ok());
    EXPECT_EQ(readBytes(file("again.txt")), QByteArray("one\r\ntwo\r\nthree\r\nfour \x80\x93"));
}

TEST_F(RichText, TextWindows1252CannotHoldIsRefusedAndTheFileKept) {
    QFile out(file("keep.txt"));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("earlier");
    out.close();
    box.setPlainText(QStringLiteral("snow \u2603 man"));
    const Status saved = savePlainTextFile(box, file("keep.txt"));
    ASSERT_FALSE(saved.ok());
    EXPECT_TRUE(saved.error().reason.contains(QStringLiteral("\u2603")));
    EXPECT_EQ(readBytes(file("keep.txt")), QByteArray("earlier"));
}

TEST_F(RichText, AFileThatCannotBeReadLeavesTheBoxAlone) {
    box.setPlainText(QStringLiteral("kept"));
    EXPECT_FALSE(loadPlainTextFile(box, file("missing.txt")).ok());
    EXPECT_EQ(plainText(box), QStringLiteral("kept"));
}

} // namespace
} // namespace p95::test
