#include "platform/QtScheduler.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

namespace {

TEST(QtSchedulerTest, SecondsBecomeRoundedMilliseconds)
{
    EXPECT_EQ(secondsToMilliseconds(1.0 / 30.0), 33);
    EXPECT_EQ(secondsToMilliseconds(1.0 / 60.0), 17);
    EXPECT_EQ(secondsToMilliseconds(300), 300000);
    EXPECT_EQ(secondsToMilliseconds(-1), 0);
    EXPECT_EQ(secondsToMilliseconds(std::nan("")), 0);
    EXPECT_EQ(secondsToMilliseconds(1e12), std::numeric_limits<int>::max());
}

TEST(QtSchedulerTest, TimersDieWithTheirContextAndHandle)
{
    QtScheduler scheduler;
    auto owner = std::make_unique<QObject>();
    auto timer = scheduler.scheduleRepeating(1.0 / 30.0, owner.get(), [] {});
    EXPECT_TRUE(timer->isValid());
    owner.reset();
    EXPECT_FALSE(timer->isValid());
    timer.reset(); // must not touch the timer its context already deleted

    auto oneShot = scheduler.scheduleOneShot(0.12, nullptr, [] {});
    oneShot->invalidate();
    oneShot->invalidate();
    EXPECT_FALSE(oneShot->isValid());
    oneShot->setFireDate(scheduler.now() + 1); // an invalidated timer stays invalid
    EXPECT_FALSE(oneShot->isValid());
}

TEST(QtSchedulerTest, ClockCountsSecondsOfRealTime)
{
    // A few milliseconds between two steady references, one started before
    // and one after the first reading: a clock that stands still, runs
    // backwards or counts in other units falls outside them.
    QtScheduler scheduler;
    QElapsedTimer outer;
    outer.start();
    const double first = scheduler.now();
    QElapsedTimer inner;
    inner.start();
    while (inner.nsecsElapsed() < 3'000'000) {
    }
    const double innerSeconds = double(inner.nsecsElapsed()) / 1e9;
    const double elapsed = scheduler.now() - first;
    const double outerSeconds = double(outer.nsecsElapsed()) / 1e9;
    EXPECT_GE(elapsed, innerSeconds - 1e-6);
    EXPECT_LE(elapsed, outerSeconds + 1e-6);
}

} // namespace
