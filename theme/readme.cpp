#include "theme/readme.h"

#include "platform/text_codec.h"
#include "platform/text_file.h"

namespace p95 {

QString defaultReadMePath(const QString& programDirectory) {
    return programDirectory + QStringLiteral("\\PersonalReadMe.txz");
}

QString themeReadMePath(const QString& themeName) {
    return themeDirectory(themeName) + QStringLiteral("\\ReadMe.txt");
}

Result<QByteArray> plainTextBytes(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    lines.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return encodeText(lines);
}

QString plainTextFromBytes(const QByteArray& bytes) {
    QString text = decodeWindows1252(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

Result<QString> loadDefaultReadMe(const FileSystem& files, const QString& programDirectory) {
    auto bytes = files.readFile(defaultReadMePath(programDirectory));
    if (!bytes) {
        Error error = bytes.error();
        error.step = QStringLiteral("Loading the default ReadMe");
        return error;
    }
    return plainTextFromBytes(bytes.value());
}

Status storeDefaultReadMe(FileSystem& files, const QString& programDirectory, const QString& text) {
    const QString path = defaultReadMePath(programDirectory);
    auto bytes = plainTextBytes(text);
    const Status status = bytes ? files.writeFile(path, bytes.value()) : Status(bytes.error());
    if (status.ok())
        return status;
    return Error{QStringLiteral("Saving the default ReadMe"), path, status.error().reason};
}

Status GenerateReadMe(FileSystem& files, const ThemeDocument& doc) {
    if (!doc.includeReadMe)
        return {};
    const QString path = themeReadMePath(doc.name);
    auto bytes = plainTextBytes(doc.readMe);
    const Status status = bytes ? files.writeFile(path, bytes.value()) : Status(bytes.error());
    if (status.ok())
        return status;
    return Error{QStringLiteral("Writing the ReadMe file"), path, status.error().reason};
}

} // namespace p95
