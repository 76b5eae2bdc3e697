#include "TestServices.h"
#include "app/AppDelegate.h"
#include "panel/PanelController.h"

#include <gtest/gtest.h>

#include <QMenu>
#include <QSystemTrayIcon>
#include <QTemporaryDir>

namespace {

TEST(AppDelegateTest, LaunchRestoresTheShelfAndInstallsTheStatusMenu)
{
    TestServices fake;
    fake.defaults.values["zorv.shelf.items"] = QVariantList{QVariantMap{{"type", "text"}, {"text", "kept"}}};
    QTemporaryDir screenshots;
    AppDelegate delegate(fake.services());
    delegate.screenshotDirectory = screenshots.path();
    delegate.applicationDidFinishLaunching();

    ASSERT_TRUE(delegate.panelController());
    ASSERT_EQ(delegate.panelController()->items().size(), 1);
    EXPECT_EQ(*delegate.panelController()->items().first().text(), "kept");

    ASSERT_TRUE(delegate.statusItem());
    EXPECT_EQ(delegate.statusItem()->toolTip(), "Zorv");
    EXPECT_FALSE(delegate.statusItem()->icon().isNull());
    const QList<QAction *> entries = delegate.statusMenu()->actions();
    ASSERT_EQ(entries.size(), 5);
    EXPECT_EQ(entries[0]->text(), "Zorv");
    EXPECT_FALSE(entries[0]->isEnabled());
    EXPECT_TRUE(entries[1]->isSeparator());
    EXPECT_EQ(entries[2]->text(), QString::fromUtf8("Edit Hotkeys\u2026"));
    EXPECT_EQ(entries[2]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    EXPECT_TRUE(entries[3]->isSeparator());
    EXPECT_EQ(entries[4]->text(), "Quit Zorv");
    EXPECT_EQ(entries[4]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_EQ(delegate.statusItem()->contextMenu(), delegate.statusMenu());
}

TEST(AppDelegateTest, ClipboardChangesFillTheClipboardSlotAndPasteTakesTheClipboard)
{
    TestServices fake;
    QTemporaryDir screenshots;
    fake.pasteboard.writeString("on the clipboard at launch");
    AppDelegate delegate(fake.services());
    delegate.screenshotDirectory = screenshots.path();
    delegate.applicationDidFinishLaunching();
    PanelController *panel = delegate.panelController();

    // What was there at launch is not offered, but the paste button takes it.
    fake.scheduler.advance(1.0);
    EXPECT_FALSE(panel->clipboardItem());
    panel->pasteButtonTapped();
    ASSERT_EQ(panel->items().size(), 1);
    EXPECT_EQ(*panel->items().first().text(), "on the clipboard at launch");
    fake.scheduler.advance(1.0);
    EXPECT_FALSE(panel->clipboardItem()); // taking it marked it as seen

    fake.pasteboard.writeString("copied later");
    fake.scheduler.advance(0.5);
    ASSERT_TRUE(panel->clipboardItem());
    EXPECT_EQ(*panel->clipboardItem()->text(), "copied later");
    EXPECT_EQ(panel->items().size(), 1); // held, not added

    delegate.applicationWillTerminate();
    fake.pasteboard.writeString("after quitting");
    fake.scheduler.advance(1.0);
    EXPECT_EQ(*panel->clipboardItem()->text(), "copied later");
}

} // namespace
