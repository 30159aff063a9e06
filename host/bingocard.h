#pragma once

#include <array>
#include <random>
#include <vector>

namespace rules {

inline constexpr int cardSide = 5;
inline constexpr int cardsPerSeat = 2;
inline constexpr int numbersPerColumn = 15;

// One 5 x 5 card; column x (B to O) and row y count from 1. A cell holds its number
// while uncovered and 0 once covered; the free centre is 0 from the start.
struct Card {
    std::array<std::array<int, cardSide>, cardSide> cells{};

    static bool isCell(int x, int y) { return x >= 1 && x <= cardSide && y >= 1 && y <= cardSide; }
    int& at(int x, int y) { return cells[std::size_t(x - 1)][std::size_t(y - 1)]; }
    int at(int x, int y) const { return cells[std::size_t(x - 1)][std::size_t(y - 1)]; }
    bool covered(int x, int y) const { return at(x, y) == 0; }
    friend bool operator==(const Card&, const Card&) = default;
};

using CardPair = std::array<Card, cardsPerSeat>; // card 1 is index 0

inline bool isCardNumber(int card)
{
    return card >= 1 && card <= cardsPerSeat;
}

// Column x draws from 15 (x - 1) + 1 to 15 x without repeats, filled column by column.
Card dealtCard(std::mt19937& rng);
CardPair dealtCards(std::mt19937& rng);

struct CellRef {
    int card; // 1 or 2
    int x;
    int y;
    friend bool operator==(const CellRef&, const CellRef&) = default;
};

// Cells holding value, in the order card 1 then 2, x 1 to 5, y 1 to 5.
std::vector<CellRef> cellsHolding(const CardPair& cards, int value);

} // namespace rules
