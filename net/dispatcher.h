#pragma once

#include <QByteArray>
#include <QList>

#include <functional>

class ErrorReporter;

// The table that a side's dispatch tick walks: every entry whose name equals the
// message's name (exactly, case-sensitively) is called with the body, in table order.
class Dispatcher {
public:
    using Handler = std::function<void(const QByteArray& body)>;

    // Entries longer than this are cut when they are taken from the queue.
    static constexpr qsizetype maxEntry = 4096;

    explicit Dispatcher(ErrorReporter* errors) : m_errors(errors) {}

    void add(const QByteArray& name, Handler handler);
    QList<QByteArray> names() const;

    // Splits the entry at its first "+" and calls the matching handlers. A FieldError
    // raised by a handler goes to the error reporter. Returns whether a handler ran.
    bool dispatch(const QByteArray& entry) const;

private:
    struct Entry {
        QByteArray name;
        Handler handler;
    };
    QList<Entry> m_table;
    ErrorReporter* m_errors;
};
