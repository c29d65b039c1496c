#pragma once

// Small helpers every tab uses to name and build its controls.

#include <QString>

class QKeyEvent;
class QLabel;
class QWidget;

namespace p95 {

// The objectName of element i of a control array: "Command3_6".
inline QString arrayName(const char* control, int index) {
    return QStringLiteral("%1_%2").arg(QLatin1String(control)).arg(index);
}

// Sizes of the picture boxes: a pointer or an icon is 32 pixels square; the
// play picture is a small button-sized square, with room round it for the
// focus mark.
inline constexpr int kPointerPreviewSize = 32;
inline constexpr int kIconPreviewSize = 32;
inline constexpr int kFocusRing = 2;
inline constexpr int kPlayPictureSize = 18 + 2 * kFocusRing;

// An empty picture box of a fixed square size that shows its picture scaled to fit.
QLabel* makePicture(const QString& objectName, int side, QWidget* parent);

// A label that acts as a button (a play picture, a colour name): reachable
// with Tab, and marked while it has the focus so that a keyboard user sees
// where the focus is (a ring in the selection colour round a picture made by
// makePicture, in room kept empty otherwise; the selection colours on a
// text). Nothing moves or changes size with the focus.
void makeKeyboardLabel(QLabel* label);

// Space or Enter, as a button takes them (no modifier but the keypad's). The
// caller ignores auto-repeats, so that holding the key does not run it over and over.
bool isActivationKey(const QKeyEvent& key);
// The keys that open a control's pop-up menu: the Menu key, or Shift+F10.
bool isContextMenuKey(const QKeyEvent& key);

} // namespace p95
