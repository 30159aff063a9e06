#pragma once

#include <functional>

// The two settings of the hosting copy's window that the host reads whenever it arms a
// game timer. The window supplies them; tests hand in fast values.
struct HostSettings {
    std::function<int()> botSpeedMs = [] { return 750; };          // 1500, 750 or 250
    std::function<int()> secondsBetweenRounds = [] { return 15; }; // 10, 15 or 25
};
