#include "TestServices.h"
#include "panel/HoverPreview.h"
#include "panel/PanelController.h"
#include "views/ItemCardView.h"
#include "views/PanelBorderView.h"
#include "views/PanelWindow.h"
#include "views/PreviewPopup.h"

#include <gtest/gtest.h>

namespace {

using State = PanelController::State;

// Screen 0, 0, 1280 × 800: hidden x = -136, peeking -102, shown 0; y = 400 - 225.
class PanelVisibilityTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fake.screens.pointer = away;
        panel = std::make_unique<PanelController>(fake.services(), fake.hotkeys);
    }

    PanelVisibility &visibility() { return *panel->visibility(); }
    qreal frameX() { return visibility().frame().x(); }
    void advance(double seconds) { fake.scheduler.advance(seconds); }

    // Rests the pointer at the edge until the panel is fully out.
    void showByHold()
    {
        fake.screens.pointer = edge;
        advance(1.0);
        ASSERT_EQ(visibility().state(), State::shown);
    }

    const QPointF away{640, 400};
    const QPointF edge{0, 400};
    TestServices fake;
    std::unique_ptr<PanelController> panel;
};

TEST_F(PanelVisibilityTest, StartsHiddenBeyondTheLeftEdgeAndVerticallyCentred)
{
    EXPECT_EQ(visibility().state(), State::hidden);
    EXPECT_EQ(panel->panel()->geometry(), QRect(-136, 175, 132, 450));
    EXPECT_TRUE(panel->panel()->isVisible());
    advance(2.0);
    EXPECT_EQ(visibility().state(), State::hidden);
}

TEST_F(PanelVisibilityTest, TheEdgeIsTwentyPointsWideInclusive)
{
    fake.screens.pointer = QPointF(20.5, 400);
    advance(0.1);
    EXPECT_EQ(visibility().state(), State::hidden);

    fake.screens.pointer = QPointF(20, 400);
    advance(0.04);
    EXPECT_EQ(visibility().state(), State::peeking);
}

TEST_F(PanelVisibilityTest, AHoldPeeksAtOnceFillsTheBorderAndShowsAfterHalfASecond)
{
    fake.screens.pointer = edge;
    advance(0.034); // first poll
    EXPECT_EQ(visibility().state(), State::peeking);
    advance(0.3);
    EXPECT_DOUBLE_EQ(frameX(), -102);
    const qreal progress = panel->borderHostView()->strokeEnd();
    EXPECT_NEAR(progress, 0.6, 0.05);

    advance(0.2); // 0.534 s: the hold completed at 0.534
    EXPECT_EQ(visibility().state(), State::shown);
    advance(0.3);
    EXPECT_DOUBLE_EQ(frameX(), 0);
    EXPECT_EQ(panel->panel()->x(), 0);

    fake.screens.pointer = away;
    advance(1.0);
    EXPECT_EQ(visibility().state(), State::hidden);
    EXPECT_DOUBLE_EQ(panel->borderHostView()->strokeEnd(), 0); // no lit border on the next peek
}

TEST_F(PanelVisibilityTest, ATouchOfTheEdgeSlidesBackAfterTheLeaveGrace)
{
    fake.screens.pointer = edge;
    advance(0.034);
    ASSERT_EQ(visibility().state(), State::peeking);
    fake.screens.pointer = away;
    advance(0.034); // poll finds it away: leave scheduled
    advance(0.11);
    EXPECT_EQ(visibility().state(), State::peeking);
    advance(0.02);
    EXPECT_EQ(visibility().state(), State::hidden);
    EXPECT_DOUBLE_EQ(panel->borderHostView()->strokeEnd(), 0);
    advance(0.3);
    EXPECT_DOUBLE_EQ(frameX(), -136);
    advance(1.0); // the hold's completion finds it hidden and does nothing
    EXPECT_EQ(visibility().state(), State::hidden);
}

TEST_F(PanelVisibilityTest, ReturningWithinTheLeaveGraceContinuesTheHold)
{
    fake.screens.pointer = edge;
    advance(0.034);
    fake.screens.pointer = away;
    advance(0.034);
    fake.screens.pointer = edge;
    advance(0.6);
    EXPECT_EQ(visibility().state(), State::shown);
}

TEST_F(PanelVisibilityTest, AnAbandonedHoldNeverShowsThePanelLater)
{
    fake.screens.pointer = edge;
    advance(0.2); // first hold begins
    fake.screens.pointer = away;
    advance(0.2); // abandoned after the leave grace
    ASSERT_EQ(visibility().state(), State::hidden);
    fake.screens.pointer = edge;
    advance(0.04); // second hold begins; the first one's 0.5 s falls in it
    const double secondHold = fake.scheduler.now();
    fake.scheduler.advanceTo(secondHold + 0.4);
    EXPECT_EQ(visibility().state(), State::peeking);
    fake.scheduler.advanceTo(secondHold + 0.55);
    EXPECT_EQ(visibility().state(), State::shown);
}

