#include "host/turnorder.h"

namespace rules {

bool forcedIntoRound(int seat, int gametype)
{
    if (seat == 1 || seat == 2)
        return true;
    if (gametype == 2)
        return seat == 3 || seat == 4;
    if (gametype == 3)
        return seat >= 3 && seat <= table::playingSeats;
    return false;
}

void markRoundSeats(TableSeats& seats, int gametype)
{
    for (int seat = 1; seat <= table::playingSeats; ++seat) {
        SeatPlay& s = seats[std::size_t(seat - 1)];
        s.inround = s.connected || forcedIntoRound(seat, gametype);
    }
}

int nextTurn(TableSeats& seats, int lastchooser)
{
    int seat = (lastchooser >= 1 && lastchooser <= table::playingSeats) ? lastchooser : 0;
    // One full lap comes back to lastchooser itself, which may be the only seat left.
    for (int step = 0; step < table::playingSeats; ++step) {
        seat = seat % table::playingSeats + 1;
        SeatPlay& s = seats[std::size_t(seat - 1)];
        if (s.connected)
            s.inround = true;
        if (s.inround)
            return seat;
    }
    return 0;
}

} // namespace rules
