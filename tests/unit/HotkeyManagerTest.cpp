#include "FakeDefaultsStore.h"
#include "FakeGlobalInput.h"
#include "VirtualScheduler.h"
#include "hotkeys/HotkeyManager.h"
#include "model/HotkeyStore.h"
#include "platform/NotificationCenter.h"

#include <gtest/gtest.h>

namespace {

constexpr quint64 option = ModifierBits::option;
constexpr quint64 command = ModifierBits::command;
constexpr quint64 leader = option | command;

class HotkeyManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        manager.onArm = [this] { events.append("arm"); };
        manager.onDisarm = [this] { events.append("disarm"); };
        manager.onAction = [this](HotkeyAction action) { events.append(HotkeyActions::rawValue(action)); };
        manager.start();
        scheduler.advance(0.1);
    }

    void hold(quint64 modifiers, double seconds)
    {
        input.modifiers = modifiers;
        scheduler.advance(seconds);
    }

    // One press and release of the leader, held `seconds`, then a rest.
    void tap(double seconds = 0.1, double rest = 0.1)
    {
        hold(leader, seconds);
        hold(0, rest);
    }

    void doubleTap()
    {
        tap();
        tap();
    }

    VirtualScheduler scheduler;
    FakeGlobalInput input;
    FakeDefaultsStore defaults;
    NotificationCenter notifications;
    HotkeyStore store{defaults, notifications};
    HotkeyManager manager{scheduler, input, store, notifications};
    QStringList events;
};

TEST_F(HotkeyManagerTest, ADoubleTapArmsOnceAndRegistersSeventeenCombinations)
{
    tap();
    EXPECT_TRUE(events.isEmpty());
    tap();
    EXPECT_EQ(events, QStringList({"arm"}));
    EXPECT_TRUE(manager.isArmed());
    EXPECT_EQ(input.registrations.size(), 17);
    // Ids count from 1 in action order; plain keys also register with the leader.
    EXPECT_EQ(input.registrations.at(0).keyCode, 18u);
    EXPECT_EQ(input.registrations.at(0).id.id, 1u);
    EXPECT_EQ(input.registrations.at(0).modifiers, 0u);
    EXPECT_EQ(input.registrations.at(1).modifiers, 0x900u);
    EXPECT_EQ(input.registrations.at(1).id.id, 1u);
    EXPECT_EQ(input.registrations.last().keyCode, 53u);
    EXPECT_EQ(input.registrations.last().id.id, 999u);
    EXPECT_EQ(input.registrations.last().id.signature, HotkeyManager::signature);
}

TEST_F(HotkeyManagerTest, ReleasingOneKeyAtATimeEndsTheTapAtTheFirstRelease)
{
    hold(leader, 0.1);
    hold(command, 0.05); // option released first; command still held
    hold(0, 0.05);
    hold(leader, 0.1);
    hold(option, 0.05);
    EXPECT_EQ(events, QStringList({"arm"}));
}

TEST_F(HotkeyManagerTest, HoldingTooLongIsNoTapUntilEverythingIsReleased)
{
    tap(0.5);
    tap();
    EXPECT_TRUE(events.isEmpty()); // the long hold did not count
    tap();
    EXPECT_EQ(events, QStringList({"arm"}));

    // Exactly the limit still counts: strict comparisons.
    manager.stop();
    events.clear();
    manager.start();
    tap(0.44);
    tap(0.44);
    EXPECT_EQ(events, QStringList({"arm"}));
}

TEST_F(HotkeyManagerTest, OutsideModifiersSpoilTheGesture)
{
    tap();
    hold(leader | ModifierBits::shift, 0.1);
    hold(0, 0.1);
    tap();
    EXPECT_TRUE(events.isEmpty());

    hold(ModifierBits::shift, 0.1); // awaiting release
    hold(ModifierBits::shift | leader, 0.1);
    hold(0, 0.1);
    tap();
    EXPECT_TRUE(events.isEmpty());
    tap();
    EXPECT_EQ(events, QStringList({"arm"}));
}

TEST_F(HotkeyManagerTest, AKeyBetweenTapsRestartsTheCount)
{
    tap();
    input.pressKey(0); // "a"
    tap();
    EXPECT_TRUE(events.isEmpty());
    tap();
    EXPECT_EQ(events, QStringList({"arm"}));
}

TEST_F(HotkeyManagerTest, ALongGapMakesTheNextTapAFirstTap)
{
    tap(0.1, 0.5);
    tap();
    EXPECT_TRUE(events.isEmpty());
    tap();
    EXPECT_EQ(events, QStringList({"arm"}));
}

