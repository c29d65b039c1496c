#include "package/archive_locale.h"

#include <archive.h>

#include <clocale>
#include <locale.h>

namespace p95::archive_support {

namespace {

// Made once and kept for the life of the process.
locale_t fixedLocale(ThreadLocale::Kind kind) {
    static const locale_t utf8 = newlocale(LC_ALL_MASK, "C.UTF-8", locale_t(nullptr));
    static const locale_t bytes = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return kind == ThreadLocale::Utf8 ? utf8 : bytes;
}

} // namespace

QString libarchiveError(archive* a) {
    const char* text = archive_error_string(a);
    return text ? QString::fromUtf8(text) : QStringLiteral("unknown error");
}

ThreadLocale::ThreadLocale(Kind kind) {
    m_previous = uselocale(locale_t(nullptr));
    use(kind);
}

ThreadLocale::~ThreadLocale() {
    uselocale(static_cast<locale_t>(m_previous));
}

void ThreadLocale::use(Kind kind) {
    const locale_t wanted = fixedLocale(kind);
    m_ok = wanted != locale_t(nullptr) && uselocale(wanted) != locale_t(nullptr);
}

} // namespace p95::archive_support
