#pragma once

#include <array>
#include <random>

namespace rules {

inline constexpr int boardPositions = 75;   // positions holding a number after a shuffle
inline constexpr int visiblePositions = 72; // the 8 x 9 board the players choose from
inline constexpr int highestNumber = 75;
inline constexpr int bobValue = 77; // a Zorer Aru ball
inline constexpr int minBobCount = 3;
inline constexpr int maxBobCount = 5;
inline constexpr int bobsEndingRound = 3;

struct BoardSlot {
    int value = 0; // 1 to 75, bobValue, or 0 for no ball
    bool revealed = false;
};

// Positions count from 1, as on the wire; slot(p) is only valid for 1 <= p <= 75.
struct Board {
    std::array<BoardSlot, boardPositions> balls{};

    static bool isPosition(int position) { return position >= 1 && position <= boardPositions; }
    static bool isVisible(int position) { return position >= 1 && position <= visiblePositions; }
    BoardSlot& slot(int position) { return balls[std::size_t(position - 1)]; }
    const BoardSlot& slot(int position) const { return balls[std::size_t(position - 1)]; }
};

int clampedBobCount(int requested);

// Every number 1 to 75 at a random position, then bobCount of the positions 1 to 72
// overwritten with Zorer Aru balls.
Board shuffledBoard(std::mt19937& rng, int bobCount);

// Whether value is on a revealed visible position; a covered cell (0) never is.
bool isDrawn(const Board& board, int value);

int revealedVisibleCount(const Board& board);

// The computer's pick: a uniform hidden visible position, or 0 when none is left.
int randomHiddenPosition(const Board& board, std::mt19937& rng);

} // namespace rules
