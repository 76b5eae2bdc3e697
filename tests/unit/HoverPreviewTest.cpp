#include "TestServices.h"
#include "panel/HoverPreview.h"
#include "panel/PanelController.h"
#include "views/FooterButton.h"
#include "views/ItemCardView.h"
#include "views/PreviewPopup.h"

#include <gtest/gtest.h>

namespace {

using Source = HoverPreview::Source;

// Screen 1280 × 800: the shown panel spans 0..132 × 175..625, its paste
// button is centred on (84, 607), the history button on (48, 607).
class HoverPreviewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fake.screens.pointer = QPointF(5, 400);
        fake.scheduler.advance(1.0);
        ASSERT_EQ(panel.state(), PanelController::State::shown);
    }

    void pointTo(QPointF point, double seconds = 0.3)
    {
        fake.screens.pointer = point;
        fake.scheduler.advance(seconds);
    }
    HoverPreview &preview() { return *panel.hoverPreview(); }
    bool popupVisible() { return preview().popup() && preview().popup()->isVisible(); }
    ItemCardView *card() { return qobject_cast<ItemCardView *>(preview().popup()->itemView()); }

    const QPointF paste{84, 607};
    const QPointF history{48, 607};
    TestServices fake;
    PanelController panel{fake.services(), fake.hotkeys};
};

TEST_F(HoverPreviewTest, TheCardOpensBelowThePanelStaysUnderThePointerAndCloses)
{
    pointTo(paste);
    EXPECT_FALSE(popupVisible()); // nothing held, though a click would paste

    panel.holdClipboardItem(QString("held"));
    pointTo(paste, 0.05);
    ASSERT_TRUE(popupVisible());
    EXPECT_EQ(preview().popup()->frame(), QRect(0, 625 + 6, 132, 92));
    EXPECT_LT(preview().popup()->scale(), 0.9);
    fake.scheduler.advance(0.3);
    EXPECT_DOUBLE_EQ(preview().popup()->scale(), 1.0);
    EXPECT_DOUBLE_EQ(preview().popup()->alpha(), 1.0);
    EXPECT_EQ(card()->bodyRect().size(), QSize(116, 76));

    pointTo({66, 700}); // on the card
    pointTo({66, 723 + 8}); // 8 below it: still held, and the panel stays out
    EXPECT_TRUE(popupVisible());
    fake.scheduler.advance(1.0);
    EXPECT_EQ(panel.state(), PanelController::State::shown);
    pointTo({66, 723 + 10});
    EXPECT_FALSE(popupVisible());
    EXPECT_FALSE(preview().source());

    // A pointer whose position is unknown, as over the gap between the
    // panel and the card under XWayland, keeps the card until the panel goes.
    pointTo(paste);
    ASSERT_TRUE(popupVisible());
    fake.screens.pointerKnown = false;
    pointTo(paste);
    EXPECT_TRUE(popupVisible());
    EXPECT_EQ(panel.state(), PanelController::State::shown);
    pointTo(paste, 0.6);
    EXPECT_FALSE(popupVisible());
    EXPECT_EQ(panel.state(), PanelController::State::hidden);
}

TEST_F(HoverPreviewTest, ATakeHappensOnceAndEmptiesItsButton)
{
    for (const char *text : {"1", "2", "3", "4", "5", "6"})
        panel.addItem(ShelfItem::make(QString(text), fake.scheduler.now()), PanelController::RevealStyle::quiet);
    panel.deleteItem(panel.items().first().id); // room for the taken item
    pointTo(history);
    ASSERT_EQ(preview().source(), Source::history);
    card()->onClick();
    card()->onDelete(); // the fading card's delete button: no second take
    ASSERT_EQ(panel.items().size(), 5);
    EXPECT_EQ(*panel.items().first().text(), "1");
    EXPECT_FALSE(panel.lastEvicted());
    EXPECT_DOUBLE_EQ(panel.historyButton()->alpha(), 0.3);
    pointTo(history); // nothing left to preview
    EXPECT_FALSE(popupVisible());
}

TEST_F(HoverPreviewTest, SwitchingButtonsReplaysTheEntranceAndOutsideEventsDismiss)
{
    panel.holdClipboardItem(QString("held"));
    panel.addItem(ShelfItem::make(QString("a"), 0), PanelController::RevealStyle::quiet);
    for (int i = 0; i < 5; ++i)
        panel.addItem(ShelfItem::make(QString::number(i), 0), PanelController::RevealStyle::quiet);
    pointTo(paste);
    pointTo(history, 0.04);
    EXPECT_EQ(preview().source(), Source::history);
    EXPECT_LT(preview().popup()->scale(), 0.9);

    // A show during a dismiss's fade keeps the new card.
    pointTo({640, 400}, 0.05);
    pointTo(history, 0.5);
    EXPECT_TRUE(popupVisible());
    EXPECT_TRUE(card());

    panel.showKeyHints();
    fake.scheduler.advance(0.3);
    EXPECT_FALSE(popupVisible());
    panel.hideKeyHints();
    pointTo(paste);
    pointTo({66, 700}); // on the card, which holds the panel out
    ASSERT_TRUE(popupVisible());
    panel.visibility()->retractIfMouseAway(); // the panel leaves: the card goes with it
    fake.scheduler.advance(0.3);
    EXPECT_FALSE(popupVisible());
}

} // namespace