TEST_F(PanelVisibilityTest, AScreenshotPeekDuringAHoldStaysAPeek)
{
    fake.screens.pointer = edge;
    advance(0.1);
    fake.screens.pointer = away;
    panel->addItem(ShelfItem::make(QString("shot"), fake.scheduler.now()), PanelController::RevealStyle::peek);
    advance(1.0); // past the hold's half second
    EXPECT_EQ(visibility().state(), State::peeking);
    advance(1.0);
    EXPECT_EQ(visibility().state(), State::hidden);
}

TEST_F(PanelVisibilityTest, LeavingLateInTheHoldStillShowsThenRetracts)
{
    fake.screens.pointer = edge;
    advance(0.034);
    const double holdStart = fake.scheduler.now();
    fake.scheduler.advanceTo(holdStart + 0.45);
    fake.screens.pointer = away;
    fake.scheduler.advanceTo(holdStart + 0.51);
    EXPECT_EQ(visibility().state(), State::shown);
    // Shown at 0.5; the next poll finds it away, and 0.6 s later it goes.
    fake.scheduler.advanceTo(holdStart + 1.05);
    EXPECT_EQ(visibility().state(), State::shown);
    fake.scheduler.advanceTo(holdStart + 1.2);
    EXPECT_EQ(visibility().state(), State::hidden);
}

TEST_F(PanelVisibilityTest, RetractWaitsForTheCoyoteDelayAndComingBackCancelsIt)
{
    showByHold();
    fake.screens.pointer = QPointF(141, 400); // just beyond the 10-point margin
    advance(0.5);
    EXPECT_EQ(visibility().state(), State::shown);
    fake.screens.pointer = QPointF(140, 400); // inside the margin again
    advance(0.5);
    EXPECT_EQ(visibility().state(), State::shown);

    fake.screens.pointer = away;
    advance(0.6);
    EXPECT_EQ(visibility().state(), State::shown);
    advance(0.1);
    EXPECT_EQ(visibility().state(), State::hidden);
}

TEST_F(PanelVisibilityTest, APointerBackAtTheEdgeJustBeforeTheRetractKeepsThePanelOut)
{
    // Polls learn of a warp only a moment later; the retract must not act
    // on that old position once the pointer is back.
    showByHold();
    fake.screens.pointer = away;
    advance(0.5);
    fake.screens.laggingPointer = away;
    fake.screens.pointer = edge;
    advance(0.2);
    EXPECT_EQ(visibility().state(), State::shown);
    fake.screens.pointer = QPointF(66, 467); // on to a card
    advance(0.1);
    fake.screens.laggingPointer.reset();
    advance(1.0);
    EXPECT_EQ(visibility().state(), State::shown);
}

TEST_F(PanelVisibilityTest, AnUnknownPointerIsAwayWhateverItsLastPosition)
{
    // The last known position is inside the panel and at the edge, as
    // after leaving the panel for a window that reports no position.
    showByHold();
    fake.screens.pointerKnown = false;
    advance(0.7);
    EXPECT_EQ(visibility().state(), State::hidden);
    advance(1.0);
    EXPECT_EQ(visibility().state(), State::hidden); // no hold from a stale edge

    fake.screens.pointerKnown = true;
    advance(0.04);
    EXPECT_EQ(visibility().state(), State::peeking);
}

TEST_F(PanelVisibilityTest, AProtectedShowStaysOutThreeSecondsWhereverThePointerIs)
{
    panel->addItem(ShelfItem::make(QString("dropped"), fake.scheduler.now()), PanelController::RevealStyle::show);
    EXPECT_EQ(visibility().state(), State::shown);
    advance(3.0);
    EXPECT_EQ(visibility().state(), State::shown);
    advance(0.7);
    EXPECT_EQ(visibility().state(), State::hidden);
    EXPECT_FALSE(visibility().showProtectedUntil());
}

TEST_F(PanelVisibilityTest, ANotificationPeekPullsAShownPanelBackAndIgnoresThePointer)
{
    showByHold();
    panel->addItem(ShelfItem::make(QString("shot"), fake.scheduler.now()), PanelController::RevealStyle::peek);
    EXPECT_EQ(visibility().state(), State::peeking);
    EXPECT_TRUE(visibility().isNotificationPeek());
    advance(0.4);
    EXPECT_DOUBLE_EQ(frameX(), -102);

    fake.screens.pointer = away;
    advance(0.5);
    fake.screens.pointer = edge;
    advance(0.8); // 1.7 s in: still the same peek, no hold, no leave
    EXPECT_EQ(visibility().state(), State::peeking);
    advance(0.15);
    // At 1.8 s the peek ends; the pointer rests at the edge, so a hold begins.
    EXPECT_FALSE(visibility().isNotificationPeek());
    fake.screens.pointer = away;
    advance(1.0);
    EXPECT_EQ(visibility().state(), State::hidden);
}

