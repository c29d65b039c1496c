#include "cli/preview_command.h"

#include "cli/cli_io.h"
#include "cli/document_json.h"
#include "platform/text_file.h"
#include "preview/preview_renderer.h"

#include <QBuffer>
#include <QRegularExpression>

namespace p95::cli {

namespace {

int usage(const QString& problem) {
    return fail(BadInput, problem + QStringLiteral(" (see paletteer95-cli --help)"));
}

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
    QString input;
    QString output;
    QSize size(800, 600);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QStringLiteral("-o") || arg == QStringLiteral("--output")) {
            if (i + 1 >= args.size())
                return usage(QStringLiteral("-o needs a file name"));
            output = args[++i];
        } else if (arg == QStringLiteral("--size")) {
            if (i + 1 >= args.size())
                return usage(QStringLiteral("--size needs WIDTHxHEIGHT"));
            size = parseSize(args[++i]);
            if (!size.isValid())
                return usage(QStringLiteral("bad size %1: give WIDTHxHEIGHT, each 1 to %2")
                                 .arg(args[i])
                                 .arg(kMaxPreviewSide));
        } else if (arg.startsWith(QLatin1Char('-')) && arg != QStringLiteral("-")) {
            return usage(QStringLiteral("unknown option %1").arg(arg));
        } else if (input.isEmpty()) {
            input = arg;
        } else {
            return usage(QStringLiteral("preview takes one document"));
        }
    }
    if (input.isEmpty())
        return usage(QStringLiteral("preview needs a document (DOC.json)"));
    if (output.isEmpty())
        return usage(QStringLiteral("preview needs an output file (-o FILE.png)"));

    QByteArray json;
    QString error;
    if (!readInput(input, json, error))
        return fail(Failed, error);
    const auto doc = documentFromJson(json);
    if (!doc)
        return fail(BadInput, QStringLiteral("%1: %2").arg(input, doc.error().reason));

    PreviewPictures pictures;
    const PreviewRendering rendering = renderPreview(doc.value(), size, pictures);
    // Named, one line each, but no failure: the picture is still written.
    for (const QString& absent : rendering.absent)
        fail(Done, QStringLiteral("drawn without %1").arg(absent));

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (rendering.image.isNull() || !rendering.image.save(&buffer, "PNG"))
        return fail(Failed, QStringLiteral("the picture could not be made"));
    if (const Status written = writeFileAtomically(output, png))
        return fail(Failed, written->text());
    return Done;
}

} // namespace p95::cli
