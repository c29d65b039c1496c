#pragma once

// A picture probe for tests: the files that "load" are listed in advance and
// found regardless of letter case, as the drive mapping finds them. Every
// question asked is recorded.

#include "platform/picture_probe.h"

#include <QStringList>

namespace p95::test {

class FakePictureProbe : public PictureProbe {
public:
    FakePictureProbe() = default;
    explicit FakePictureProbe(QStringList loadable) : m_loadable(std::move(loadable)) {}

    // Every path loads.
    static FakePictureProbe loadingEverything() {
        FakePictureProbe probe;
        probe.m_everything = true;
        return probe;
    }

    Status probe(const QString& path) const override {
        m_asked.append(path);
        if (m_everything || m_loadable.contains(path, Qt::CaseInsensitive))
            return {};
        return Error{QStringLiteral("Loading a picture"), path, QStringLiteral("file not found")};
    }

    const QStringList& asked() const { return m_asked; }

private:
    QStringList m_loadable;
    bool m_everything = false;
    mutable QStringList m_asked;
};

} // namespace p95::test
