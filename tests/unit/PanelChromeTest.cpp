#include "TestServices.h"
#include "panel/PanelController.h"
#include "views/FooterButton.h"
#include "views/ItemCardView.h"
#include "views/PanelBackgroundView.h"
#include "views/PanelBorderView.h"
#include "views/PanelWindow.h"
#include "views/PassthroughView.h"
#include "views/PreviewPopup.h"

#include <gtest/gtest.h>

namespace {

class PanelChromeTest : public ::testing::Test
{
protected:
    TestServices fake;
    PanelController panel{fake.services(), fake.hotkeys};
};

TEST_F(PanelChromeTest, TheKeyHintOverlayLiesOnTopAndLetsClicksThrough)
{
    panel.addItem(ShelfItem::make(QString("below the overlay"), 0), PanelController::RevealStyle::quiet);
    fake.scheduler.advance(0.5);
    PassthroughView *overlay = panel.keyHintOverlay();
    EXPECT_EQ(overlay->geometry(), QRect(0, 0, 132, 450));
    EXPECT_EQ(panel.panel()->children().last(), overlay);
    EXPECT_TRUE(overlay->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_TRUE(panel.borderHostView()->testAttribute(Qt::WA_TransparentForMouseEvents));

    // What a click at a card's centre and at the paste button would reach.
    ItemCardView *card = panel.slots().first().view;
    const QPoint cardCentre = card->mapTo(panel.panel(), card->bodyRect().center());
    QWidget *hit = panel.panel()->childAt(cardCentre);
    ASSERT_TRUE(hit);
    EXPECT_TRUE(hit == card || card->isAncestorOf(hit));
    const QPoint pasteCentre = panel.pasteButton()->mapTo(panel.panel(), panel.pasteButton()->rect().center());
    EXPECT_EQ(panel.panel()->childAt(pasteCentre), panel.pasteButton());
}

TEST_F(PanelChromeTest, FooterButtonsSitInTheFooterWithTheirNames)
{
    EXPECT_EQ(panel.historyButton()->accessibleName(), "Restore last removed screenshot");
    EXPECT_EQ(panel.pasteButton()->accessibleName(), "Add clipboard contents");
    // 20 × 20, 8 above the bottom, 18 either side of the centre.
    EXPECT_EQ(panel.historyButton()->geometry(), QRect(66 - 18 - 10, 450 - 8 - 20, 20, 20));
    EXPECT_EQ(panel.pasteButton()->geometry(), QRect(66 + 18 - 10, 450 - 8 - 20, 20, 20));
}

TEST_F(PanelChromeTest, PanelAndPreviewFollowACompositorThatStartsAndStopsLater)
{
    auto *background = panel.panel()->findChild<PanelBackgroundView *>();
    ASSERT_TRUE(background);
    const QRegion cut = panel.panel()->mask();
    EXPECT_TRUE(cut.contains(QPoint(0, 0)));
    EXPECT_FALSE(cut.contains(QPoint(131, 0))); // the rounded top right corner
    PreviewPopup popup(QSize(132, 100), fake.compositor);
    for (const bool compositing : {false, true, false}) {
        fake.compositor.setCompositing(compositing);
        // Translucent only with a compositor; opaque and cut out without.
        EXPECT_EQ(background->fillColor().alpha() < 255, compositing);
        EXPECT_EQ(panel.panel()->mask(), compositing ? QRegion() : cut);
        EXPECT_EQ(popup.background()->fillColor().alpha() < 255, compositing);
        EXPECT_EQ(popup.window()->mask().isEmpty(), compositing);
        EXPECT_EQ(popup.window()->autoFillBackground(), !compositing);
    }
}

} // namespace
