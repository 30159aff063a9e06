#pragma once

#include <QWidget>

// Centres a window that is about to be shown on another one; without one it stays put.
inline void centreWindowOn(QWidget* window, const QWidget* on)
{
    if (on)
        window->move(on->frameGeometry().center() - window->rect().center());
}
