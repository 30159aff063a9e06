#pragma once

#include "net/separators.h"

#include <QByteArray>
#include <QList>

// Cuts one connection's byte stream into messages at each 0xFF. Text after the last
// terminator is kept for the next read, since TCP may split a message anywhere; line
// breaks are ordinary bytes, so one frame is always one message.
class FrameReader {
public:
    // Bounded so a peer cannot grow it without limit by never sending a terminator.
    static constexpr qsizetype maxTail = 64 * 1024;

    // Appends data and returns the messages it completes, in order (terminators removed).
    // When the unterminated tail grows beyond maxTail it is discarded and overflowed()
    // becomes true.
    QList<QByteArray> feed(const QByteArray& data);

    bool overflowed() const { return m_overflowed; }
    qsizetype pending() const { return m_tail.size(); }

private:
    QByteArray m_tail;
    bool m_overflowed = false;
};
