#pragma once

// A measuring aid for the launch benchmark: with P95_LAUNCH_PROBE=FILE set,
// the first time the window paints, the monotonic clock's time in nanoseconds
// (CLOCK_MONOTONIC, the same for every process) is written to FILE. Without
// the variable nothing happens.

class QWidget;

namespace p95 {

void installLaunchProbe(QWidget& window);

} // namespace p95
