#include "host/ballboard.h"

#include "host/randomrange.h"

#include <algorithm>

namespace rules {

int clampedBobCount(int requested)
{
    return std::clamp(requested, minBobCount, maxBobCount);
}

Board shuffledBoard(std::mt19937& rng, int bobCount)
{
    Board board;
    for (int n = 1; n <= highestNumber; ++n) {
        int position = randomInRange(rng, 1, boardPositions);
        while (board.slot(position).value != 0)
            position = randomInRange(rng, 1, boardPositions);
        board.slot(position).value = n;
    }
    const int bobs = clampedBobCount(bobCount);
    for (int i = 0; i < bobs; ++i) {
        int position = randomInRange(rng, 1, visiblePositions);
        while (board.slot(position).value == bobValue)
            position = randomInRange(rng, 1, visiblePositions);
        board.slot(position).value = bobValue;
    }
    return board;
}

bool isDrawn(const Board& board, int value)
{
    if (value == 0)
        return false;
    for (int position = 1; position <= visiblePositions; ++position) {
        const BoardSlot& s = board.slot(position);
        if (s.revealed && s.value == value)
            return true;
    }
    return false;
}

int revealedVisibleCount(const Board& board)
{
    int count = 0;
    for (int position = 1; position <= visiblePositions; ++position)
        count += board.slot(position).revealed ? 1 : 0;
    return count;
}

int randomHiddenPosition(const Board& board, std::mt19937& rng)
{
    // Redrawing keeps the draw sequence of a plain "draw until hidden", but a full
    // board must not loop forever.
    if (revealedVisibleCount(board) >= visiblePositions)
        return 0;
    int position = randomInRange(rng, 1, visiblePositions);
    while (board.slot(position).revealed)
        position = randomInRange(rng, 1, visiblePositions);
    return position;
}

} // namespace rules
