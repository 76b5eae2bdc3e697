#include "platform/QtScheduler.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

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

TEST(QtSchedulerTest, ClockIsMonotonic)
{
    QtScheduler scheduler;
    const double first = scheduler.now();
    EXPECT_GE(scheduler.now(), first);
}

} // namespace
