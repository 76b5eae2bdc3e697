#include "TestServices.h"
#include "panel/PanelController.h"
#include "views/CardFade.h"
#include "views/FooterButton.h"
#include "views/ItemCardView.h"
#include "views/ShelfStackView.h"

#include <gtest/gtest.h>


namespace {

using Reveal = PanelController::RevealStyle;

class PanelControllerSlotsTest : public ::testing::Test
{
protected:
    ShelfItem text(const QString &value) { return ShelfItem::make(value, fake.scheduler.now()); }

    QStringList texts() const
    {
        QStringList result;
        for (const ShelfItem &item : panel->items())
            result.append(*item.text());
        return result;
    }

    void addTexts(const QStringList &values)
    {
        for (const QString &value : values)
            panel->addItem(text(value), Reveal::quiet);
    }

    TestServices fake;
    std::unique_ptr<PanelController> panel = std::make_unique<PanelController>(fake.services(), fake.hotkeys);
};

TEST_F(PanelControllerSlotsTest, NewestItemGoesOnTopAndSixthEvictsTheOldestIntoHistory)
{
    addTexts({"1", "2", "3", "4", "5"});
    EXPECT_EQ(texts(), QStringList({"5", "4", "3", "2", "1"}));
    EXPECT_FALSE(panel->lastEvicted());
    EXPECT_FALSE(panel->historyButton()->isEnabled());
    EXPECT_DOUBLE_EQ(panel->historyButton()->alpha(), 0.3);

    addTexts({"6"});
    EXPECT_EQ(texts(), QStringList({"6", "5", "4", "3", "2"}));
    ASSERT_TRUE(panel->lastEvicted());
    EXPECT_EQ(*panel->lastEvicted()->text(), "1");
    EXPECT_TRUE(panel->historyButton()->isEnabled());
    EXPECT_DOUBLE_EQ(panel->historyButton()->alpha(), 1.0);

    const QList<StringMap> stored = fake.defaults.storedList("zorv.shelf.items");
    ASSERT_EQ(stored.size(), 5);
    EXPECT_EQ(stored.first().value("text"), "2");
    EXPECT_EQ(stored.last().value("text"), "6");
}

TEST_F(PanelControllerSlotsTest, CardsMatchSlotsAndEvictedCardFadesThenGoes)
{
    addTexts({"1", "2", "3", "4", "5", "6"});
    // The column holds exactly the five slot cards, in slot order.
    const QList<ItemCardView *> column = panel->stackView()->cards();
    ASSERT_EQ(column.size(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(column.at(i), panel->slots().at(i).view.data());

    // The sixth card is still a child while it fades, and gone afterwards.
    QPointer<ItemCardView> evicted;
    const QList<ItemCardView *> children = panel->stackView()->findChildren<ItemCardView *>();
    EXPECT_EQ(children.size(), 6);
    for (ItemCardView *child : children) {
        if (!column.contains(child))
            evicted = child;
    }
    ASSERT_TRUE(evicted);
    fake.scheduler.advance(0.1);
    EXPECT_TRUE(evicted);
    EXPECT_LT(CardFade::alpha(evicted), 1.0);
    fake.scheduler.advance(0.3);
    EXPECT_FALSE(evicted);
    EXPECT_EQ(panel->stackView()->findChildren<ItemCardView *>().size(), 5);
}

TEST_F(PanelControllerSlotsTest, CardsSitSixPointsApartFromEightBelowTheTop)
{
    addTexts({"1", "2", "3"});
    panel->deleteItem(panel->items().at(1).id);
    fake.scheduler.advance(0.5); // the slides have ended
    const QList<ItemCardView *> column = panel->stackView()->cards();
    ASSERT_EQ(column.size(), 2);
    const QRect top = column.at(0)->bodyRect().translated(column.at(0)->pos());
    const QRect next = column.at(1)->bodyRect().translated(column.at(1)->pos());
    EXPECT_EQ(top, QRect(12, 8, 108, 76));
    EXPECT_EQ(next.top(), top.bottom() + 1 + 6);
    EXPECT_EQ(next.left(), 12);
}

TEST_F(PanelControllerSlotsTest, NewCardFadesInOverAFifthOfASecond)
{
    addTexts({"a"});
    ItemCardView *card = panel->slots().first().view;
    EXPECT_DOUBLE_EQ(CardFade::alpha(card), 0.0);
    EXPECT_EQ(card->bodyRect().size(), QSize(108, 76));
    fake.scheduler.advance(0.1);
    const double midway = CardFade::alpha(card);
    EXPECT_GT(midway, 0.0);
    EXPECT_LT(midway, 1.0);
    fake.scheduler.advance(0.2);
    EXPECT_DOUBLE_EQ(CardFade::alpha(card), 1.0);
}

TEST_F(PanelControllerSlotsTest, HistoryExpiresThreeHundredSecondsAfterTheLatestOverflow)
{
    addTexts({"1", "2", "3", "4", "5", "6"});
    fake.scheduler.advance(200);
    addTexts({"7"}); // second overflow: "1" is lost, "2" is the history
    EXPECT_EQ(*panel->lastEvicted()->text(), "2");

    fake.scheduler.advance(299);
    ASSERT_TRUE(panel->lastEvicted());
    EXPECT_EQ(*panel->lastEvicted()->text(), "2");

    fake.scheduler.advance(1.5);
    EXPECT_FALSE(panel->lastEvicted());
    EXPECT_FALSE(panel->historyButton()->isEnabled());
    EXPECT_DOUBLE_EQ(panel->historyButton()->alpha(), 0.3);
}

TEST_F(PanelControllerSlotsTest, RestoringHistoryOnAFullShelfSwapsItWithTheOldest)
{
    addTexts({"1", "2", "3", "4", "5", "6"});
    const ShelfItem history = *panel->lastEvicted();
    const int writesBefore = fake.defaults.writes;

    panel->historyButtonTapped();
    EXPECT_EQ(texts(), QStringList({"1", "6", "5", "4", "3"}));
    EXPECT_EQ(panel->items().first().id, history.id); // the same value comes back
    EXPECT_EQ(panel->items().first().addedAt, history.addedAt);
    ASSERT_TRUE(panel->lastEvicted());
    EXPECT_EQ(*panel->lastEvicted()->text(), "2");
    EXPECT_TRUE(panel->historyButton()->isEnabled());
    EXPECT_EQ(fake.defaults.writes, writesBefore + 1);

    // The swapped-in history gets a fresh 300 s.
    fake.scheduler.advance(299);
    EXPECT_TRUE(panel->lastEvicted());
}

TEST_F(PanelControllerSlotsTest, HistoryOnAShelfWithRoomEmptiesTheHistory)
{
    addTexts({"1", "2", "3", "4", "5", "6"});
    panel->deleteItem(panel->items().first().id);
    panel->historyButtonTapped();
    EXPECT_EQ(texts(), QStringList({"1", "5", "4", "3", "2"}));
    EXPECT_FALSE(panel->lastEvicted());
    EXPECT_FALSE(panel->historyButton()->isEnabled());

    // The restored item's expiry is cancelled: it must not clear a newer
    // history when its 300 s end, only that history's own 300 s may.
    fake.scheduler.advance(200);
    addTexts({"6"});
    ASSERT_TRUE(panel->lastEvicted());
    fake.scheduler.advance(150); // 350 s after the first eviction
    ASSERT_TRUE(panel->lastEvicted());
    EXPECT_EQ(*panel->lastEvicted()->text(), "2");
    fake.scheduler.advance(150); // 300 s after the second
    EXPECT_FALSE(panel->lastEvicted());
}

TEST_F(PanelControllerSlotsTest, DeleteRemovesOnlyThatItemAndLeavesHistoryAlone)
{
    addTexts({"same", "same", "x", "y", "z", "w"});
    const ShelfItem history = *panel->lastEvicted();
    const QUuid secondSame = panel->items().at(4).id;
    ASSERT_EQ(*panel->items().at(4).text(), "same");

    panel->deleteItem(secondSame);
    EXPECT_EQ(texts(), QStringList({"w", "z", "y", "x"}));
    EXPECT_EQ(panel->lastEvicted()->id, history.id);
    EXPECT_EQ(fake.defaults.storedList("zorv.shelf.items").size(), 4);

    const int writes = fake.defaults.writes;
    panel->deleteItem(QUuid::createUuid());
    EXPECT_EQ(fake.defaults.writes, writes); // nothing found, nothing written
    EXPECT_EQ(texts().size(), 4);
}

TEST_F(PanelControllerSlotsTest, CardDeleteCallbackDeletesItsOwnItem)
{
    addTexts({"a", "b"});
    ItemCardView *cardOfA = panel->slots().at(1).view;
    ASSERT_TRUE(cardOfA->onDelete);
    cardOfA->onDelete();
    EXPECT_EQ(texts(), QStringList({"b"}));

    // A callback that outlives the panel does nothing.
    auto callback = panel->slots().first().view->onDelete;
    panel.reset();
    callback();
}

TEST_F(PanelControllerSlotsTest, ClipboardSlotHoldsBrightensAndExpires)
{
    EXPECT_DOUBLE_EQ(panel->pasteButton()->alpha(), 0.45);
    EXPECT_TRUE(panel->pasteButton()->isEnabled());
    const int writes = fake.defaults.writes;

    panel->holdClipboardItem(QString("first"));
    fake.scheduler.advance(200);
    panel->holdClipboardItem(QString("second")); // replaces, restarts the 300 s
    EXPECT_EQ(*panel->clipboardItem()->text(), "second");
    EXPECT_DOUBLE_EQ(panel->pasteButton()->alpha(), 1.0);
    EXPECT_TRUE(panel->items().isEmpty());
    EXPECT_EQ(fake.defaults.writes, writes); // holding never writes

    fake.scheduler.advance(299);
    EXPECT_TRUE(panel->clipboardItem());
    fake.scheduler.advance(1.5);
    EXPECT_FALSE(panel->clipboardItem());
    EXPECT_DOUBLE_EQ(panel->pasteButton()->alpha(), 0.45);
}

TEST_F(PanelControllerSlotsTest, PasteAddsTheHeldItemKeepingItsIdentity)
{
    int requests = 0;
    panel->onPasteRequested = [&](PanelController::PasteAnswer answer) {
        ++requests;
        answer(ShelfItemKind(QString("current")));
    };
    panel->holdClipboardItem(QString("held"));
    const ShelfItem held = *panel->clipboardItem();
    fake.scheduler.advance(10);

    panel->pasteButtonTapped();
    EXPECT_EQ(requests, 0);
    ASSERT_EQ(panel->items().size(), 1);
    EXPECT_EQ(panel->items().first().id, held.id);
    EXPECT_EQ(panel->items().first().addedAt, held.addedAt);
    EXPECT_FALSE(panel->clipboardItem());
    EXPECT_DOUBLE_EQ(panel->pasteButton()->alpha(), 0.45);
    EXPECT_EQ(fake.defaults.storedList("zorv.shelf.items").size(), 1);

    // The taken item's expiry is cancelled: nothing happens at 300 s.
    panel->holdClipboardItem(QString("later"));
    fake.scheduler.advance(295);
    EXPECT_TRUE(panel->clipboardItem());
}

TEST_F(PanelControllerSlotsTest, PasteWithEmptySlotAsksForTheCurrentClipboard)
{
    panel->pasteButtonTapped(); // no one to ask: nothing happens
    EXPECT_TRUE(panel->items().isEmpty());

    QList<PanelController::PasteAnswer> asked;
    panel->onPasteRequested = [&](PanelController::PasteAnswer answer) { asked.append(std::move(answer)); };
    panel->pasteButtonTapped();
    ASSERT_EQ(asked.size(), 1);
    asked.takeFirst()(std::nullopt);
    EXPECT_TRUE(panel->items().isEmpty());

    // The item lands when the clipboard has been read, not before.
    panel->pasteButtonTapped();
    panel->pasteButtonTapped();
    EXPECT_TRUE(panel->items().isEmpty());
    for (const auto &answer : std::exchange(asked, {}))
        answer(ShelfItemKind(QString("now")));
    EXPECT_EQ(texts(), QStringList({"now", "now"}));
    EXPECT_NE(panel->items().at(0).id, panel->items().at(1).id);
    EXPECT_EQ(panel->state(), PanelController::State::shown);
}

TEST_F(PanelControllerSlotsTest, TimersFiringAfterThePanelIsGoneDoNothing)
{
    addTexts({"1", "2", "3", "4", "5", "6"});
    panel->holdClipboardItem(QString("c"));
    panel.reset();
    fake.scheduler.advance(400);
    EXPECT_EQ(fake.scheduler.pendingCount(), 0);
}

} // namespace