TEST_F(HotkeyManagerTest, BoundKeysFireAloneOrWithTheLeaderHeld)
{
    doubleTap();
    input.pressKey(18);
    EXPECT_EQ(events, QStringList({"arm", "copySlot1"})); // no disarm after an action
    EXPECT_FALSE(manager.isArmed());
    EXPECT_TRUE(input.registrations.isEmpty());

    doubleTap();
    input.pressKey(4, 0x900); // H with option + command still held
    EXPECT_EQ(events.last(), "restoreHistory");
    scheduler.advance(0.5);
    EXPECT_EQ(events.size(), 4); // the stray-key check found nothing to do
}

TEST_F(HotkeyManagerTest, AnUnboundKeyDisarmsAfterTheGracePeriod)
{
    doubleTap();
    input.pressKey(0); // "a": not a hot key
    scheduler.advance(0.02);
    EXPECT_TRUE(manager.isArmed());
    scheduler.advance(0.15);
    EXPECT_FALSE(manager.isArmed());
    EXPECT_EQ(events, QStringList({"arm", "disarm"}));
}

TEST_F(HotkeyManagerTest, DeleteStaysArmedAndRestartsTheTimeout)
{
    doubleTap();
    scheduler.advance(5.0);
    input.pressKey(7); // X
    EXPECT_TRUE(manager.isArmed());
    scheduler.advance(0.5); // the press moved the counter; no stray-key disarm
    EXPECT_TRUE(manager.isArmed());
    scheduler.advance(5.0); // 10.5 s after arming, 5.5 s after the delete
    EXPECT_TRUE(manager.isArmed());
    input.pressKey(19);
    EXPECT_EQ(events, QStringList({"arm", "deleteItem", "copySlot2"}));
}

TEST_F(HotkeyManagerTest, KeysTakenInByAReadFireAfterTheStepInTheOrderTyped)
{
    doubleTap();
    input.typeAhead(7); // X, then 2 before the next tick
    input.typeAhead(19);
    scheduler.advance(0.1);
    EXPECT_EQ(events, QStringList({"arm", "deleteItem", "copySlot2"}));
    EXPECT_FALSE(manager.isArmed());
    EXPECT_TRUE(input.registrations.isEmpty());
}

TEST_F(HotkeyManagerTest, EveryArmedPeriodStartsClean)
{
    // The stray-key check's own read of the counter finds the 1.
    doubleTap();
    input.typeAhead(18);
    scheduler.advance(0.1);
    EXPECT_EQ(events, QStringList({"arm", "copySlot1"}));

    doubleTap();
    input.pressKey(17); // "t": not a hot key
    scheduler.advance(HotkeyManager::strayKeyGrace + 0.05);
    EXPECT_FALSE(manager.isArmed());
    EXPECT_TRUE(input.registrations.isEmpty()); // "h" reaches the program in front
    EXPECT_EQ(events, QStringList({"arm", "copySlot1", "arm", "disarm"}));
}

TEST_F(HotkeyManagerTest, EveryWayOutCallsDisarm)
{
    doubleTap();
    scheduler.advance(6.1);
    EXPECT_FALSE(manager.isArmed());

    doubleTap();
    input.pressKey(53); // Escape
    EXPECT_FALSE(manager.isArmed());

    doubleTap();
    input.clickElsewhere();
    EXPECT_FALSE(manager.isArmed());

    doubleTap();
    doubleTap(); // another double tap
    EXPECT_FALSE(manager.isArmed());

    doubleTap();
    HotkeyConfig changed = store.config();
    changed.leaderModifiersRaw = ModifierBits::control | ModifierBits::option;
    store.setConfig(changed);
    EXPECT_FALSE(manager.isArmed());
    store.setConfig(HotkeyConfig::defaults());

    doubleTap();
    manager.setSuspended(true);
    EXPECT_FALSE(manager.isArmed());
    doubleTap(); // suspended: nothing arms
    manager.setSuspended(false);

    doubleTap();
    manager.stop();
    EXPECT_FALSE(manager.isArmed());
    EXPECT_EQ(events.count("arm"), 7);
    EXPECT_EQ(events.count("disarm"), 7);
    EXPECT_TRUE(input.registrations.isEmpty());
    EXPECT_TRUE(input.mouseMonitors.isEmpty());
}