TEST_F(PanelVisibilityTest, QuietAddsNeverMoveThePanel)
{
    panel->addItem(ShelfItem::make(QString("quiet"), fake.scheduler.now()), PanelController::RevealStyle::quiet);
    advance(1.0);
    EXPECT_EQ(visibility().state(), State::hidden);
    EXPECT_DOUBLE_EQ(frameX(), -136);
}

TEST_F(PanelVisibilityTest, DragsKeepThePanelOut)
{
    showByHold();
    visibility().setDragging(true);
    fake.screens.pointer = away;
    advance(5.0);
    EXPECT_EQ(visibility().state(), State::shown);
    visibility().setDragging(false);
    advance(0.7);
    EXPECT_EQ(visibility().state(), State::hidden);

    visibility().handleDragHoverChanged(true); // a drag from outside enters the strip
    EXPECT_EQ(visibility().state(), State::shown);
    EXPECT_FALSE(visibility().showProtectedUntil());
    advance(5.0);
    EXPECT_EQ(visibility().state(), State::shown);
    visibility().handleDragHoverChanged(false);
    advance(0.7);
    EXPECT_EQ(visibility().state(), State::hidden);
}

TEST_F(PanelVisibilityTest, CardDragCallbacksDriveTheDraggingFlag)
{
    panel->addItem(ShelfItem::make(QString("card"), fake.scheduler.now()), PanelController::RevealStyle::quiet);
    ItemCardView *card = panel->slots().first().view;
    card->onDragStart();
    EXPECT_TRUE(visibility().isDragging());
    EXPECT_TRUE(fake.screens.dragging); // told, so that nothing of ours lies under the drop
    card->onDragEnd();
    EXPECT_FALSE(visibility().isDragging());
    EXPECT_FALSE(fake.screens.dragging);
}

TEST_F(PanelVisibilityTest, ImmediateRetractOnlyWhenThePointerIsAway)
{
    showByHold();
    visibility().retractIfMouseAway(); // pointer still at the edge
    EXPECT_EQ(visibility().state(), State::shown);
    fake.screens.pointer = away;
    visibility().retractIfMouseAway();
    EXPECT_EQ(visibility().state(), State::hidden);
}

TEST_F(PanelVisibilityTest, KeyHintsKeepTheShownPanelOut)
{
    showByHold();
    visibility().isShowingKeyHints = true;
    fake.screens.pointer = away;
    advance(3.0);
    EXPECT_EQ(visibility().state(), State::shown);
}

class PanelScreenChoiceTest : public ::testing::Test
{
protected:
    TestServices fake;
};

// A second screen beside the main one (0, 0, 1280 × 800), where the pointer
// rests, and where the panel stands then, if it comes out at all.
TEST(PanelScreenLayoutTest, OnlyEdgesWithNoScreenBesideThemCount)
{
    struct Layout
    {
        QRectF second;
        QPointF rest;
        std::optional<QPointF> shownAt;
    };
    const Layout layouts[] = {
        {{1280, 0, 1280, 800}, {1280, 400}, {}}, // side by side: the boundary
        {{1200, 0, 1280, 800}, {1210, 400}, {}}, // overlapping
        {{-1280, 0, 1280, 800}, {10, 400}, {}},
        {{-1280, 0, 1280, 800}, {-1275, 400}, QPointF(-1280, 175)},
        {{1300, 0, 1280, 800}, {1300, 400}, QPointF(1300, 175)}, // across a gap
        {{0, 800, 1280, 800}, {0, 1200}, QPointF(0, 975)}, // stacked below
        {{1280, 400, 1280, 800}, {1280, 700}, {}}, // lower: beside the main one
        {{1280, 400, 1280, 800}, {1285, 1000}, QPointF(1280, 575)}, // and below it
    };
    for (const Layout &layout : layouts) {
        TestServices fake;
        fake.screens.screenFrames = {QRectF(0, 0, 1280, 800), layout.second};
        fake.screens.pointer = layout.rest;
        PanelController panel(fake.services(), fake.hotkeys);
        fake.scheduler.advance(1.0);
        EXPECT_EQ(panel.state(), layout.shownAt ? State::shown : State::hidden) << layout.rest.y();
        if (layout.shownAt) {
            EXPECT_EQ(panel.visibility()->frame().topLeft(), *layout.shownAt);
        }
    }
}

