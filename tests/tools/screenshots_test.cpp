// paletteer95-screenshots run as a user runs it: it must end normally with
// status 0 (a crash or a sanitizer report after its last line fails), name
// every picture it promises, and each must decode as a PNG.

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
    // One picture per tab of the editor, the preview picture, the preview window twice.
    const QStringList expected{QStringLiteral("editor-0-pointers.png"),
                               QStringLiteral("editor-1-sounds.png"),
                               QStringLiteral("editor-2-visuals.png"),
                               QStringLiteral("editor-3-colors.png"),
                               QStringLiteral("editor-4-readme.png"),
                               QStringLiteral("preview-ocean.png"),
                               QStringLiteral("preview-window-0-own-colours.png"),
                               QStringLiteral("preview-window-1-preset.png")};
    QStringList names;
    for (const QString& file : named)
        names << QFileInfo(file).fileName();
    ASSERT_EQ(names, expected);
    QSize editorSize;
    for (const QString& file : named) {
        SCOPED_TRACE(file.toStdString());
        QImageReader reader(file);
        EXPECT_EQ(reader.format(), QByteArray("png"));
        const QImage picture = reader.read();
        ASSERT_FALSE(picture.isNull()) << reader.errorString().toStdString();
        EXPECT_GE(picture.width(), 300);
        EXPECT_GE(picture.height(), 200);
        // The whole editor window, the same on every tab.
        if (QFileInfo(file).fileName().startsWith(QStringLiteral("editor-"))) {
            if (editorSize.isEmpty())
                editorSize = picture.size();
            EXPECT_EQ(picture.size(), editorSize);
        }
    }
}

} // namespace
