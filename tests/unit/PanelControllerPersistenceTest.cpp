#include "TestImages.h"
#include "TestServices.h"
#include "model/ShelfStore.h"
#include "panel/PanelController.h"
#include "platform/PrivateTempFolder.h"
#include "views/FooterButton.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QString key = QStringLiteral("zorv.shelf.items");

QVariantMap textEntry(const QString &text)
{
    return {{"type", "text"}, {"text", text}};
}

QVariantMap screenshotEntry(const QString &path)
{
    return {{"type", "screenshot"}, {"url", path}};
}

class PanelControllerPersistenceTest : public ::testing::Test
{
protected:
    void store(const QVariantList &list) { fake.defaults.values[key] = list; }

    std::unique_ptr<PanelController> launch() { return std::make_unique<PanelController>(fake.services(), fake.hotkeys); }

    static QStringList describe(const QList<ShelfItem> &items)
    {
        QStringList result;
        for (const ShelfItem &item : items)
            result.append(item.text() ? *item.text() : item.screenshot()->url.toLocalFile());
        return result;
    }

    QTemporaryDir folder;
    TestServices fake;
};

TEST_F(PanelControllerPersistenceTest, StoresOldestFirstAndRestoresTheSameOrder)
{
    const QString path = TestImages::writePng(folder.path(), "shot.png");
    {
        auto panel = launch();
        panel->addItem(ShelfItem::make(QString("a"), 0), PanelController::RevealStyle::quiet);
        panel->addItem(ShelfItem::make(Screenshot::make(QUrl::fromLocalFile(path), nullptr, 0), 0),
                       PanelController::RevealStyle::quiet);
        panel->addItem(ShelfItem::make(QString("b"), 0), PanelController::RevealStyle::quiet);
    }
    const QList<StringMap> stored = fake.defaults.storedList(key);
    const QList<StringMap> expected = {{{"type", "text"}, {"text", "a"}},
                                       {{"type", "screenshot"}, {"url", path}},
                                       {{"type", "text"}, {"text", "b"}}};
    EXPECT_EQ(stored, expected);

    auto restored = launch();
    const QList<ShelfItem> items = restored->items(); // a copy; the pointer below points into it
    EXPECT_EQ(describe(items), QStringList({"b", path, "a"}));
    const Screenshot *shot = items.at(1).screenshot();
    ASSERT_TRUE(shot && shot->image);
    EXPECT_EQ(shot->image->size(), QSize(8, 6));
    EXPECT_EQ(items.at(1).addedAt, fake.scheduler.now());
}

TEST_F(PanelControllerPersistenceTest, SkipsBadEntriesAndDropsThemFromTheStore)
{
    const QString good = TestImages::writePng(folder.path(), "good.png");
    const QString removed = TestImages::writePng(folder.path(), "removed.png");
    QFile::remove(removed);
    QFile notImage(folder.path() + "/fake.png");
    ASSERT_TRUE(notImage.open(QIODevice::WriteOnly));
    notImage.write("not a png at all");
    notImage.close();

    store({textEntry("first"),
           QVariantMap{{"text", "no type"}},
           QVariantMap{{"type", "Text"}, {"text", "wrong case"}},
           QVariantMap{{"type", "text"}},
           QVariantMap{{"type", "screenshot"}},
           screenshotEntry(removed),
           screenshotEntry(notImage.fileName()),
           screenshotEntry("relative/good.png"),
           QVariantMap{{"type", "video"}, {"url", good}},
           screenshotEntry(good),
           textEntry("")});

    auto panel = launch();
    EXPECT_EQ(describe(panel->items()), QStringList({"", good, "first"}));
    EXPECT_EQ(fake.defaults.storedList(key).size(), 3);
    EXPECT_FALSE(panel->lastEvicted());
}

