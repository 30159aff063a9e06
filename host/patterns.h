#pragma once

#include "host/bingocard.h"

#include <array>

namespace rules {

// Order in which a seat's patterns are kept and sent.
enum class Pattern { Covered, Line, Corners, Cross, X, Square, Blackout };
inline constexpr int patternCount = 7;
using PatternScores = std::array<int, patternCount>;

// Points of one card for one pattern.
int coveredPoints(const Card& card);
int linePoints(const Card& card);
int cornersPoints(const Card& card);
int crossPoints(const Card& card);
int xPoints(const Card& card);
int squarePoints(const Card& card);
int blackoutPoints(const Card& card);

int patternPoints(Pattern pattern, const Card& card);

// Both cards scored separately and added, pattern by pattern.
PatternScores scoreCards(const CardPair& cards);
int roundTotal(const PatternScores& scores);

} // namespace rules
