#include "net/dispatchpump.h"

#include "net/dispatcher.h"

#include <algorithm>

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
    Queue& queue = m_queues[message.sender];
    if (queue.texts.empty())
        m_turns.push_back(message.sender);
    queue.bytes += message.text.size();
    queue.texts.push_back(std::move(message.text));
    ++m_total;
    schedule();
}

void DispatchPump::drop(int sender)
{
    const auto it = m_queues.find(sender);
    if (it == m_queues.end())
        return;
    m_total -= qsizetype(it->second.texts.size());
    m_queues.erase(it);
    m_turns.erase(std::remove(m_turns.begin(), m_turns.end(), sender), m_turns.end());
}

qsizetype DispatchPump::size(int sender) const
{
    const auto it = m_queues.find(sender);
    return it == m_queues.end() ? 0 : qsizetype(it->second.texts.size());
}

qsizetype DispatchPump::bytes(int sender) const
{
    const auto it = m_queues.find(sender);
    return it == m_queues.end() ? 0 : it->second.bytes;
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
    if (!m_turns.empty()) {
        const int sender = m_turns.front();
        m_turns.pop_front();
        Queue& queue = m_queues[sender];
        QueuedMessage message{std::move(queue.texts.front()), sender};
        queue.texts.pop_front();
        queue.bytes -= message.text.size();
        --m_total;
        if (queue.texts.empty())
            m_queues.erase(sender);
        else
            m_turns.push_back(sender);
        // The handler may close connections and drop their queues: nothing above is
        // touched after this.
        emit taken(sender);
        m_handler(message);
    }
    if (m_total > 0) {
        if (!m_timer.isActive() || m_timer.interval() != m_interval)
            m_timer.start(m_interval);
    } else {
        m_timer.stop();
    }
}
