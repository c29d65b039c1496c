#pragma once

// The editor window's background: 63 horizontal bands from light blue at the
// top to near black, painted over the window's outer size.

#include <QColor>
#include <QSize>

class QPainter;

namespace p95 {

inline constexpr int kBackgroundBands = 63;

// Band k (0 at the top): red 0, green 130 - 4k, blue 255 - 4k, never below 0.
QColor backgroundBandColour(int band);

// Band height: the outer height divided by 63 (integer division), at least one
// pixel so that a tiny window still shows every band.
int backgroundBandHeight(int outerHeight);

// Paints the bands from y = 0 down, each as wide as the window's outer width.
// What the last band leaves at the bottom (the remainder of the division) is
// painted in the last band's colour rather than left bare.
void paintBackground(QPainter& painter, QSize outerSize);

} // namespace p95
