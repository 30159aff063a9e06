#include "host/randomrange.h"

#include <cstdint>

namespace rules {

int randomInRange(std::mt19937& rng, int low, int high)
{
    if (high <= low)
        return low;
    const std::uint64_t span = std::uint64_t(std::int64_t(high) - std::int64_t(low)) + 1;
    const std::uint64_t outputs = std::uint64_t(std::mt19937::max()) + 1;
    // Redraw the top slice that would make the low values more likely.
    const std::uint64_t limit = outputs - outputs % span;
    std::uint64_t draw = rng();
    while (draw >= limit)
        draw = rng();
    return int(std::int64_t(low) + std::int64_t(draw % span));
}

} // namespace rules
