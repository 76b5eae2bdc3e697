#pragma once

#include <array>
#include <cstdint>

// What Zorv knows of the X server's clock, and how to bring a connection's
// idea of it back in line.
//
// X timestamps are milliseconds since the server started and wrap around
// every 49.7 days, so one time is later than another when it is less than
// half a turn ahead. Qt's xcb connection compares them that way and only
// ever moves its time forward, taking the time of every event, including
// times that other programs chose. Once a program has sent a time ahead of
// the server, every selection Zorv then claims carries that future time and
// the server refuses it. The way back is forward: a quarter turn at a time,
// each step later than the one before, until the clock comes round to the
// server's own time.
class X11ServerClock
{
public:
    using Timestamp = uint32_t;

    // X's "CurrentTime": a request's placeholder, never a point in time.
    static constexpr Timestamp currentTime = 0;
    static constexpr int walkSteps = 4;
    static constexpr Timestamp walkStep = 1u << 30;

    // Whether `time` is later than `than`, as X clients compare them.
    static bool isLater(Timestamp time, Timestamp than);

    // A time the server stamped itself: input events, property changes.
    void noteServerTime(Timestamp time);
    Timestamp latest() const { return m_latest; }

    // Whether a time another program chose may lie ahead of the server:
    // later than anything the server has said so far. CurrentTime cannot.
    bool mayBeAhead(Timestamp foreign) const;

    // The times that, handed in order to a clock that only moves forward,
    // leave it at `latest()` wherever it started.
    std::array<Timestamp, walkSteps> walkToLatest() const;

private:
    Timestamp m_latest = currentTime;
    bool m_known = false;
};
