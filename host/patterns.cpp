#include "host/patterns.h"

#include <numeric>

namespace rules {

namespace {

bool columnCovered(const Card& card, int x)
{
    for (int y = 1; y <= cardSide; ++y)
        if (!card.covered(x, y))
            return false;
    return true;
}

bool rowCovered(const Card& card, int y)
{
    for (int x = 1; x <= cardSide; ++x)
        if (!card.covered(x, y))
            return false;
    return true;
}

bool fallingDiagonalCovered(const Card& card)
{
    for (int i = 1; i <= cardSide; ++i)
        if (!card.covered(i, i))
            return false;
    return true;
}

bool risingDiagonalCovered(const Card& card)
{
    for (int i = 1; i <= cardSide; ++i)
        if (!card.covered(i, cardSide + 1 - i))
            return false;
    return true;
}

} // namespace

int coveredPoints(const Card& card)
{
    int points = 0;
    for (int x = 1; x <= cardSide; ++x)
        for (int y = 1; y <= cardSide; ++y)
            points += card.covered(x, y) ? 1 : 0;
    return points;
}

int linePoints(const Card& card)
{
    int lines = 0;
    for (int i = 1; i <= cardSide; ++i) {
        lines += columnCovered(card, i) ? 1 : 0;
        lines += rowCovered(card, i) ? 1 : 0;
    }
    lines += fallingDiagonalCovered(card) ? 1 : 0;
    lines += risingDiagonalCovered(card) ? 1 : 0;
    return 10 * lines;
}

int cornersPoints(const Card& card)
{
    const bool all =
        card.covered(1, 1) && card.covered(5, 1) && card.covered(1, 5) && card.covered(5, 5);
    return all ? 15 : 0;
}

int crossPoints(const Card& card)
{
    return columnCovered(card, 3) && rowCovered(card, 3) ? 25 : 0;
}

int xPoints(const Card& card)
{
    return fallingDiagonalCovered(card) && risingDiagonalCovered(card) ? 20 : 0;
}

int squarePoints(const Card& card)
{
    const bool border = columnCovered(card, 1) && columnCovered(card, cardSide) &&
                        rowCovered(card, 1) && rowCovered(card, cardSide);
    return border ? 25 : 0;
}

int blackoutPoints(const Card& card)
{
    return coveredPoints(card) == cardSide * cardSide ? 100 : 0;
}

int patternPoints(Pattern pattern, const Card& card)
{
    switch (pattern) {
    case Pattern::Covered:
        return coveredPoints(card);
    case Pattern::Line:
        return linePoints(card);
    case Pattern::Corners:
        return cornersPoints(card);
    case Pattern::Cross:
        return crossPoints(card);
    case Pattern::X:
        return xPoints(card);
    case Pattern::Square:
        return squarePoints(card);
    case Pattern::Blackout:
        return blackoutPoints(card);
    }
    return 0;
}

PatternScores scoreCards(const CardPair& cards)
{
    PatternScores scores{};
    for (int p = 0; p < patternCount; ++p)
        for (const Card& card : cards)
            scores[std::size_t(p)] += patternPoints(Pattern(p), card);
    return scores;
}

int roundTotal(const PatternScores& scores)
{
    return std::accumulate(scores.begin(), scores.end(), 0);
}

} // namespace rules
