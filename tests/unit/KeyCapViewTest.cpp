#include "VirtualScheduler.h"
#include "views/KeyCapView.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>

#include <cmath>

namespace {

TEST(KeyCapViewTest, SizeFollowsTheTitleAndTheHeightNeverChanges)
{
    VirtualScheduler scheduler;
    const KeyCapView empty("", 15, scheduler);
    EXPECT_EQ(empty.capSize(), QSize(15, 15));
    EXPECT_EQ(empty.depth(), 2);
    EXPECT_EQ(empty.size(), QSize(15 + 6, 15 + 6)); // room for the shadow
    EXPECT_TRUE(empty.testAttribute(Qt::WA_TransparentForMouseEvents));

    const KeyCapView wide("Ctrl+Alt+Shift+Super+H", 15, scheduler);
    QFont font = wide.font();
    font.setPixelSize(8);
    font.setWeight(QFont::DemiBold);
    const int text = int(std::ceil(QFontMetricsF(font).horizontalAdvance(wide.title())));
    EXPECT_EQ(wide.capSize(), QSize(text + 9, 15));
    EXPECT_EQ(KeyCapView("X", 40, scheduler).depth(), 5);
}

TEST(KeyCapViewTest, ATapPressesAndReleasesOnItsOwnSchedule)
{
    VirtualScheduler scheduler;
    KeyCapView cap("1", 15, scheduler);
    cap.tap();
    EXPECT_TRUE(cap.isPressed());
    scheduler.advance(0.1);
    EXPECT_DOUBLE_EQ(cap.currentLook().faceOffset, cap.depth());
    EXPECT_NEAR(cap.currentLook().face.redF(), 0.84 * 0.82, 0.005); // 18 % towards black
    EXPECT_DOUBLE_EQ(cap.currentLook().shadowOpacity, 0.15);

    cap.tap(); // pressed again 0.1 s in: the first tap's release still comes at 0.16
    scheduler.advance(0.07);
    EXPECT_FALSE(cap.isPressed());
    scheduler.advance(0.25);
    EXPECT_DOUBLE_EQ(cap.currentLook().faceOffset, 0);
    EXPECT_DOUBLE_EQ(cap.currentLook().shadowOpacity, 0.35);
}

TEST(KeyCapViewTest, DestructiveTurnsRedAndBackOverTheDuration)
{
    VirtualScheduler scheduler;
    KeyCapView cap("2", 15, scheduler);
    cap.setDestructive(true, 0.15);
    scheduler.advance(0.05);
    EXPECT_NE(cap.currentLook().face.rgb(), KeyCapView::destructiveFaceColor.rgb()); // still on its way
    scheduler.advance(0.15);
    EXPECT_EQ(cap.currentLook().face.rgb(), KeyCapView::destructiveFaceColor.rgb());
    EXPECT_EQ(cap.currentLook().text.rgb(), QColor(Qt::white).rgb());

    cap.setPressed(true, 0);
    const QColor red = KeyCapView::destructiveFaceColor;
    EXPECT_LT(cap.currentLook().face.red(), red.red()); // darker red
    EXPECT_GT(cap.currentLook().face.red(), cap.currentLook().face.green());

    cap.setPressed(false, 0);
    cap.setDestructive(false, 0);
    EXPECT_EQ(cap.currentLook().face.rgb(), KeyCapView::faceColor.rgb());
    EXPECT_EQ(cap.currentLook().side.rgb(), KeyCapView::sideColor.rgb());
    EXPECT_EQ(cap.currentLook().text.rgb(), KeyCapView::textColor.rgb());
}

} // namespace
