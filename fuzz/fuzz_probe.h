#pragma once

// A picture probe for the fuzz targets and their regression tests: whether a
// path "loads" follows from a hash of it, so a reading is repeatable and both
// outcomes are reached without touching the disk.

#include "platform/picture_probe.h"

#include <QString>

#include <cstdint>

namespace p95::fuzz {

inline bool hashedPathLoads(const QString& path) {
    std::uint32_t h = 2166136261u; // FNV-1a over the UTF-16 code units
    for (const QChar c : path) {
        h ^= c.unicode();
        h *= 16777619u;
    }
    return (h & 3u) != 0; // three paths in four load
}

class HashProbe : public PictureProbe {
public:
    Status probe(const QString& path) const override {
        if (hashedPathLoads(path))
            return {};
        return Error{QStringLiteral("Loading a picture"), path, QStringLiteral("not a picture")};
    }
};

} // namespace p95::fuzz
