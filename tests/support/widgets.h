#pragma once

#include <QDebug>
#include <QWidget>

// A window's child by object name; a warning names the one that is missing.
template <typename T> T* child(QWidget& window, const QString& name)
{
    T* found = window.findChild<T*>(name);
    if (!found)
        qWarning() << "no" << name;
    return found;
}
