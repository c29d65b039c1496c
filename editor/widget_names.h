#pragma once

// Small helpers every tab uses to name and build its controls.

#include <QString>

class QLabel;
class QWidget;

namespace p95 {

// The objectName of element i of a control array: "Command3_6".
inline QString arrayName(const char* control, int index) {
    return QStringLiteral("%1_%2").arg(QLatin1String(control)).arg(index);
}

// Sizes of the picture boxes: a pointer or an icon is 32 pixels square; the
// play picture is a small button-sized square.
inline constexpr int kPointerPreviewSize = 32;
inline constexpr int kIconPreviewSize = 32;
inline constexpr int kPlayPictureSize = 20;

// An empty picture box of a fixed square size that shows its picture scaled to fit.
QLabel* makePicture(const QString& objectName, int side, QWidget* parent);

} // namespace p95
