#include "cli/preview_command.h"

#include "cli/cli_io.h"
#include "platform/text_file.h"
#include "preview/preview_renderer.h"

#include <QBuffer>
#include <QRegularExpression>

namespace p95::cli {

namespace {

// "WIDTHxHEIGHT", each side 1..kMaxPreviewSide; an invalid size otherwise.
QSize parseSize(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,5})[xX]([0-9]{1,5})$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return {};
    const int width = match.captured(1).toInt();
    const int height = match.captured(2).toInt();
    if (width < 1 || height < 1 || width > kMaxPreviewSide || height > kMaxPreviewSide)
        return {};
    return {width, height};
}

} // namespace

int previewCommand(const QStringList& args) {
    CommandArgs given;
    if (auto status = parseCommandArgs(
            QStringLiteral("preview"), args,
            {kOutput,
             {{QStringLiteral("--size")}, QStringLiteral("WIDTHxHEIGHT")},
             {{QStringLiteral("--screen")}, QStringLiteral("WIDTHxHEIGHT")}},
            QStringLiteral("document"), QStringLiteral(" (DOC.json)"), true, given))
        return *status;
    const QString& input = given.operand;
    const QString output = given.values.value(QStringLiteral("-o"));
    PreviewOptions options;
    if (given.values.contains(QStringLiteral("--screen"))) {
        const QString text = given.values.value(QStringLiteral("--screen"));
        options.screen = parseSize(text);
        if (!options.screen.isValid())
            return usage(QStringLiteral("bad screen %1: give WIDTHxHEIGHT, each 1 to %2")
                             .arg(text)
                             .arg(kMaxPreviewSide));
    }
    // By default the screen pixel for pixel, the pointer strip below it.
    QSize size = previewSizeFor(options.screen);
    if (given.values.contains(QStringLiteral("--size"))) {
        const QString text = given.values.value(QStringLiteral("--size"));
        size = parseSize(text);
        if (!size.isValid())
            return usage(QStringLiteral("bad size %1: give WIDTHxHEIGHT, each 1 to %2")
                             .arg(text)
                             .arg(kMaxPreviewSide));
    }
    if (output.isEmpty())
        return usage(QStringLiteral("preview needs an output file (-o FILE.png)"));

    const auto doc = readDocument(input, ThemeDocument(), Failed);
    if (!doc.ok())
        return doc.status;

    PreviewPictures pictures;
    const PreviewRendering rendering = renderPreview(*doc.value, size, pictures, options);
    // Named, one line each, but no failure: the picture is still written.
    for (const QString& absent : rendering.absent)
        note(QStringLiteral("drawn without %1").arg(absent));

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (rendering.image.isNull() || !rendering.image.save(&buffer, "PNG"))
        return fail(Failed, QStringLiteral("the picture could not be made"));
    if (const Status written = writeFileAtomically(output, png); !written.ok())
        return fail(Failed, written.error().text());
    return Done;
}

} // namespace p95::cli
