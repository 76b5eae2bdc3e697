#include "platform/xwayland/EdgeSentinel.h"

#include <gtest/gtest.h>

namespace {

TEST(EdgeSentinelTest, StandsOnlyWhereNoScreenIsBesideALeftSide)
{
    const QRect left(0, 0, 1280, 800);
    EXPECT_EQ(EdgeSentinel::edgeFrames({left, QRect(1280, 0, 1280, 800)}), QList<QRect>{QRect(0, 0, 1, 800)});
    // The tall screen has the left one and a wide one (overlapping it) beside all but its top.
    const QList<QRect> frames =
        EdgeSentinel::edgeFrames({left, QRect(1280, -200, 1280, 1200), QRect(0, 800, 1300, 400)});
    EXPECT_EQ(frames, (QList<QRect>{QRect(0, 0, 1, 800), QRect(1280, -200, 1, 200), QRect(0, 800, 1, 400)}));
    // A screen beyond a gap keeps its edge.
    EXPECT_EQ(EdgeSentinel::edgeFrames({left, QRect(1290, 0, 1280, 800)}).size(), 2);
}

} // namespace