TEST_F(PanelControllerPersistenceTest, OneElementThatIsNotAStringMapRestoresNothingAndKeepsTheValue)
{
    const QVariantList value = {textEntry("a"), QVariantMap{{"type", "text"}, {"text", QVariant(42)}}, textEntry("b")};
    store(value);
    auto panel = launch();
    EXPECT_TRUE(panel->items().isEmpty());
    EXPECT_EQ(fake.defaults.writes, 0);
    EXPECT_EQ(fake.defaults.arrayForKey(key), value);

    store({textEntry("a"), QVariant(QStringLiteral("just a string"))});
    EXPECT_TRUE(launch()->items().isEmpty());
}

TEST_F(PanelControllerPersistenceTest, NoRestorableEntryLeavesTheStoredValueUntouched)
{
    store({QVariantMap{{"type", "Text"}, {"text", "x"}}});
    auto panel = launch();
    EXPECT_TRUE(panel->items().isEmpty());
    EXPECT_EQ(fake.defaults.writes, 0);

    panel->addItem(ShelfItem::make(QString("new"), 0), PanelController::RevealStyle::quiet);
    EXPECT_EQ(fake.defaults.storedList(key), QList<StringMap>({{{"type", "text"}, {"text", "new"}}}));
}

TEST_F(PanelControllerPersistenceTest, SevenStoredEntriesRestoreFiveWithTheSixthNewestInHistory)
{
    QVariantList seven;
    for (int i = 1; i <= 7; ++i)
        seven.append(textEntry(QString::number(i)));
    store(seven);

    auto panel = launch();
    EXPECT_EQ(describe(panel->items()), QStringList({"7", "6", "5", "4", "3"}));
    ASSERT_TRUE(panel->lastEvicted());
    EXPECT_EQ(*panel->lastEvicted()->text(), "2");
    EXPECT_TRUE(panel->historyButton()->isEnabled());
    const QList<StringMap> stored = fake.defaults.storedList(key);
    ASSERT_EQ(stored.size(), 5);
    EXPECT_EQ(stored.first().value("text"), "3");

    fake.scheduler.advance(300.5);
    EXPECT_FALSE(panel->lastEvicted());
}

TEST_F(PanelControllerPersistenceTest, DuplicatesRestoreAsSeparateItems)
{
    store({textEntry("same"), textEntry("same")});
    auto panel = launch();
    ASSERT_EQ(panel->items().size(), 2);
    EXPECT_NE(panel->items().at(0).id, panel->items().at(1).id);
}

TEST_F(PanelControllerPersistenceTest, RestoreNeverFillsTheClipboardSlot)
{
    store({textEntry("a")});
    auto panel = launch();
    EXPECT_FALSE(panel->clipboardItem());
    EXPECT_DOUBLE_EQ(panel->pasteButton()->alpha(), 0.45);
}

TEST_F(PanelControllerPersistenceTest, ABlobUnderTheShelfKeyReadsAsNothing)
{
    fake.defaults.values[key] = QByteArray("[1,2,3]");
    auto panel = launch();
    EXPECT_TRUE(panel->items().isEmpty());
}

TEST_F(PanelControllerPersistenceTest, LaunchKeepsOnlyThePrivateFilesTheShelfNamesAndDeletingReleasesThem)
{
    const QString privateFolder = fake.tempFolder.path();
    const QString kept = TestImages::writePng(privateFolder, PrivateTempFolder::ownImageName());
    const QString stray = TestImages::writePng(privateFolder, PrivateTempFolder::ownImageName());
    store({screenshotEntry(kept), textEntry("t")});
    auto panel = launch();
    EXPECT_TRUE(QFile::exists(kept));
    EXPECT_FALSE(QFile::exists(stray));

    panel->deleteItem(panel->items().at(1).id);
    fake.scheduler.advance(1.0); // the card fades and goes
    EXPECT_FALSE(QFile::exists(kept));
}

TEST_F(PanelControllerPersistenceTest, ItemsArrivingDuringTheRestoreGoOnTopAndTheStoreLosesNothing)
{
    store({textEntry("old one"), textEntry("old two")});
    fake.tasks.deferred = true; // the stored entries are still being read
    auto panel = launch();
    panel->addItem(ShelfItem::make(QString("new"), 0), PanelController::RevealStyle::peek);
    EXPECT_TRUE(panel->items().isEmpty());
    EXPECT_EQ(fake.defaults.storedList(key).size(), 2); // a kill now loses nothing

    fake.tasks.deferred = false; // the write that follows runs at once
    fake.tasks.runPending();
    EXPECT_EQ(describe(panel->items()), QStringList({"new", "old two", "old one"}));
    EXPECT_EQ(fake.defaults.storedList(key).size(), 3);
}

