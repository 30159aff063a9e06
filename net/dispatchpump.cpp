#include "net/dispatchpump.h"

#include "net/dispatcher.h"

DispatchPump::DispatchPump(int intervalMs, Handler handler, QObject* parent)
    : QObject(parent), m_handler(std::move(handler)), m_interval(intervalMs)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &DispatchPump::tick);
}

void DispatchPump::push(QueuedMessage message)
{
    // Cut here rather than at dispatch so that the queue's memory stays bounded too.
    if (message.text.size() > Dispatcher::maxEntry)
        message.text.truncate(Dispatcher::maxEntry);
    m_queue.push_back(std::move(message));
    schedule();
}

void DispatchPump::schedule()
{
    if (m_timer.isActive() || m_immediate)
        return;
    const qint64 since = m_sinceTick.isValid() ? m_sinceTick.elapsed() : m_interval;
    if (since >= m_interval) {
        // Never inside the caller (a read handler): from the event loop.
        m_immediate = true;
        QMetaObject::invokeMethod(this, &DispatchPump::tick, Qt::QueuedConnection);
    } else {
        m_timer.start(int(m_interval - since));
    }
}

void DispatchPump::tick()
{
    m_immediate = false;
    m_sinceTick.start();
    if (!m_queue.empty()) {
        QueuedMessage message = std::move(m_queue.front());
        m_queue.pop_front();
        m_handler(message);
    }
    if (!m_queue.empty()) {
        if (!m_timer.isActive() || m_timer.interval() != m_interval)
            m_timer.start(m_interval);
    } else {
        m_timer.stop();
    }
}
