#include "host/floodlimit.h"

#include <algorithm>

FloodLimit::Verdict FloodLimit::take(long long nowMs)
{
    const long long earned = std::max(0LL, (nowMs - m_stamp) / refillMs);
    m_tokens = int(std::min<long long>(burst, m_tokens + earned));
    // A full bucket earns nothing: its next token is counted from now.
    m_stamp = m_tokens == burst ? nowMs : m_stamp + earned * refillMs;
    if (m_tokens > 0) {
        --m_tokens;
        return Verdict::Relay;
    }
    m_drops.push_back(nowMs);
    while (m_drops.front() <= nowMs - dropWindowMs || int(m_drops.size()) > dropsToClose)
        m_drops.pop_front();
    return int(m_drops.size()) >= dropsToClose ? Verdict::Close : Verdict::Drop;
}
