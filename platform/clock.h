#pragma once

#include <QDate>

namespace p95 {

// Today's date, settable in tests (so no test run on 12 January hears the
// birthday tune by surprise).
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
};

} // namespace p95
