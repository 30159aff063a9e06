#pragma once

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs `then` once, as soon as the window has painted its first frame (the whole frame is
// painted in one go, so what is queued at its first paint event runs after it).
inline void afterFirstPaint(QWidget* window, std::function<void()> then)
{
    class Watcher : public QObject {
    public:
        Watcher(QWidget* window, std::function<void()> then)
            : QObject(window), m_then(std::move(then))
        {
            window->installEventFilter(this);
        }

    protected:
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Paint && !m_fired) {
                m_fired = true;
                QTimer::singleShot(0, parent(), m_then);
                deleteLater();
            }
            return QObject::eventFilter(watched, event);
        }

    private:
        std::function<void()> m_then;
        bool m_fired = false;
    };
    new Watcher(window, std::move(then));
}
