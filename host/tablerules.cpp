#include "host/tablerules.h"

namespace rules {

Pick checkPick(const Board& board, int turn, int seat, int position)
{
    if (turn == 0 || seat != turn)
        return Pick::OutOfTurn;
    if (!Board::isVisible(position))
        return Pick::NoBall;
    const BoardSlot& slot = board.slot(position);
    if (slot.revealed)
        return Pick::AlreadyRevealed;
    return slot.value == 0 ? Pick::NoBall : Pick::Reveal;
}

bool checkCover(const Board& board, int seat, const CardPair& cards, const CellRef& cell)
{
    return seat >= 1 && seat <= table::playingSeats && isCardNumber(cell.card) &&
           Card::isCell(cell.x, cell.y) &&
           isDrawn(board, cards[std::size_t(cell.card - 1)].at(cell.x, cell.y));
}

int seatFor(const SeatsTaken& taken, int seatsused)
{
    for (int seat = 1; seat <= seatsused; ++seat)
        if (!taken[std::size_t(seat - 1)])
            return seat;
    return seatsused < table::maxSeats ? seatsused + 1 : 0;
}

StartValues startValues(const msg::StartGame& request)
{
    return {request.playtoscore.value_or(5), request.penalty.value_or(10),
            clampedBobCount(request.bobcount.value_or(5)), request.botsfor.value_or(10)};
}

} // namespace rules