TEST_F(HotkeyManagerTest, EscapeIsOnlyGrabbedWhileArmed)
{
    EXPECT_TRUE(input.registrations.isEmpty());
    input.pressKey(53);
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(HotkeyManagerTest, UnboundActionsTakeNoIdAndRefusedKeysAreSkipped)
{
    store.setBinding(std::nullopt, HotkeyAction::copySlot3);
    input.taken.insert({19, 0}); // another program holds plain "2"
    doubleTap();
    bool copySlot4HasId3 = false;
    for (const auto &r : input.registrations) {
        EXPECT_FALSE(r.keyCode == 20); // copySlot3 is unbound
        EXPECT_FALSE(r.keyCode == 19 && r.modifiers == 0);
        copySlot4HasId3 = copySlot4HasId3 || (r.keyCode == 21 && r.id.id == 3);
    }
    EXPECT_TRUE(copySlot4HasId3);
    input.pressKey(19, 0x900); // "2" with the leader still works
    EXPECT_EQ(events.last(), "copySlot2");
}

TEST_F(HotkeyManagerTest, ADisabledConfigurationNeverArms)
{
    HotkeyConfig off = store.config();
    off.enabled = false;
    store.setConfig(off);
    doubleTap();
    doubleTap();
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(HotkeyManagerTest, TheModifierPollSleepsUntilAModifierChanges)
{
    manager.stop();
    input.reportsModifierChanges = true;
    manager.start();
    scheduler.advance(0.1);
    EXPECT_FALSE(manager.isPolling()); // nothing held, no taps, not armed

    auto tapReported = [this] {
        input.setModifiers(leader);
        EXPECT_TRUE(manager.isPolling());
        scheduler.advance(0.1);
        input.setModifiers(0);
        scheduler.advance(0.1);
    };
    tapReported();
    EXPECT_TRUE(manager.isPolling()); // a tap sequence is open
    tapReported();
    EXPECT_EQ(events, QStringList({"arm"}));
    scheduler.advance(1.0);
    EXPECT_TRUE(manager.isPolling()); // armed
    input.pressKey(53); // Escape
    scheduler.advance(0.1);
    EXPECT_EQ(events, QStringList({"arm", "disarm"}));
    EXPECT_FALSE(manager.isPolling());

    tapReported(); // a lone tap: the sequence closes after the gap
    scheduler.advance(HotkeyManager::maxTapGap + 0.1);
    EXPECT_FALSE(manager.isPolling());
}

TEST_F(HotkeyManagerTest, ChangesReadLateCountByTheirOwnTimes)
{
    // After a quiet second, changes that happened `ago` seconds before now
    // (on the input's own clock, which runs as ours does) are read at once.
    auto readLate = [this](const QList<std::pair<quint64, double>> &changes) {
        scheduler.advance(1.0);
        for (const auto &[held, ago] : changes)
            input.changeModifiers(held, 1000.0 + scheduler.now() - ago);
        scheduler.advance(0.02);
    };
    readLate({{leader, 0.2}, {0, 0.05}}); // the first tap, held 0.15 s
    tap();
    EXPECT_EQ(events, QStringList({"arm"}));
    input.pressKey(53);
    events.clear();
    readLate({{leader, 0.9}, {0, 0.3}, {leader, 0.2}, {0, 0.1}}); // the first held 0.6 s
    readLate({{leader, 0.8}, {0, 0.7}, {leader, 0.2}, {0, 0.1}}); // 0.5 s apart
    EXPECT_TRUE(events.isEmpty());
    readLate({{leader, 1.0}, {0, 0.56}, {leader, 0.17}, {0, 0.07}}); // held 0.44 s, 0.39 s apart
    EXPECT_EQ(events, QStringList({"arm"}));
}

TEST_F(HotkeyManagerTest, KeysReadLateCountWhereTheyWereTyped)
{
    // A key between the taps restarts the count, one typed after them does
    // not, though all is read in one tick; the later key then disarms as a
    // stray key would.
    input.changeModifiers(leader, 0.0);
    input.changeModifiers(0, 0.1);
    input.pressKey(0);
    input.changeModifiers(leader, 0.2);
    input.changeModifiers(0, 0.3);
    input.changeModifiers(leader, 0.4);
    input.changeModifiers(0, 0.5);
    input.pressKey(0);
    scheduler.advance(0.02);
    EXPECT_EQ(events, QStringList({"arm"}));
    scheduler.advance(HotkeyManager::strayKeyGrace + 0.05);
    EXPECT_EQ(events, QStringList({"arm", "disarm"}));
}

} // namespace
