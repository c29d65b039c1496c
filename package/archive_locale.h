#pragma once

// libarchive converts entry names through the C library's locale, and reads
// that locale from the calling thread. Every archive call of this layer runs
// under one of two fixed thread locales, so that names come out the same
// whatever locale the user runs the program in, and the process locale is
// never touched.

#include <QString>

struct archive;

namespace p95::archive_support {

// What libarchive said about the last failure of a, or "unknown error".
QString libarchiveError(archive* a);

class ThreadLocale {
public:
    enum Kind {
        Utf8,  // C.UTF-8: names libarchive hands over are UTF-8 bytes
        Bytes, // C: names are bytes libarchive must not call UTF-8
    };
    // Switches this thread to the locale; the destructor switches it back.
    explicit ThreadLocale(Kind kind);
    ~ThreadLocale();
    ThreadLocale(const ThreadLocale&) = delete;
    ThreadLocale& operator=(const ThreadLocale&) = delete;

    // Switches again, for the next entry.
    void use(Kind kind);
    // False when the C library lacks the locale (the names then cannot be
    // trusted).
    bool ok() const { return m_ok; }

private:
    void* m_previous = nullptr;
    bool m_ok = false;
};

} // namespace p95::archive_support
