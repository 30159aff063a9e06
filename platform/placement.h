#pragma once

#include <QRect>
#include <QWidget>

// Centres a window that is about to be shown in an area (the desktop, another window's
// frame). Before its first show a window's frame is unknown; the frame of the window it is
// centred on, if any, stands in for it.
inline void centreWindowIn(QWidget* window, const QRect& area, const QWidget* like = nullptr)
{
    QSize frame = window->frameGeometry().size();
    if (frame == window->size() && like)
        frame += like->frameGeometry().size() - like->size();
    window->move(area.center() - QPoint(frame.width() / 2, frame.height() / 2));
}

inline void centreWindowOn(QWidget* window, const QWidget* on)
{
    if (on)
        centreWindowIn(window, on->frameGeometry(), on);
}

// Shows a window above the others and gives it the keys.
inline void showInFront(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}
