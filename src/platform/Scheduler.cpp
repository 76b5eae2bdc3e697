#include "platform/Scheduler.h"

#include <algorithm>
#include <cmath>
#include <limits>

int secondsToMilliseconds(double seconds)
{
    if (!(seconds > 0)) // also catches NaN
        return 0;
    const double ms = std::round(seconds * 1000.0);
    return static_cast<int>(std::min(ms, double(std::numeric_limits<int>::max())));
}
