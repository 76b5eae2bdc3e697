#include "platform/xwayland/PointerCatcher.h"

#include <gtest/gtest.h>

namespace {

TEST(PointerCatcherTest, SpreadsOverAllScreensButNeverExactlyOverOne)
{
    const QRect left(0, 0, 1280, 800);
    const QRect right(1280, -200, 1280, 1200);
    EXPECT_EQ(PointerCatcher::spreadFrame({left}), QRect(1, 0, 1279, 800));
    // Desktops take a window the size of a screen for a fullscreen one.
    const QRect both = PointerCatcher::spreadFrame({left, right});
    EXPECT_EQ(both, QRect(1, -200, 2559, 1200));
    EXPECT_NE(both, left);
    EXPECT_NE(both, right);
    EXPECT_TRUE(PointerCatcher::spreadFrame({}).isEmpty());
}

} // namespace
