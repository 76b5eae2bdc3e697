#pragma once

#include <optional>

// Places input events, stamped on the input's own clock, on the scheduler's
// clock. An event is never read before it happens, so the smallest delay
// seen between an event's stamp and its reading is the best estimate of
// the offset between the two clocks: a reader that was held up reads late,
// but the events it then reads keep their own spacing.
class InputClock
{
public:
    // Takes a reading at `now` of an event stamped `inputTime` into the
    // estimate. Observe a whole batch before placing any of it, so that its
    // latest (least delayed) event counts for the earlier ones as well.
    void observe(double inputTime, double now);
    // When an event stamped `inputTime` happened, on the scheduler's clock:
    // never later than `now`, never earlier than the event placed before it.
    // An event without a stamp happened `now`.
    double place(std::optional<double> inputTime, double now);

private:
    std::optional<double> m_offset;
    std::optional<double> m_lastPlaced;
};
