#pragma once

#include "host/ballboard.h"
#include "host/bingocard.h"
#include "net/messages.h"
#include "net/table.h"

#include <array>

// What the host decides on a request: a pick, a cover, a seat for a new connection, the
// values a game starts with.
namespace rules {

// A pick's fate. A refusal's value is the code the seat is sent in CMD_invalid.
enum class Pick { Reveal = 0, AlreadyRevealed = 1, NoBall = 2, OutOfTurn = -1 };

// Out of turn (also in the pause after a pick, while turn is 0); positions 73 to 75 hold
// balls too, but they are not on the board.
Pick checkPick(const Board& board, int turn, int seat, int position);

// Whether seat may cover the cell: a playing seat, a cell of its cards, and a number that
// is drawn (a covered cell holds 0, which never is).
bool checkCover(const Board& board, int seat, const CardPair& cards, const CellRef& cell);

using SeatsTaken = std::array<bool, table::maxSeats>; // seat 1 is index 0

// The seat a new connection gets: the lowest free seat up to seatsused, else the next one;
// 0 when all nine are taken (the connection is turned away).
int seatFor(const SeatsTaken& taken, int seatsused);

struct StartValues {
    int playtoscore = 0;
    int penalty = 0;
    int bobcount = 0;
    int gametype = 0; // any but 2 and 3 adds no seats beyond 1 and 2
    friend bool operator==(const StartValues&, const StartValues&) = default;
};

// A field that is not a number takes its default: 5, 10, 5, 10.
StartValues startValues(const msg::StartGame& request);

} // namespace rules
