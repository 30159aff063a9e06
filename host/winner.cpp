#include "host/winner.h"

#include <algorithm>

namespace rules {

int winningSeat(const SeatScores& scores, int playtoscore)
{
    const bool reached = std::any_of(scores.begin(), scores.end(),
                                     [playtoscore](int s) { return s >= playtoscore; });
    if (!reached)
        return 0;
    const int best = *std::max_element(scores.begin(), scores.end());
    if (std::count(scores.begin(), scores.end(), best) > 1)
        return 0;
    return int(std::find(scores.begin(), scores.end(), best) - scores.begin()) + 1;
}

} // namespace rules
