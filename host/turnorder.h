#pragma once

#include "net/table.h"

#include <array>

namespace rules {

struct SeatPlay {
    bool connected = false;
    bool inround = false;
};
using TableSeats = std::array<SeatPlay, table::playingSeats>; // seat 1 is index 0

// Seats the game type puts into every round besides the connected ones:
// type 2 adds seats 3 and 4, type 3 seats 3 to 7; seats 1 and 2 always play.
bool forcedIntoRound(int seat, int gametype);

// Round membership at a round start: connected seats and the forced ones.
void markRoundSeats(TableSeats& seats, int gametype);

// The seat after lastchooser (wrapping 7 to 1) that is in the round; a connected seat
// passed on the way is taken into the round. 0 if nobody can take the turn.
int nextTurn(TableSeats& seats, int lastchooser);

} // namespace rules
