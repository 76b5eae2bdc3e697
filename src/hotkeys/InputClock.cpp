#include "hotkeys/InputClock.h"

#include <algorithm>

void InputClock::observe(double inputTime, double now)
{
    const double delay = now - inputTime;
    if (!m_offset || delay < *m_offset)
        m_offset = delay;
}

double InputClock::place(std::optional<double> inputTime, double now)
{
    double time = now;
    if (inputTime) {
        observe(*inputTime, now);
        time = std::min(*inputTime + *m_offset, now);
    }
    if (m_lastPlaced)
        time = std::max(time, *m_lastPlaced);
    m_lastPlaced = time;
    return time;
}
