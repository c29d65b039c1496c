// paletteer95-cli preview as a script meets it: the picture written, what
// could not be drawn named, and the exit statuses of bad input and a failed
// write.

#include "cli/cli_test_support.h"
#include "preview_test_support.h"

#include <QDir>

namespace p95::test {
namespace {

class PreviewCli : public DriveFixture {
protected:
    QString put(const char* name, const QByteArray& bytes) {
        const QString path = tmp() + QLatin1Char('/') + QLatin1String(name);
        writeFile(path, bytes);
        return path;
    }
};

TEST_F(PreviewCli, WritesThePictureAndNamesTheFilesItCouldNotDraw) {
    const QString missing = tmp() + QStringLiteral("/gone.bmp");
    const QString doc =
        put("doc.json", QStringLiteral(R"({"icons": ["%1", "", "", "", "", ""], "tiled": true})")
                            .arg(missing)
                            .toUtf8());
    const QString out = tmp() + QStringLiteral("/out.png");
    const CliRun run = runCli({QStringLiteral("preview"), doc, QStringLiteral("-o"), out,
                               QStringLiteral("--size"), QStringLiteral("320x240")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(missing.toUtf8())) << run.err.toStdString();
    const QImage picture(out);
    EXPECT_EQ(picture.size(), QSize(320, 240));
    EXPECT_GT(countPixels(picture, qRgb(0, 128, 128)), 10000); // the desktop, without the wallpaper
    // Written beside the target and renamed: nothing else is left.
    EXPECT_EQ(QDir(tmp()).entryList(QDir::Files).size(), 2);

    const CliRun usual = runCli({QStringLiteral("preview"), doc, QStringLiteral("-o"), out});
    EXPECT_EQ(usual.exitCode, 0);
    // The screen pixel for pixel, the pointer strip below it.
    EXPECT_EQ(QImage(out).size(), QSize(800, 644));
    const CliRun small = runCli({QStringLiteral("preview"), doc, QStringLiteral("-o"), out,
                                 QStringLiteral("--screen"), QStringLiteral("640x480")});
    EXPECT_EQ(small.exitCode, 0);
    EXPECT_EQ(QImage(out).size(), QSize(640, 524));
}

TEST_F(PreviewCli, BadInputWritesNothingAndAFailedWriteSaysSo) {
    const QString good = put("good.json", "{}");
    const QString bad = put("bad.json", "{\"colours\": ");
    const QString out = tmp() + QStringLiteral("/out.png");
    const struct {
        QStringList args;
        int exitCode;
    } cases[] = {
        {{QStringLiteral("preview"), bad, QStringLiteral("-o"), out}, 2},
        {{QStringLiteral("preview"), good, QStringLiteral("-o"), out, QStringLiteral("--size"),
          QStringLiteral("0x600")},
         2},
        {{QStringLiteral("preview"), good, QStringLiteral("-o"), out, QStringLiteral("--size"),
          QStringLiteral("800")},
         2},
        {{QStringLiteral("preview"), good, QStringLiteral("-o"), out, QStringLiteral("--size"),
          QStringLiteral("100000x100000")},
         2},
        {{QStringLiteral("preview"), good, QStringLiteral("-o"), out, QStringLiteral("--screen"),
          QStringLiteral("0x480")},
         2},
        {{QStringLiteral("preview"), good}, 2},
        {{QStringLiteral("preview"), good, QStringLiteral("-o"),
          tmp() + QStringLiteral("/no such folder/out.png")},
         1},
    };
    for (const auto& c : cases) {
        const CliRun run = runCli(c.args);
        const std::string what = c.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(run.exitCode, c.exitCode) << what;
        EXPECT_EQ(run.err.count('\n'), 1) << what << ": " << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(out)) << what;
    }
}

} // namespace
} // namespace p95::test