TEST_F(PanelScreenChoiceTest, BelowTheMainScreenThePanelHidesUnseenAndPeeksWhereThePointerIs)
{
    fake.screens.screenFrames = {QRectF(0, 0, 1280, 800), QRectF(1280, 400, 1280, 800)};
    fake.screens.pointer = QPointF(1285, 1000);
    PanelController panel(fake.services(), fake.hotkeys);
    auto topLeft = [&] { return panel.visibility()->frame().topLeft(); };
    panel.holdClipboardItem(QString("held"));
    fake.scheduler.advance(1.0);
    fake.screens.pointer = QPointF(1280 + 84, 575 + 432); // the paste button
    fake.scheduler.advance(0.1);
    ASSERT_TRUE(panel.hoverPreview()->popup());
    EXPECT_EQ(panel.hoverPreview()->popup()->frame(), QRect(1280, 575 + 450 + 6, 132, 92));
    fake.screens.pointer = QPointF(2000, 1000);
    fake.scheduler.advance(1.5);
    EXPECT_EQ(topLeft(), QPointF(-136, 575)); // at x = 1144 it would stand on the main screen
    panel.addItem(ShelfItem::make(QString("a"), 0), PanelController::RevealStyle::peek);
    fake.scheduler.advance(0.5);
    EXPECT_EQ(topLeft(), QPointF(1280 + 30 - 132, 575));
    fake.screens.pointer = QPointF(600, 1000); // on no screen: the main one serves
    fake.scheduler.advance(2.0);
    panel.addItem(ShelfItem::make(QString("b"), 0), PanelController::RevealStyle::peek);
    fake.scheduler.advance(2.0);
    fake.screens.screenFrames.append(QRectF(-1280, 0, 1280, 800)); // where it waits
    fake.scheduler.advance(0.1);
    EXPECT_EQ(topLeft(), QPointF(-1280 - 136, 175));
}

TEST_F(PanelScreenChoiceTest, WithNoContainingScreenTheMainScreenServes)
{
    fake.screens.screenFrames = {QRectF(3200, 0, 1280, 800), QRectF(1280, 0, 1920, 1080)};
    fake.screens.main = QRectF(1280, 0, 1920, 1080);
    fake.screens.pointer = QPointF(1285, 300); // at the main screen's edge
    PanelController panel(fake.services(), fake.hotkeys);
    EXPECT_EQ(panel.panel()->geometry(), QRect(1280 - 136, 540 - 225, 132, 450));
    fake.scheduler.advance(1.0);
    EXPECT_DOUBLE_EQ(panel.visibility()->frame().x(), 1280);
}

TEST_F(PanelScreenChoiceTest, WithoutAMainScreenThePanelStartsAroundTheOrigin)
{
    fake.screens.screenFrames = {};
    fake.screens.main.reset();
    PanelController panel(fake.services(), fake.hotkeys);
    EXPECT_EQ(panel.panel()->geometry(), QRect(-136, -225, 132, 450));
    fake.scheduler.advance(1.0); // no screens: polling must not crash or move it
    EXPECT_EQ(panel.state(), State::hidden);
}

TEST_F(PanelVisibilityTest, ThePointerPollSleepsAtRestAndWakesOnMotion)
{
    fake.screens.canWake = true;
    advance(0.2);
    EXPECT_FALSE(visibility().isPolling()); // hidden, nothing pending, the pointer rests
    const int reads = fake.screens.pointerReads;
    advance(10.0);
    EXPECT_EQ(fake.screens.pointerReads, reads);

    fake.screens.movePointer(edge); // raw motion
    advance(0.04);
    EXPECT_EQ(visibility().state(), State::peeking);
    advance(1.0);
    EXPECT_EQ(visibility().state(), State::shown);
    fake.screens.movePointer(away);
    advance(0.6 + 0.28 + 0.2); // the retract, its slide, two resting ticks
    EXPECT_EQ(visibility().state(), State::hidden);
    EXPECT_FALSE(visibility().isPolling());

    // A new screenshot wakes it too, and it sleeps again once the peek is over.
    panel->addItem(ShelfItem::make(QString("t"), fake.scheduler.now()), PanelController::RevealStyle::peek);
    EXPECT_TRUE(visibility().isPolling());
    advance(1.8 + 0.28 + 0.2);
    EXPECT_EQ(visibility().state(), State::hidden);
    EXPECT_FALSE(visibility().isPolling());

    // A pointer whose position stays unknown (over another program's window
    // under XWayland) rests as well.
    fake.screens.pointerKnown = false;
    fake.screens.movePointer(away);
    advance(0.2);
    EXPECT_FALSE(visibility().isPolling());
}

} // namespace
