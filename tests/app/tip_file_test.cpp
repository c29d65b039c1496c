// The tip file's rules: which lines are tips, and the draw that never picks
// line 1, for well-formed and hostile files alike.

#include "app/tip_file/tip_file.h"
#include "test_support.h"

#include <QTemporaryDir>

#include <set>

namespace p95::test {
namespace {

TipFile parse(const char* bytes) {
    return parseTipFile(QByteArray(bytes));
}

RandomSource fixed(double value) {
    return [value] { return value; };
}

TEST(TipFile, LineOneNamesTheLastTipLine) {
    const TipFile file = parse("3\r\nFirst tip\r\nSecond tip\r\nNot a tip\r\n");
    ASSERT_EQ(file.tips, (QStringList{QStringLiteral("First tip"), QStringLiteral("Second tip")}));
    EXPECT_EQ(file.lastLine(), 3);
    EXPECT_EQ(file.line(2), QStringLiteral("First tip"));
    EXPECT_EQ(file.line(3), QStringLiteral("Second tip"));
}

TEST(TipFile, TipsAreWindows1252AndKeptUnchanged) {
    const TipFile file = parseTipFile(QByteArray("2\r\n  Caf\xe9 \x93quoted\x94, a, b  \r\n"));
    ASSERT_EQ(file.tips.size(), 1);
    EXPECT_EQ(file.tips[0], QString::fromUtf8("  Café “quoted”, a, b  "));
}

TEST(TipFile, AcceptsBareLineEndsAndBlanksAroundTheNumber) {
    EXPECT_EQ(parse(" 3 \nA\nB").tips, (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    EXPECT_EQ(parse("2\rOnly").tips, QStringList{QStringLiteral("Only")});
}

TEST(TipFile, HostileFilesGiveNoTipsOrOnlyThoseThatExist) {
    struct Case {
        const char* what;
        QByteArray bytes;
        int tips;
    };
    const Case cases[] = {
        {"empty file", "", 0},
        {"line 1 is 1: the draw could never end", "1\r\nA tip\r\n", 0},
        {"line 1 is 0", "0\r\nA\r\n", 0},
        {"negative", "-3\r\nA\r\nB\r\n", 0},
        {"not a number", "three\r\nA\r\nB\r\n", 0},
        {"number with trailing text", "3x\r\nA\r\nB\r\n", 0},
        {"empty line 1", "\r\nA\r\n", 0},
        {"fewer lines than announced", "10\r\nA\r\nB\r\n", 2},
        {"no tip lines at all", "5\r\n", 0},
        {"huge number", "99999999999999999999999999999\r\nA\r\nB\r\n", 2},
        {"nul bytes", QByteArray("3\r\nA\0B\r\nC\r\n", 11), 2},
    };
    for (const Case& c : cases) {
        const TipFile file = parseTipFile(c.bytes);
        EXPECT_EQ(file.tips.size(), c.tips) << c.what;
        const auto k = drawTipLine(file, fixed(0.999));
        if (c.tips == 0) {
            EXPECT_FALSE(k.has_value()) << c.what;
        } else {
            ASSERT_TRUE(k.has_value()) << c.what;
            EXPECT_GE(*k, 2) << c.what;
            EXPECT_LE(*k, file.lastLine()) << c.what;
        }
    }
}

TEST(TipFile, AHugeFileIsReadQuicklyAndOnlyAsFarAsAnnounced) {
    QByteArray bytes = "3\r\n";
    const QByteArray line(1000, 'x');
    for (int i = 0; i < 3000; ++i)
        bytes += line + "\r\n";
    const TipFile file = parseTipFile(bytes);
    EXPECT_EQ(file.tips.size(), 2);
}

TEST(TipFile, MissingUnreadableOrOversizedFilesGiveNoTips) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_TRUE(readTipFile(dir.filePath(QStringLiteral("missing.txz"))).empty());
    // A folder where the file should be.
    EXPECT_TRUE(readTipFile(dir.path()).empty());

    QFile big(dir.filePath(QStringLiteral("big.txz")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write("3\r\nA\r\nB\r\n");
    big.write(QByteArray(5 << 20, 'x'));
    big.close();
    EXPECT_TRUE(readTipFile(big.fileName()).empty());

    QFile good(dir.filePath(QStringLiteral("tipofday.txz")));
    ASSERT_TRUE(good.open(QIODevice::WriteOnly));
    good.write("2\r\nThe one tip\r\n");
    good.close();
    EXPECT_EQ(readTipFile(good.fileName()).tips, QStringList{QStringLiteral("The one tip")});
}

TEST(TipDraw, SpreadsEvenlyOverLinesTwoToNAndNeverDrawsLineOne) {
    const TipFile file = parse("3\r\nA\r\nB\r\n");
    // Half of [0, 1) to each of the two tips.
    EXPECT_EQ(drawTipLine(file, fixed(0.0)), 2);
    EXPECT_EQ(drawTipLine(file, fixed(0.4999)), 2);
    EXPECT_EQ(drawTipLine(file, fixed(0.5)), 3);
    EXPECT_EQ(drawTipLine(file, fixed(0.9999999)), 3);

    const TipFile five = parse("6\r\n1\r\n2\r\n3\r\n4\r\n5\r\n");
    std::set<int> seen;
    for (int i = 0; i < 100; ++i)
        seen.insert(*drawTipLine(five, fixed(i / 100.0)));
    EXPECT_EQ(seen, (std::set<int>{2, 3, 4, 5, 6}));
}

TEST(TipDraw, ASourceOutsideItsRangeStillPicksATip) {
    const TipFile file = parse("3\r\nA\r\nB\r\n");
    for (double r : {1.0, 7.5, -0.5, std::numeric_limits<double>::quiet_NaN(),
                     std::numeric_limits<double>::infinity()}) {
        const auto k = drawTipLine(file, fixed(r));
        ASSERT_TRUE(k.has_value()) << r;
        EXPECT_TRUE(*k == 2 || *k == 3) << r;
    }
}

} // namespace
} // namespace p95::test
