#include "platform/x11/X11ServerClock.h"

#include <gtest/gtest.h>

namespace {

using Timestamp = X11ServerClock::Timestamp;

TEST(X11ServerClockTest, OnlyTimesBeyondTheLatestServerTimeMayBeAhead)
{
    X11ServerClock clock;
    EXPECT_TRUE(clock.mayBeAhead(5)); // nothing known yet
    EXPECT_FALSE(clock.mayBeAhead(X11ServerClock::currentTime));
    for (const Timestamp time : {0x0027a000u, 0x00279000u, 0u}) // a late, older event; CurrentTime
        clock.noteServerTime(time);
    EXPECT_EQ(clock.latest(), 0x0027a000u);
    EXPECT_FALSE(clock.mayBeAhead(0x00001000));
    EXPECT_TRUE(clock.mayBeAhead(0x6b1919a3)); // Unix seconds, as pcmanfm sends them
    clock.noteServerTime(0x80279000); // after half a turn the server's clock wraps around
    clock.noteServerTime(0x00001000);
    EXPECT_EQ(clock.latest(), 0x00001000u);
    EXPECT_FALSE(clock.mayBeAhead(0xfffff800));
}

TEST(X11ServerClockTest, TheWalkBringsAForwardOnlyClockToTheServerTimeFromAnywhere)
{
    for (const Timestamp server : {0x0027a000u, 0xffffff00u}) {
        X11ServerClock clock;
        clock.noteServerTime(server);
        std::vector<Timestamp> starts = {X11ServerClock::currentTime, 0x6b1919a3};
        for (uint64_t ahead = 0; ahead <= 0xffffffffu; ahead += 0x00fffffd)
            starts.push_back(server + Timestamp(ahead));
        for (const Timestamp edge : {1u, 0x40000000u, 0x7fffffffu, 0x80000000u, 0xc0000000u, 0xffffffffu})
            starts.push_back(server + edge);
        for (Timestamp held : starts) {
            const Timestamp start = held;
            for (const Timestamp step : clock.walkToLatest()) // as Qt's connection keeps its time
                held = held == X11ServerClock::currentTime || X11ServerClock::isLater(step, held) ? step : held;
            EXPECT_EQ(held, server) << std::hex << "from " << start << " to " << server;
        }
    }
}

} // namespace
