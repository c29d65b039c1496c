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

// CI sets P95_REQUIRE_REALWORLD: there a test that needs the real-world
// themes fails where they are missing, rather than skipping unseen.
inline bool realWorldThemesRequired() {
    const QByteArray value = qgetenv("P95_REQUIRE_REALWORLD");
    return !value.isEmpty() && value != "0";
}

} // namespace p95::test

// Skips the test, saying why, unless the real-world themes are required.
#define P95_SKIP_WITHOUT_REALWORLD(present, why)                                                   \
    if (!(present)) {                                                                              \
        if (::p95::test::realWorldThemesRequired())                                                \
            FAIL() << why << " (P95_REQUIRE_REALWORLD is set)";                                    \
        else                                                                                       \
            GTEST_SKIP() << why;                                                                   \
    }

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QByteArray& b, std::ostream* os) {
    *os << '"' << b.toStdString() << '"';
}
