#include "model/HotkeyConfig.h"
#include "platform/x11/X11KeyMap.h"

#include <gtest/gtest.h>

namespace {

TEST(X11KeyMapTest, EveryDefaultAndSpecialKeyHasAnXKeycodeThatMapsBack)
{
    QList<quint32> keys;
    for (HotkeyAction action : HotkeyActions::allCases())
        keys.append(HotkeyConfig::defaultBinding(action).keyCode);
    // Escape, Space, Return, Tab, Delete, forward delete, arrows, Home, End, pages, F1-F12.
    keys << 53 << 49 << 36 << 48 << 51 << 117 << 123 << 124 << 125 << 126 << 115 << 119 << 116 << 121 << 122 << 120
         << 99 << 118 << 96 << 97 << 98 << 100 << 101 << 109 << 103 << 111;
    for (quint32 mac : keys) {
        const std::optional<quint8> x = X11KeyMap::xKeycodeForMac(mac);
        ASSERT_TRUE(x) << mac;
        EXPECT_EQ(X11KeyMap::macKeyCodeForX(*x), mac);
    }
    // The platform's measured pairs.
    EXPECT_EQ(X11KeyMap::xKeycodeForMac(4), 43);
    EXPECT_EQ(X11KeyMap::xKeycodeForMac(24), 21);
    EXPECT_EQ(X11KeyMap::xKeycodeForMac(23), 14);
    EXPECT_EQ(X11KeyMap::xKeycodeForMac(22), 15);
    EXPECT_EQ(X11KeyMap::xKeycodeForMac(103), 95);
    EXPECT_FALSE(X11KeyMap::xKeycodeForMac(200));
}

TEST(X11KeyMapTest, AllFiftyTypingKeysAreDistinct)
{
    QSet<quint8> seen;
    for (quint32 mac = 0; mac <= 50; ++mac) {
        if (const std::optional<quint8> x = X11KeyMap::xKeycodeForMac(mac)) {
            EXPECT_FALSE(seen.contains(*x)) << "mac " << mac;
            seen.insert(*x);
        }
    }
    EXPECT_EQ(seen.size(), 50); // 26 letters, 10 digits, 11 punctuation, Return, Tab, Space
}

TEST(X11KeyMapTest, WithoutAServerNothingIsMappedAndNothingCrashes)
{
    X11KeyMap map(nullptr);
    EXPECT_EQ(map.modifierBits(0xff) & ~quint64(0x60000), 0u); // only shift and control are fixed
    EXPECT_FALSE(map.xModifiersForCarbon(0x900));
    EXPECT_EQ(map.xModifiersForCarbon(0x1200), quint16(0x5));
    EXPECT_FALSE(map.level1Characters(38));
}

} // namespace
