#pragma once

#include <QList>
#include <QRect>

#include <optional>

class QWidget;

// The main window's place as the settings file keeps it: the left and top of its frame and
// the width and height of its client area (QWidget::pos() and size()), so that
// placeWindow() gives the same numbers back and an untouched window compares equal to
// what was read.

// What to store when the main window closes: nothing when it is where it was last read or
// written; else its bounds, one step of 15 pixels narrower if wider than the work area
// and 15 shorter if taller (one step, not a fit).
std::optional<QRect> boundsToSaveAtClose(const QRect& window, const QRect& saved,
                                         const QRect& workArea);

// Bounds read from the file, made safe to apply: a width or height that is not positive or
// beyond any real desktop takes the default's, a window that would lie wholly off every
// screen goes back to the default place, and one whose title bar would be above the screens
// it lies on comes down to their top.
QRect placeableBounds(const QRect& stored, const QList<QRect>& screens, const QRect& defaults);

// The platform side of the two rules above, for the main window.
QRect windowBounds(const QWidget& window);
// Gives the window the bounds windowBounds() reads back; a window shown but not yet on
// screen takes them once it is.
void placeWindow(QWidget& window, const QRect& bounds);
// The work area (the screen without panels) of the screen the window is on.
QRect desktopWorkArea(const QWidget& window);
QList<QRect> screenAreas();
