#include "VirtualScheduler.h"
#include "model/Shelf.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

// What the shelf's listeners hear, in order.
class ShelfTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QObject::connect(&shelf, &Shelf::itemAdded, [this](const ShelfItem &item) { heard << "+" + *item.text(); });
        QObject::connect(&shelf, &Shelf::itemEvicted, [this](qsizetype i) { heard << "evicted " + QString::number(i); });
        QObject::connect(&shelf, &Shelf::itemDeleted, [this](qsizetype i) { heard << "deleted " + QString::number(i); });
        QObject::connect(&shelf, &Shelf::itemsChanged, [this] { heard << "changed"; });
        QObject::connect(&shelf, &Shelf::lastEvictedChanged, [this] { heard << "history"; });
        QObject::connect(&shelf, &Shelf::clipboardItemChanged, [this] { heard << "clipboard"; });
    }
    void add(const QString &text) { shelf.addItem(ShelfItem::make(text, scheduler.now())); }

    VirtualScheduler scheduler;
    Shelf shelf{scheduler};
    QStringList heard;
};

TEST_F(ShelfTest, ListenersHearEachAddEvictionAndDeleteOnceAndInOrder)
{
    for (const char *text : {"1", "2", "3", "4", "5"})
        add(text);
    heard.clear();
    add("6");
    // The oldest goes from the bottom, below the new item, before the store writes.
    EXPECT_EQ(heard, QStringList({"+6", "evicted 5", "history", "changed"}));
    heard.clear();
    ASSERT_TRUE(shelf.deleteItem(shelf.items().at(2).id));
    EXPECT_FALSE(shelf.deleteItem(QUuid::createUuid()));
    EXPECT_EQ(heard, QStringList({"deleted 2", "changed"}));
}

TEST_F(ShelfTest, HoldingExpiringAndTakingNeverCountAsAChangeOfTheSlots)
{
    for (const char *text : {"1", "2", "3", "4", "5", "6"})
        add(text);
    shelf.holdClipboardItem(QString("held"));
    heard.clear();
    scheduler.advance(Shelf::temporarySlotLifetime + 1);
    EXPECT_EQ(heard, QStringList({"history", "clipboard"}));
    EXPECT_FALSE(shelf.lastEvicted());
    EXPECT_FALSE(shelf.clipboardItem());
    EXPECT_FALSE(shelf.takeClipboardItem());
}

} // namespace
