#include "editor/background.h"

#include <QPainter>

#include <algorithm>

namespace p95 {

QColor backgroundBandColour(int band) {
    return QColor(0, std::max(0, 130 - 4 * band), std::max(0, 255 - 4 * band));
}

int backgroundBandHeight(int outerHeight) {
    return std::max(1, outerHeight / kBackgroundBands);
}

void paintBackground(QPainter& painter, QSize outerSize) {
    const int bandHeight = backgroundBandHeight(outerSize.height());
    for (int k = 0; k < kBackgroundBands; ++k) {
        const int top = k * bandHeight;
        const bool last = k == kBackgroundBands - 1;
        const int height = last ? std::max(bandHeight, outerSize.height() - top) : bandHeight;
        painter.fillRect(0, top, outerSize.width(), height, backgroundBandColour(k));
    }
}

} // namespace p95
