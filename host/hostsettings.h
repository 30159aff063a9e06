#pragma once

#include "net/table.h"

#include <functional>

// The two settings of the hosting copy's window that the host reads whenever it arms a
// game timer. The window supplies them; tests hand in fast values.
struct HostSettings {
    std::function<int()> botSpeedMs = [] { return table::defaultBotSpeedMs; };
    std::function<int()> secondsBetweenRounds = [] { return table::defaultSecondsBetweenRounds; };
};
