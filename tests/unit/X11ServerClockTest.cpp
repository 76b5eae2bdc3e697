#include "platform/x11/X11ServerClock.h"

#include <gtest/gtest.h>

namespace {

using Timestamp = X11ServerClock::Timestamp;

// A clock that only moves forward, as Qt's xcb connection keeps its time:
// it takes a later time, and anything while it holds CurrentTime.
Timestamp offer(Timestamp held, Timestamp offered)
{
    return held == X11ServerClock::currentTime || X11ServerClock::isLater(offered, held) ? offered : held;
}

TEST(X11ServerClockTest, OnlyTimesBeyondTheLatestServerTimeMayBeAhead)
{
    X11ServerClock clock;
    EXPECT_TRUE(clock.mayBeAhead(5)); // nothing known yet
    EXPECT_FALSE(clock.mayBeAhead(X11ServerClock::currentTime));
    clock.noteServerTime(0x0027a000);
    clock.noteServerTime(0x00279000); // a late, older event
    clock.noteServerTime(X11ServerClock::currentTime);
    EXPECT_EQ(clock.latest(), 0x0027a000u);
    EXPECT_FALSE(clock.mayBeAhead(0x0027a000));
    EXPECT_FALSE(clock.mayBeAhead(0x00001000));
    EXPECT_TRUE(clock.mayBeAhead(0x0027a001));
    EXPECT_TRUE(clock.mayBeAhead(0x6b1919a3)); // Unix seconds, as pcmanfm sends them

    X11ServerClock wrapping; // after 49.7 days the server's clock wraps around
    wrapping.noteServerTime(0xfffff000);
    wrapping.noteServerTime(0x00000800);
    EXPECT_EQ(wrapping.latest(), 0x00000800u);
    EXPECT_FALSE(wrapping.mayBeAhead(0xfffff800));
}

TEST(X11ServerClockTest, TheWalkBringsAForwardOnlyClockToTheServerTimeFromAnywhere)
{
    for (const Timestamp server : {Timestamp(0x0027a000), Timestamp(0xc0000000), Timestamp(0xffffff00)}) {
        X11ServerClock clock;
        clock.noteServerTime(server);
        std::vector<Timestamp> starts = {X11ServerClock::currentTime, 0x6b1919a3};
        for (uint64_t ahead = 0; ahead <= 0xffffffffu; ahead += 0x00fffffd)
            starts.push_back(server + Timestamp(ahead));
        for (const Timestamp edge : {1u, 0x3fffffffu, 0x40000000u, 0x40000001u, 0x7fffffffu, 0x80000000u,
                                     0x80000001u, 0xbfffffffu, 0xc0000000u, 0xffffffffu})
            starts.push_back(server + edge);
        for (Timestamp held : starts) {
            const Timestamp start = held;
            for (const Timestamp step : clock.walkToLatest())
                held = offer(held, step);
            EXPECT_EQ(held, server) << std::hex << "from " << start << " to " << server;
        }
    }
}

} // namespace
