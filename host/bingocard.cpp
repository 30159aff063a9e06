#include "host/bingocard.h"

#include "host/ballboard.h"
#include "host/randomrange.h"

namespace rules {

Card dealtCard(std::mt19937& rng)
{
    Card card;
    std::array<bool, highestNumber + 1> used{};
    for (int x = 1; x <= cardSide; ++x) {
        for (int y = 1; y <= cardSide; ++y) {
            if (x == 3 && y == 3) {
                card.at(x, y) = 0;
                continue;
            }
            const int first = numbersPerColumn * (x - 1) + 1;
            int n = first + randomInRange(rng, 0, numbersPerColumn - 1);
            while (used[std::size_t(n)])
                n = first + randomInRange(rng, 0, numbersPerColumn - 1);
            used[std::size_t(n)] = true;
            card.at(x, y) = n;
        }
    }
    return card;
}

CardPair dealtCards(std::mt19937& rng)
{
    CardPair cards;
    for (Card& card : cards)
        card = dealtCard(rng);
    return cards;
}

std::vector<CellRef> cellsHolding(const CardPair& cards, int value)
{
    std::vector<CellRef> found;
    if (value == 0)
        return found;
    for (int card = 1; card <= cardsPerSeat; ++card)
        for (int x = 1; x <= cardSide; ++x)
            for (int y = 1; y <= cardSide; ++y)
                if (cards[std::size_t(card - 1)].at(x, y) == value)
                    found.push_back({card, x, y});
    return found;
}

} // namespace rules
