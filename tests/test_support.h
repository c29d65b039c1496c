#pragma once

// Helpers shared by the test suites.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

namespace p95::test {

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return file.readAll();
}

inline QString golden(const char* name) {
    return QStringLiteral(P95_GOLDEN_DIR "/") + QString::fromUtf8(name);
}

// Lines of a CR LF text, for readable comparisons.
inline QList<QByteArray> crlfLines(const QByteArray& bytes) {
    QList<QByteArray> lines = bytes.split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace p95::test

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QByteArray& b, std::ostream* os) {
    *os << '"' << b.toStdString() << '"';
}
