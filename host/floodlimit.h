#pragma once

#include <deque>

// How many of the lines one seat has relayed to everyone (chat, actions, chatter sounds)
// a token bucket lets through: a burst of 10, then one more each second. A person typing
// or pressing the gated phrase buttons stays well inside it; a flood does not, and a
// connection that keeps flooding (50 lines dropped within a minute) is let go. Times are
// milliseconds of any monotonic clock, handed in so that tests need not wait.
class FloodLimit {
public:
    static constexpr int burst = 10;
    static constexpr long long refillMs = 1000;
    static constexpr int dropsToClose = 50;
    static constexpr long long dropWindowMs = 60000;

    enum class Verdict { Relay, Drop, Close };

    Verdict take(long long nowMs);

private:
    int m_tokens = burst;
    long long m_stamp = 0;
    // Times of the latest drops, at most dropsToClose of them.
    std::deque<long long> m_drops;
};
