#include "platform/x11/X11ServerClock.h"

bool X11ServerClock::isLater(Timestamp time, Timestamp than)
{
    return static_cast<int32_t>(time - than) > 0;
}

void X11ServerClock::noteServerTime(Timestamp time)
{
    if (time == currentTime)
        return;
    if (!m_known || isLater(time, m_latest))
        m_latest = time;
    m_known = true;
}

bool X11ServerClock::mayBeAhead(Timestamp foreign) const
{
    return foreign != currentTime && (!m_known || isLater(foreign, m_latest));
}

std::array<X11ServerClock::Timestamp, X11ServerClock::walkSteps> X11ServerClock::walkToLatest() const
{
    // Wherever the clock stands, one of these four lies less than half a
    // turn ahead of it; from there each is a quarter turn after the last,
    // and the fourth is the server's time itself.
    std::array<Timestamp, walkSteps> steps{};
    for (int i = 0; i < walkSteps; ++i)
        steps[i] = m_latest + Timestamp(i + 1) * walkStep;
    return steps;
}
