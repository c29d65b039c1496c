#include "cli/cli_io.h"

#include "cli/document_json.h"
#include "platform/text_file.h"

#include <QFile>

#include <cstdio>

namespace p95::cli {

void note(const QString& message) {
    const QByteArray line = QStringLiteral("paletteer95-cli: %1\n").arg(message).toLocal8Bit();
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stderr);
    std::fflush(stderr);
}

int fail(int status, const QString& message) {
    note(message);
    return status;
}

int usage(const QString& problem) {
    return fail(BadInput, problem + QStringLiteral(" (see paletteer95-cli --help)"));
}

std::optional<int> parseCommandArgs(const QString& command, const QStringList& args,
                                    const QList<Option>& options, const QString& operand,
                                    const QString& operandForm, bool dashIsInput,
                                    CommandArgs& out) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const Option* option = nullptr;
        for (const Option& o : options) {
            if (o.names.contains(arg))
                option = &o;
        }
        if (option && option->valueNeeded.isEmpty()) {
            out.flags.insert(option->names.first());
        } else if (option) {
            if (i + 1 >= args.size())
                return usage(QStringLiteral("%1 needs %2").arg(arg, option->valueNeeded));
            out.values.insert(option->names.first(), args[++i]);
        } else if (arg.startsWith(QLatin1Char('-')) &&
                   !(dashIsInput && arg == QStringLiteral("-"))) {
            return usage(QStringLiteral("unknown option %1").arg(arg));
        } else if (out.operand.isEmpty()) {
            out.operand = arg;
        } else {
            return usage(QStringLiteral("%1 takes one %2").arg(command, operand));
        }
    }
    if (out.operand.isEmpty())
        return usage(QStringLiteral("%1 needs a %2%3").arg(command, operand, operandForm));
    return std::nullopt;
}

CommandInput<ThemeDocument> readDocument(const QString& input, const ThemeDocument& base,
                                         int unreadableStatus) {
    const Result<QByteArray> json = readInput(input);
    if (!json)
        return {std::nullopt, fail(unreadableStatus, json.error().text())};
    auto doc = documentFromJson(json.value(), base);
    if (!doc)
        return {std::nullopt,
                fail(BadInput, QStringLiteral("%1: %2").arg(input, doc.error().reason))};
    return {doc.value(), Done};
}

Result<QByteArray> readInput(const QString& path) {
    if (path == QStringLiteral("-")) {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly))
            return Error{QStringLiteral("cannot read standard input"), {}, {}};
        return in.readAll();
    }
    return readWholeFile(path);
}

bool writeStdout(const QByteArray& bytes) {
    const std::size_t n = std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    return std::fflush(stdout) == 0 && n == std::size_t(bytes.size());
}

} // namespace p95::cli
