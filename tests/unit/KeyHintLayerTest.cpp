#include "TestServices.h"
#include "app/AppDelegate.h"
#include "hotkeys/HotkeyManager.h"
#include "panel/KeyHintLayer.h"
#include "panel/PanelController.h"
#include "views/FooterButton.h"
#include "views/KeyCapView.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

using Action = HotkeyAction;
using State = PanelController::State;

class KeyHintLayerTest : public ::testing::Test
{
protected:
    void addTexts(const QStringList &values)
    {
        for (const QString &value : values)
            panel->addItem(ShelfItem::make(value, fake.scheduler.now()), PanelController::RevealStyle::quiet);
        fake.scheduler.advance(1.0);
    }

    KeyCapView *cap(Action action) { return layer().keyHints().value(action); }
    KeyHintLayer &layer() { return *panel->keyHints(); }
    QStringList texts() const
    {
        QStringList result;
        for (const ShelfItem &item : panel->items())
            result.append(*item.text());
        return result;
    }

    TestServices fake;
    std::unique_ptr<PanelController> panel = std::make_unique<PanelController>(fake.services(), fake.hotkeys);
};

TEST_F(KeyHintLayerTest, AnEmptyShelfShowsOnlyTheFooterCapsDimmed)
{
    panel->showKeyHints();
    EXPECT_EQ(panel->state(), State::shown);
    EXPECT_DOUBLE_EQ(layer().overlayAlpha(), 1.0);
    EXPECT_EQ(layer().keyHints().keys(), QList<Action>({Action::restoreHistory, Action::addClipboard}));
    fake.scheduler.advance(0.5);
    EXPECT_DOUBLE_EQ(cap(Action::restoreHistory)->alpha(), 0.5);
    EXPECT_DOUBLE_EQ(cap(Action::addClipboard)->alpha(), 0.5);
    // Beside their buttons, vertically centred on them.
    const QRect history = panel->historyButton()->geometry();
    const QRect paste = panel->pasteButton()->geometry();
    EXPECT_EQ(cap(Action::restoreHistory)->capOrigin(), QPoint(history.x() - cap(Action::restoreHistory)->capSize().width() - 3, history.y() + 3));
    EXPECT_EQ(cap(Action::addClipboard)->capOrigin(), QPoint(paste.x() + 20 + 3, paste.y() + 3));

    // A cleared binding has no cap; long titles stay 3 points inside.
    HotkeyConfig config = fake.hotkeys.config();
    config.bindings.insert("addClipboard", std::nullopt);
    config.bindings.insert("restoreHistory", KeyBinding{4, 0x1E0000, "H"});
    fake.hotkeys.setConfig(config);
    panel->showKeyHints();
    EXPECT_FALSE(cap(Action::addClipboard));
    EXPECT_EQ(cap(Action::restoreHistory)->title(), "Ctrl+Alt+Shift+Super+H");
    EXPECT_EQ(cap(Action::restoreHistory)->capOrigin().x(), 3);
}

TEST_F(KeyHintLayerTest, CapsSitOnTheirCardsAndComeInStaggered)
{
    addTexts({"3", "2", "1"});
    panel->holdClipboardItem(QString("held"));
    panel->showKeyHints();
    EXPECT_EQ(layer().keyHints().keys(), QList<Action>({Action::copySlot1, Action::copySlot2, Action::copySlot3,
                                                         Action::restoreHistory, Action::addClipboard,
                                                         Action::deleteItem}));
    // Top-right corner of each card (bodies 12..120, from 8, 82 apart); delete top-left of the first.
    for (int i = 0; i < 3; ++i) {
        KeyCapView *copy = cap(HotkeyActions::allCases().at(i));
        EXPECT_EQ(copy->capOrigin(), QPoint(120 - copy->capSize().width() - 4, 8 + 82 * i + 5)) << i;
    }
    EXPECT_EQ(cap(Action::deleteItem)->capOrigin(), QPoint(12 + 4, 8 + 5));

    // The delete cap keeps its place in the rhythm: it starts at 0.21 s.
    fake.scheduler.advance(0.2);
    EXPECT_DOUBLE_EQ(cap(Action::deleteItem)->alpha(), 0);
    EXPECT_GT(cap(Action::copySlot1)->alpha(), 0.9);
    fake.scheduler.advance(0.2);
    EXPECT_DOUBLE_EQ(cap(Action::deleteItem)->alpha(), 1);
    EXPECT_DOUBLE_EQ(cap(Action::addClipboard)->alpha(), 1); // something to add
}

