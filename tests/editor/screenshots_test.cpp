// paletteer95-screenshots run as a user runs it: it must end normally with
// status 0 (a crash or a sanitizer report after its last line fails), name one
// picture per tab, and every picture must decode as the PNG of the window.

#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(EditorScreenshots, TheProgramEndsCleanlyAndEveryPictureDecodes) {
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(P95_SCREENSHOTS_PATH), {out.path()});
    ASSERT_TRUE(program.waitForFinished(120000)) << "the program did not end";
    const QString err = QString::fromLocal8Bit(program.readAllStandardError());
    ASSERT_EQ(program.exitStatus(), QProcess::NormalExit) << err.toStdString();
    ASSERT_EQ(program.exitCode(), 0) << err.toStdString();
    EXPECT_FALSE(err.contains(QStringLiteral("Sanitizer")) ||
                 err.contains(QStringLiteral("runtime error:")))
        << err.toStdString();

    const QStringList named = QString::fromLocal8Bit(program.readAllStandardOutput())
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const char* const tabs[] = {"pointers", "sounds", "visuals", "colors", "readme"};
    ASSERT_EQ(named.size(), int(std::size(tabs))) << named.join(QLatin1Char(' ')).toStdString();
    QSize windowSize;
    for (int i = 0; i < named.size(); ++i) {
        SCOPED_TRACE(named[i].toStdString());
        EXPECT_EQ(QFileInfo(named[i]).fileName(),
                  QStringLiteral("editor-%1-%2.png").arg(i).arg(QLatin1String(tabs[i])));
        QImageReader reader(named[i]);
        EXPECT_EQ(reader.format(), QByteArray("png"));
        const QImage picture = reader.read();
        ASSERT_FALSE(picture.isNull()) << reader.errorString().toStdString();
        // The whole window, the same on every tab.
        EXPECT_GE(picture.width(), 400);
        EXPECT_GE(picture.height(), 300);
        if (i == 0)
            windowSize = picture.size();
        EXPECT_EQ(picture.size(), windowSize);
    }
}

} // namespace
