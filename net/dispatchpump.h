#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>

// One received message and the seat of the connection it came in on (0 on a client).
struct QueuedMessage {
    QByteArray text;
    int sender = 0;
};

// A side's receive queue and its dispatch tick. Messages are handled in arrival order,
// at most one per tick. The timer runs only while there is work, and a message that
// arrives after a quiet spell of at least one tick is handled at once from the event
// loop instead of waiting a whole tick.
class DispatchPump : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(const QueuedMessage&)>;

    DispatchPump(int intervalMs, Handler handler, QObject* parent = nullptr);

    void push(QueuedMessage message);

    qsizetype size() const { return qsizetype(m_queue.size()); }
    bool ticking() const { return m_timer.isActive() || m_immediate; }
    int interval() const { return m_interval; }

public slots:
    // One dispatch tick; public so tests can drive it.
    void tick();

private:
    void schedule();

    std::deque<QueuedMessage> m_queue;
    Handler m_handler;
    QTimer m_timer;
    QElapsedTimer m_sinceTick;
    int m_interval;
    bool m_immediate = false;
};