TEST_F(KeyHintLayerTest, ACopyKeyPressesItsCapFadesTheOthersAndHidesLater)
{
    addTexts({"3", "2", "1"});
    panel->showKeyHints();
    fake.scheduler.advance(0.5);
    panel->performHotkey(Action::copySlot2);
    EXPECT_EQ(fake.pasteboard.currentString, "2");
    EXPECT_TRUE(cap(Action::copySlot2)->isPressed());
    fake.scheduler.advance(0.2);
    EXPECT_DOUBLE_EQ(cap(Action::copySlot1)->alpha(), 0);
    EXPECT_DOUBLE_EQ(cap(Action::copySlot2)->alpha(), 1);
    EXPECT_TRUE(layer().isShowingKeyHints());
    fake.scheduler.advance(0.3);
    EXPECT_FALSE(layer().isShowingKeyHints());
    EXPECT_EQ(panel->state(), State::hidden); // the pointer is away
    fake.scheduler.advance(0.3);
    EXPECT_TRUE(layer().keyHints().isEmpty());

    // A slot with no card: no copy, but the same fade and hide.
    panel->showKeyHints();
    const qint64 writes = fake.pasteboard.count;
    panel->performHotkey(Action::copySlot4);
    fake.scheduler.advance(0.5);
    EXPECT_EQ(fake.pasteboard.count, writes);
    EXPECT_FALSE(layer().isShowingKeyHints());

    // Arming again within the overlay's fade keeps the new caps, and
    // arming before a pending hide cancels it.
    fake.scheduler.advance(0.1);
    panel->showKeyHints();
    fake.scheduler.advance(0.5);
    ASSERT_TRUE(cap(Action::copySlot1));
    EXPECT_DOUBLE_EQ(layer().overlayAlpha(), 1.0);
    panel->performHotkey(Action::copySlot1);
    fake.scheduler.advance(0.3);
    panel->showKeyHints();
    fake.scheduler.advance(1.0);
    EXPECT_TRUE(layer().isShowingKeyHints());
}

TEST_F(KeyHintLayerTest, DeleteModeTurnsTheNextCopyKeyIntoADelete)
{
    addTexts({"3", "2", "1"});
    panel->showKeyHints();
    fake.scheduler.advance(0.5);
    panel->performHotkey(Action::deleteItem);
    panel->performHotkey(Action::deleteItem);
    fake.scheduler.advance(0.5);
    EXPECT_FALSE(layer().isDeleteMode());
    EXPECT_FALSE(cap(Action::copySlot1)->isDestructive());
    EXPECT_DOUBLE_EQ(cap(Action::restoreHistory)->alpha(), 1); // no longer dimmed for a missing item

    panel->performHotkey(Action::deleteItem);
    fake.scheduler.advance(0.2);
    EXPECT_TRUE(cap(Action::copySlot3)->isDestructive());
    EXPECT_EQ(cap(Action::copySlot3)->currentLook().face.rgb(), KeyCapView::destructiveFaceColor.rgb());
    EXPECT_DOUBLE_EQ(cap(Action::addClipboard)->alpha(), 0.25);
    EXPECT_TRUE(layer().isShowingKeyHints()); // no hide after the delete key
    panel->performHotkey(Action::copySlot2);
    EXPECT_EQ(texts(), QStringList({"1", "3"}));
    EXPECT_NE(fake.pasteboard.currentString, "2");

    // The next arming starts in copy mode with fresh caps.
    fake.scheduler.advance(1.0);
    panel->showKeyHints();
    EXPECT_FALSE(cap(Action::copySlot1)->isDestructive());
    panel->performHotkey(Action::copySlot2);
    EXPECT_EQ(fake.pasteboard.currentString, "3");
}

TEST(KeyHintWiringTest, TheLeaderArmsTheHintsAndQuittingTakesThemDown)
{
    TestServices fake;
    fake.globalInput.taken.insert({19, 0}); // another program holds "2"
    fake.defaults.values["zorv.shelf.items"] =
        QVariantList{QVariantMap{{"type", "text"}, {"text", "two"}}, QVariantMap{{"type", "text"}, {"text", "one"}}};
    QTemporaryDir screenshots;
    AppDelegate delegate(fake.services());
    delegate.screenshotDirectory = screenshots.path();
    delegate.applicationDidFinishLaunching();
    KeyHintLayer &layer = *delegate.panelController()->keyHints();
    const auto doubleTap = [&] { fake.doubleTapLeader(); };

    doubleTap();
    ASSERT_TRUE(layer.isShowingKeyHints());
    fake.globalInput.pressKey(19); // not grabbed: nothing happens
    fake.globalInput.pressKey(18);
    EXPECT_EQ(fake.pasteboard.currentString, "one");
    fake.scheduler.advance(0.5);
    EXPECT_FALSE(layer.isShowingKeyHints());

    doubleTap();
    fake.globalInput.pressKey(53); // Escape
    EXPECT_FALSE(layer.isShowingKeyHints());

    doubleTap();
    ASSERT_TRUE(layer.isShowingKeyHints());
    delegate.applicationWillTerminate();
    EXPECT_FALSE(layer.isShowingKeyHints());
    EXPECT_TRUE(fake.globalInput.registrations.isEmpty());
}

} // namespace
