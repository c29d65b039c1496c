#pragma once

// What the two save benchmarks share: a theme with every slot set to a file
// of random bytes, and the median of a run's figures.

#include "theme/theme_document.h"
#include "theme/theme_save.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace p95::bench {

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Writes one file of `size` random bytes a slot into folder and sets the
// slot to it; the files' paths, or none when one cannot be written (said).
inline QStringList fillEverySlot(ThemeDocument& doc, const QString& folder, qsizetype size) {
    QDir().mkpath(folder);
    QStringList paths;
    for (SlotRef slot : copyOrder()) {
        const QString path =
            folder + QStringLiteral("/%1-%2.bin").arg(int(slot.family)).arg(slot.index);
        QByteArray bytes(size, Qt::Uninitialized);
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(bytes.data()),
                                              bytes.size() / 4);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return {};
        }
        doc.path(slot) = path;
        paths << path;
    }
    return paths;
}

} // namespace p95::bench
