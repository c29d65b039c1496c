#include "platform/text_file.h"

#include "platform/file_system.h"
#include "platform/text_codec.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace p95 {

Result<QByteArray> encodeText(const QString& text) {
    auto bytes = encodeWindows1252(text);
    if (!bytes) {
        return Error{QStringLiteral("Writing text"),
                     {},
                     QStringLiteral("the character \"%1\" cannot be written in a Windows 95 "
                                    "text file")
                         .arg(firstUnencodable(text))};
    }
    return *bytes;
}

Result<QByteArray> encodeLines(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) {
        const auto encoded = encodeText(line);
        if (!encoded)
            return encoded.error();
        bytes += encoded.value();
        bytes += "\r\n";
    }
    return bytes;
}

Status writeFileAtomically(const QString& hostPath, const QByteArray& bytes) {
    FileSystem files;
    return files.writeFile(hostPath, bytes);
}

Status writeTextFile(const QString& hostPath, const QStringList& lines) {
    auto bytes = encodeLines(lines);
    if (!bytes) {
        Error error = bytes.error();
        error.file = hostPath;
        return error;
    }
    return writeFileAtomically(hostPath, bytes.value());
}

Status openRegularFile(QFile& file, const QString& hostPath) {
    const QString step = QStringLiteral("Opening the file");
#ifdef Q_OS_UNIX
    // The path may have become a FIFO since the caller looked, and opening a
    // FIFO waits for a writer: open without waiting, then ask the open file.
    const int fd =
        ::open(QFile::encodeName(hostPath).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return Error{step, hostPath,
                     errno == ENOENT ? QStringLiteral("file not found") : qt_error_string(errno)};
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Error{step, hostPath, QStringLiteral("not a regular file")};
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Error{step, hostPath, file.errorString()};
    }
#else
    file.setFileName(hostPath);
    if (!file.open(QIODevice::ReadOnly))
        return Error{step, hostPath, file.errorString()};
#endif
    return {};
}

Result<QByteArray> readWholeFile(const QString& hostPath, qint64 maxBytes) {
    const QFileInfo info(hostPath);
    if (!info.exists())
        return Error{QStringLiteral("Opening the file"), hostPath,
                     QStringLiteral("file not found")};
    if (!info.isFile())
        return Error{QStringLiteral("Opening the file"), hostPath,
                     QStringLiteral("not a regular file")};
    if (info.size() > maxBytes)
        return Error{QStringLiteral("Reading the file"), hostPath,
                     QStringLiteral("the file is larger than %1 bytes").arg(maxBytes)};
    QFile file;
    if (auto status = openRegularFile(file, hostPath); !status.ok())
        return status.error();
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return Error{QStringLiteral("Reading the file"), hostPath, file.errorString()};
    if (bytes.size() > maxBytes)
        return Error{QStringLiteral("Reading the file"), hostPath,
                     QStringLiteral("the file is larger than %1 bytes").arg(maxBytes)};
    return bytes;
}

SequentialInput SequentialInput::fromBytes(const QByteArray& bytes) {
    return SequentialInput(decodeWindows1252(bytes));
}

bool SequentialInput::atLineEnd() const {
    return m_pos >= m_text.size() || m_text.at(m_pos) == QLatin1Char('\r') ||
           m_text.at(m_pos) == QLatin1Char('\n');
}

void SequentialInput::skipLineEnd() {
    if (m_pos < m_text.size() && m_text.at(m_pos) == QLatin1Char('\r'))
        ++m_pos;
    if (m_pos < m_text.size() && m_text.at(m_pos) == QLatin1Char('\n'))
        ++m_pos;
}

std::optional<QString> SequentialInput::readLine() {
    if (atEnd())
        return std::nullopt;
    const qsizetype start = m_pos;
    while (!atLineEnd())
        ++m_pos;
    QString line = m_text.mid(start, m_pos - start);
    skipLineEnd();
    return line;
}

std::optional<QString> SequentialInput::readField() {
    if (atEnd())
        return std::nullopt;
    while (m_pos < m_text.size() && m_text.at(m_pos) == QLatin1Char(' '))
        ++m_pos;
    QString field;
    if (m_pos < m_text.size() && m_text.at(m_pos) == QLatin1Char('"')) {
        ++m_pos;
        const qsizetype start = m_pos;
        while (!atLineEnd() && m_text.at(m_pos) != QLatin1Char('"'))
            ++m_pos;
        field = m_text.mid(start, m_pos - start);
        // Whatever stands between the closing quote and the next comma is dropped.
        while (!atLineEnd() && m_text.at(m_pos) != QLatin1Char(','))
            ++m_pos;
    } else {
        const qsizetype start = m_pos;
        while (!atLineEnd() && m_text.at(m_pos) != QLatin1Char(','))
            ++m_pos;
        field = m_text.mid(start, m_pos - start);
    }
    if (m_pos < m_text.size() && m_text.at(m_pos) == QLatin1Char(','))
        ++m_pos;
    else
        skipLineEnd();
    return field;
}

} // namespace p95
