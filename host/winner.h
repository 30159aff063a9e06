#pragma once

#include "host/turnorder.h"

#include <array>

namespace rules {

using SeatScores = std::array<int, table::playingSeats>; // seat 1 is index 0

// The seat that has won, or 0: someone must have reached playtoscore, and the highest
// score must be held by one seat alone (a tie plays another round).
int winningSeat(const SeatScores& scores, int playtoscore);

} // namespace rules