TEST_F(PanelControllerPersistenceTest, CardsFillInInStoredOrderAsEntriesAreRead)
{
    const QString missing = folder.filePath("gone.png");
    store({textEntry("one"), screenshotEntry(missing), textEntry("three"), textEntry("four")});
    fake.tasks.deferred = true;
    auto panel = launch();
    ASSERT_EQ(fake.tasks.pending.size(), 4);
    fake.tasks.pending[2](); // read before the older entries: waits for them
    EXPECT_TRUE(panel->items().isEmpty());
    fake.tasks.pending[0]();
    fake.tasks.pending[1](); // skipped
    EXPECT_EQ(describe(panel->items()), QStringList({"three", "one"}));
    // Deleting meanwhile still keeps every stored entry until the end.
    panel->deleteItem(panel->items().at(0).id);
    EXPECT_EQ(fake.defaults.storedList(key).size(), 4);

    fake.tasks.deferred = false; // the write that follows runs at once
    fake.tasks.pending[3]();
    EXPECT_EQ(describe(panel->items()), QStringList({"four", "one"}));
    const QList<StringMap> expected = {{{"type", "text"}, {"text", "one"}}, {{"type", "text"}, {"text", "four"}}};
    EXPECT_EQ(fake.defaults.storedList(key), expected);
}

TEST_F(PanelControllerPersistenceTest, AFailedWriteIsTriedAgainLaterAndWithTheNextChange)
{
    auto panel = launch();
    fake.defaults.failWrites = true; // a full disk, say
    panel->addItem(ShelfItem::make(QString("a"), 0), PanelController::RevealStyle::quiet);
    const int failed = fake.defaults.writes;
    fake.scheduler.advance(ShelfStore::persistRetryDelay - 1);
    EXPECT_EQ(fake.defaults.writes, failed);
    fake.scheduler.advance(1);
    EXPECT_EQ(fake.defaults.writes, failed + 1); // on its own
    panel->addItem(ShelfItem::make(QString("b"), 0), PanelController::RevealStyle::quiet);
    EXPECT_EQ(fake.defaults.writes, failed + 2); // and with the change

    fake.defaults.failWrites = false;
    fake.scheduler.advance(ShelfStore::persistRetryDelay);
    const QList<StringMap> stored = {{{"type", "text"}, {"text", "a"}}, {{"type", "text"}, {"text", "b"}}};
    EXPECT_EQ(fake.defaults.storedList(key), stored);
    const int settled = fake.defaults.writes;
    fake.scheduler.advance(10 * ShelfStore::persistRetryDelay);
    EXPECT_EQ(fake.defaults.writes, settled); // stored: nothing more to try
}

} // namespace

TEST_F(PanelControllerPersistenceTest, EachWriteStoresTheNewestShelfAndQuittingLosesNoChange)
{
    auto panel = launch();
    fake.tasks.deferred = true; // each write waits for a worker
    panel->addItem(ShelfItem::make(QString("one"), 0), PanelController::RevealStyle::peek);
    panel->addItem(ShelfItem::make(QString("two"), 0), PanelController::RevealStyle::peek);
    ASSERT_EQ(fake.tasks.pending.size(), 1); // one write at a time
    fake.tasks.runPending();
    EXPECT_EQ(fake.defaults.storedList(key).size(), 2); // what is newest when it starts

    // A write still queued at quit would be dropped, so quitting writes;
    // the queued one, should it start after all, stores nothing older.
    panel->addItem(ShelfItem::make(QString("three"), 0), PanelController::RevealStyle::peek);
    QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit");
    EXPECT_EQ(fake.defaults.storedList(key).size(), 3);
    fake.tasks.runPending();
    EXPECT_EQ(fake.defaults.storedList(key).size(), 3);
}
