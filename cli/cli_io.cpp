#include "cli/cli_io.h"

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

bool readInput(const QString& path, QByteArray& bytes, QString& error) {
    if (path == QStringLiteral("-")) {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly)) {
            error = QStringLiteral("cannot read standard input");
            return false;
        }
        bytes = in.readAll();
        return true;
    }
    auto result = readWholeFile(path);
    if (!result) {
        error = result.error().text();
        return false;
    }
    bytes = result.value();
    return true;
}

bool writeStdout(const QByteArray& bytes) {
    const std::size_t n = std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    return std::fflush(stdout) == 0 && n == std::size_t(bytes.size());
}

} // namespace p95::cli
