#pragma once

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace firstpaint {
// Runs `then` once at the widget's first paint event: at once, before the widget paints, or
// queued, after the whole frame is painted.
class Watcher : public QObject {
public:
    Watcher(QWidget* widget, std::function<void()> then, bool queued)
        : QObject(widget), m_then(std::move(then)), m_queued(queued)
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_fired) {
            m_fired = true;
            if (m_queued)
                QTimer::singleShot(0, parent(), m_then);
            else
                m_then();
            deleteLater();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_then;
    bool m_queued;
    bool m_fired = false;
};
} // namespace firstpaint

// Runs `then` once, as soon as the window has painted its first frame (the whole frame is
// painted in one go, so what is queued at its first paint event runs after it).
inline void afterFirstPaint(QWidget* window, std::function<void()> then)
{
    new firstpaint::Watcher(window, std::move(then), true);
}

// Runs `then` once, just before the widget first paints: for pictures the first frame shows
// but the window need not wait for before it is shown.
inline void beforeFirstPaint(QWidget* widget, std::function<void()> then)
{
    new firstpaint::Watcher(widget, std::move(then), false);
}
