#include "platform/ScreenEdges.h"
#include "platform/xwayland/EdgeSentinel.h"

#include <gtest/gtest.h>

namespace {

using Spans = QList<ScreenEdges::Span>;

TEST(ScreenEdgesTest, OnlyStretchesWithNoScreenBesideThemAreOpen)
{
    const QRectF left(0, 0, 1280, 800);
    const QRectF lower(1280, 400, 1280, 800);
    const QRectF tall(1280, -200, 1280, 1200);
    EXPECT_EQ(ScreenEdges::openSpans(left, {left, lower}), (Spans{{0, 800}}));
    EXPECT_EQ(ScreenEdges::openSpans(lower, {left, lower}), (Spans{{800, 1200}}));
    EXPECT_EQ(ScreenEdges::openSpans(tall, {left, tall}), (Spans{{-200, 0}, {800, 1000}}));
    // Two neighbours covering the side between them, one overlapping it.
    const QRectF below(0, 800, 1300, 400);
    EXPECT_EQ(ScreenEdges::openSpans(tall, {left, below, tall}), (Spans{{-200, 0}}));
    // Across a gap the side stays open.
    const QRectF apart(1290, 0, 1280, 800);
    EXPECT_EQ(ScreenEdges::openSpans(apart, {left, apart}), (Spans{{0, 800}}));
    EXPECT_TRUE(ScreenEdges::isOpenAt(lower, 800, {left, lower}));
    EXPECT_FALSE(ScreenEdges::isOpenAt(lower, 799, {left, lower}));
}

TEST(ScreenEdgesTest, SentinelsStandOnlyAlongOpenStretches)
{
    const QList<QRect> sideBySide{QRect(0, 0, 1280, 800), QRect(1280, 0, 1280, 800)};
    EXPECT_EQ(EdgeSentinel::edgeFrames(sideBySide), (QList<QRect>{QRect(0, 0, 1, 800)}));
    const QList<QRect> offset{QRect(0, 0, 1280, 800), QRect(1280, 400, 1280, 800)};
    EXPECT_EQ(EdgeSentinel::edgeFrames(offset), (QList<QRect>{QRect(0, 0, 1, 800), QRect(1280, 800, 1, 400)}));
}

} // namespace
