#pragma once

// What the start-up windows share: the message title, the quit question,
// where their pictures are, and how a window is laid out on screen.

#include <QString>

class QFont;
class QLabel;
class QWidget;

namespace p95 {

inline const QString kMessageTitle = QStringLiteral("Paletteer 95");
inline const QString kQuitQuestion =
    QStringLiteral("Are you sure that you want to quit Paletteer 95?");

// A font by family, falling back to a similar one where it is not installed.
QFont familyFont(const QString& family, int pointSize, bool fixedPitch = false);

// A label whose text wraps within about this many average characters.
void wrapWithin(QLabel& label, int characters);

// Shows every label's text as plain text, then sizes the window from its
// layout, fixes that size and centres it.
void placeWindow(QWidget& window);

} // namespace p95
