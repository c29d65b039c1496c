#pragma once

// Sequential text files: Windows-1252 with CR LF after every line.

#include "platform/error.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <optional>

namespace p95 {

// Text as Windows-1252 bytes, unchanged otherwise; an error names the first
// character that cannot be written.
Result<QByteArray> encodeText(const QString& text);

// The bytes of a text file: each line encoded and followed by CR LF, nothing
// after the last line end. An error names the first character that cannot be
// written.
Result<QByteArray> encodeLines(const QStringList& lines);

// Writes the bytes beside hostPath and renames them over it, so that a failure
// leaves an earlier file whole (FileSystem::writeFile on the host's disk).
Status writeFileAtomically(const QString& hostPath, const QByteArray& bytes);

Status writeTextFile(const QString& hostPath, const QStringList& lines);

// Opens a regular file for reading without ever waiting on a FIFO or a
// device; anything else is "not a regular file", a vanished one "file not found".
Status openRegularFile(QFile& file, const QString& hostPath);

// Reads a whole file (a directory, a FIFO or an unreadable file is an error).
Result<QByteArray> readWholeFile(const QString& hostPath, qint64 maxBytes = qint64(64) << 20);

// Sequential input over the decoded text of a file. A line ends at CR LF, a
// bare LF or a bare CR.
class SequentialInput {
public:
    explicit SequentialInput(QString text) : m_text(std::move(text)) {}
    static SequentialInput fromBytes(const QByteArray& bytes);

    bool atEnd() const { return m_pos >= m_text.size(); }

    // The whole next line without its line end; empty at the end of the input.
    std::optional<QString> readLine();

    // The next comma-delimited field: leading spaces skipped; it ends at a
    // comma or the end of the line. A field that begins with a double quote
    // ends at the closing quote (quotes not kept); text between the closing
    // quote and the next comma is dropped; an unclosed quote runs to the end
    // of the line. Empty at the end of the input.
    std::optional<QString> readField();

private:
    bool atLineEnd() const;
    void skipLineEnd();

    QString m_text;
    qsizetype m_pos = 0;
};

} // namespace p95
