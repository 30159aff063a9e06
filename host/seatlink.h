#pragma once

#include <QByteArray>

// What the host's engine answers through: the seat connections in the program, a recorder
// in tests and fuzzing.
class SeatLink {
public:
    virtual ~SeatLink() = default;
    // Sends wire on seat's connection; nothing when the seat has none.
    virtual void sendTo(int seat, const QByteArray& wire) = 0;
    // Closes seat's connection; its close reaches the engine as for any other close.
    virtual void close(int seat) = 0;
};
