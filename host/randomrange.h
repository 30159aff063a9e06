#pragma once

#include <random>

namespace rules {

// Maps the generator's output onto [low, high] ourselves: std::uniform_int_distribution
// differs between standard libraries, and a seeded deal must be the same everywhere.
int randomInRange(std::mt19937& rng, int low, int high);

} // namespace rules
