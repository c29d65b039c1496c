#pragma once

// What failed, where, and why: returned by every operation that touches the
// host, and turned into a message by whoever talks to the user.

#include <QString>

#include <optional>
#include <utility>

namespace p95 {

struct Error {
    QString step;   // what was being done ("Writing the theme file")
    QString file;   // the file concerned, as the caller named it (may be empty)
    QString reason; // the system's reason

    QString text() const {
        QString out = step;
        if (!file.isEmpty())
            out += QStringLiteral(": ") + file;
        if (!reason.isEmpty())
            out += QStringLiteral(" (") + reason + QLatin1Char(')');
        return out;
    }

    // The reason for a sentence of the caller's: the system's reason, or the
    // step where the system gave none.
    QString why() const { return reason.isEmpty() ? step : reason; }
};

// Success, or the error that stopped the operation. It is read by name at the
// call site (`if (!status.ok())`): it has no truth value of its own.
class [[nodiscard]] Status {
public:
    Status() = default;
    Status(Error error) : m_error(std::move(error)) {}

    bool ok() const { return !m_error.has_value(); }
    const Error& error() const { return *m_error; }

private:
    std::optional<Error> m_error;
};

// A value or the reason there is none.
template <typename T> class [[nodiscard]] Result {
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Error error) : m_error(std::move(error)) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const { return *m_value; }
    T& value() { return *m_value; }
    const T& operator*() const { return *m_value; }
    const T* operator->() const { return &*m_value; }
    const Error& error() const { return m_error; }

private:
    std::optional<T> m_value;
    Error m_error;
};

} // namespace p95
