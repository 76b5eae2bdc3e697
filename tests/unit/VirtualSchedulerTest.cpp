#include "VirtualScheduler.h"

#include <gtest/gtest.h>

#include <QPropertyAnimation>
#include <QVariantAnimation>

namespace {

// Every other test stands on these semantics, so they are pinned down here.

TEST(VirtualSchedulerTest, RepeatingTimerFiresOneIntervalAfterCreation)
{
    VirtualScheduler scheduler;
    QObject owner;
    std::vector<double> firings;
    auto timer = scheduler.scheduleRepeating(0.4, &owner, [&] { firings.push_back(scheduler.now() - 1000.0); });
    scheduler.advance(0.39);
    EXPECT_TRUE(firings.empty());
    scheduler.advance(0.81);
    ASSERT_EQ(firings.size(), 3u);
    EXPECT_NEAR(firings[0], 0.4, 1e-9);
    EXPECT_NEAR(firings[2], 1.2, 1e-9);
}

TEST(VirtualSchedulerTest, InvalidatedOrDroppedTimersNeverFire)
{
    VirtualScheduler scheduler;
    int fired = 0;
    auto oneShot = scheduler.scheduleOneShot(0.12, nullptr, [&] { ++fired; });
    oneShot->invalidate();
    oneShot->invalidate();
    EXPECT_FALSE(oneShot->isValid());
    {
        auto dropped = scheduler.scheduleRepeating(0.1, nullptr, [&] { ++fired; });
    }
    scheduler.advance(1.0);
    EXPECT_EQ(fired, 0);
    EXPECT_EQ(scheduler.pendingCount(), 0);
}

TEST(VirtualSchedulerTest, NothingFiresOnceTheContextIsGone)
{
    VirtualScheduler scheduler;
    int fired = 0;
    auto owner = std::make_unique<QObject>();
    auto timer = scheduler.scheduleOneShot(0.5, owner.get(), [&] { ++fired; });
    scheduler.runAfter(0.5, owner.get(), [&] { ++fired; });
    owner.reset();
    scheduler.advance(1.0);
    EXPECT_EQ(fired, 0);
}

TEST(VirtualSchedulerTest, FireDateCanBeMovedWhilePending)
{
    VirtualScheduler scheduler;
    double firedAt = 0;
    auto timer = scheduler.scheduleOneShot(6.0, nullptr, [&] { firedAt = scheduler.now(); });
    scheduler.advance(2.0);
    timer->setFireDate(scheduler.now() + 6.0);
    scheduler.advance(5.9);
    EXPECT_EQ(firedAt, 0);
    scheduler.advance(0.2);
    EXPECT_NEAR(firedAt, 1008.0, 1e-9);
}

TEST(VirtualSchedulerTest, TimersFireInTimeOrderAndSeeTheirOwnTime)
{
    VirtualScheduler scheduler;
    QStringList order;
    scheduler.runAfter(0.5, nullptr, [&] { order << "b"; });
    scheduler.runAfter(0.12, nullptr, [&] {
        order << "a";
        scheduler.runAfter(0.1, nullptr, [&] { order << QString("nested@%1").arg(scheduler.now() - 1000.0); });
    });
    scheduler.advance(1.0);
    EXPECT_EQ(order, QStringList({"a", "nested@0.22", "b"}));
}

TEST(VirtualSchedulerTest, QtAnimationsRunOnVirtualTime)
{
    VirtualScheduler scheduler;
    QVariantAnimation animation;
    animation.setStartValue(0.0);
    animation.setEndValue(100.0);
    animation.setDuration(280);
    bool finished = false;
    QObject::connect(&animation, &QAbstractAnimation::finished, [&] { finished = true; });
    animation.start();
    scheduler.advance(0.14);
    EXPECT_NEAR(animation.currentValue().toDouble(), 50.0, 8.0);
    EXPECT_FALSE(finished);
    scheduler.advance(0.2);
    EXPECT_TRUE(finished);
    EXPECT_DOUBLE_EQ(animation.currentValue().toDouble(), 100.0);
}

} // namespace
