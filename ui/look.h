#pragma once

// How the program's windows look: Qt's classic "Windows" style unless the
// user chose another, and fixed sizes taken from the windows' layouts.

class QWidget;

namespace p95 {

// Call before the QApplication is made (Qt removes -style from the arguments):
// true when the arguments or QT_STYLE_OVERRIDE choose a widget style.
bool userChoseStyle(int argc, char** argv);

// Call once the QApplication exists: sets the classic "Windows" style unless
// the user chose one.
void applyDefaultStyle(bool userChose);

// Sizes the window from its layout and fixes it at that size; a window of
// fixed size gets no maximize button.
void fixSizeToLayout(QWidget& window);

// Takes the maximize button off a window, keeping its other buttons. Call
// before the window is first shown: changing the flags of a window on show
// hides it.
void removeMaximizeButton(QWidget& window);

// Once a window is shown, wrapped labels are measured at their real widths;
// the window grows where a label needs more lines than its layout guessed.
void fitWrappedText(QWidget& window);

// Every label of the window shows its text as it stands: a theme named
// "<i>Ocean" is shown so, not as an italic "Ocean". Call once the window's
// labels exist.
void showLabelsAsPlainText(QWidget& window);

// Places the window in the middle of its screen.
void centreOnScreen(QWidget& window);

} // namespace p95
