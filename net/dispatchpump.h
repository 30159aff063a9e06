#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>
#include <map>

// One received message and the seat of the connection it came in on (0 on a client).
struct QueuedMessage {
    QByteArray text;
    int sender = 0;
};

// A side's received messages, kept per connection, and its dispatch tick. Each tick
// handles one message, taking the connections that have any in turn, so however much
// one connection sends, another's message waits at most one tick per busy connection;
// each connection's messages keep their arrival order. The timer runs only while there
// is work, and a message that arrives after a quiet spell of at least one tick is
// handled at once from the event loop instead of waiting a whole tick.
class DispatchPump : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(const QueuedMessage&)>;

    DispatchPump(int intervalMs, Handler handler, QObject* parent = nullptr);

    void push(QueuedMessage message);
    // Forgets what is still queued from sender, whose connection has closed.
    void drop(int sender);

    qsizetype size() const { return m_total; }
    // Messages and their bytes still queued from one sender.
    qsizetype size(int sender) const;
    qsizetype bytes(int sender) const;
    bool ticking() const { return m_timer.isActive() || m_immediate; }
    int interval() const { return m_interval; }

public slots:
    // One dispatch tick; public so tests can drive it.
    void tick();

signals:
    // A message of sender has been taken off its queue (emitted before it is handled).
    void taken(int sender);

private:
    struct Queue {
        std::deque<QByteArray> texts;
        qsizetype bytes = 0;
    };

    void schedule();

    std::map<int, Queue> m_queues;
    // Senders with queued messages, in the order their turns come.
    std::deque<int> m_turns;
    qsizetype m_total = 0;
    Handler m_handler;
    QTimer m_timer;
    QElapsedTimer m_sinceTick;
    int m_interval;
    bool m_immediate = false;
};
