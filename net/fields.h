#pragma once

#include <QByteArray>
#include <QString>

#include <stdexcept>

// A field that should hold a number but does not. Handlers let it propagate; the
// dispatcher reports it and goes on with the next message.
class FieldError : public std::runtime_error {
public:
    explicit FieldError(const QString& message);
    QString text() const { return QString::fromUtf8(what()); }
};

// Reads the "+"-separated fields of a message body from left to right. A field ends at
// the next "+"; the last field of a form without a trailing "+" runs to the end.
class Fields {
public:
    explicit Fields(QByteArray body) : m_body(std::move(body)) {}

    // Decimal integer with an optional sign; anything else throws FieldError.
    int number();
    QByteArray field();
    QString text() { return QString::fromUtf8(field()); }
    // Everything not yet read, "+" signs included.
    QByteArray rest() const { return m_body.mid(m_pos); }
    bool atEnd() const { return m_pos >= m_body.size(); }

    static bool parseNumber(const QByteArray& text, int* value);

private:
    QByteArray m_body;
    qsizetype m_pos = 0;
};
