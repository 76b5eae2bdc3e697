#include "TestServices.h"
#include "app/AppDelegate.h"
#include "hotkeys/HotkeyManager.h"
#include "panel/KeyHintLayer.h"
#include "panel/PanelController.h"
#include "views/HotkeySettingsWindowController.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

class HotkeySettingsWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        delegate.screenshotDirectory = screenshots.path();
        delegate.applicationDidFinishLaunching();
        delegate.openHotkeySettings();
        settings = delegate.hotkeySettings();
        QApplication::setActiveWindow(settings->window()); // focus moves only in the active window
    }

    void click(QWidget *view)
    {
        view->setFocus(Qt::MouseFocusReason); // as Qt does for a click on a click-focus widget
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(view, &press);
    }
    HotkeyRecorderView *recorder(int index) { return settings->recorders().at(index); }
    void doubleTap() { fake.doubleTapLeader(); }

    TestServices fake;
    QTemporaryDir screenshots;
    AppDelegate delegate{fake.services()};
    HotkeySettingsWindowController *settings = nullptr;
};

TEST_F(HotkeySettingsWindowTest, TheWindowShowsEveryBindingAndFollowsTheStore)
{
    QWidget *window = settings->window();
    EXPECT_EQ(window->windowTitle(), "Zorv Hotkeys");
    EXPECT_EQ(window->size(), QSize(440, 560));
    QStringList texts;
    for (const QLabel *label : window->findChildren<QLabel *>())
        texts.append(label->text());
    for (const char *expected : {"Hotkeys", "ARM", "SHELF \u2014 COPY AN ITEM TO THE CLIPBOARD", "OTHER", "Leader",
                                 "Tap twice quickly to arm", "Copy item 5", "Delete item (then 1\u20135)", "\u00d72"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(expected))) << expected;
    ASSERT_EQ(settings->recorders().size(), 9);
    EXPECT_EQ(recorder(0)->capTitles(), QStringList({"Alt", "Super"}));
    EXPECT_EQ(recorder(6)->capTitles(), QStringList({"H"}));
    EXPECT_TRUE(settings->enabledCheckbox()->isChecked());

    // A change made elsewhere reaches every recorder and the switch.
    HotkeyStore &store = *delegate.hotkeyStore();
    HotkeyConfig config = store.config();
    config.enabled = false;
    config.leaderModifiersRaw = ModifierBits::control;
    config.bindings.insert("copySlot3", KeyBinding{12, 0, "Q"});
    store.setConfig(config);
    EXPECT_FALSE(settings->enabledCheckbox()->isChecked());
    EXPECT_EQ(recorder(0)->capTitles(), QStringList({"Ctrl"}));
    EXPECT_EQ(recorder(3)->capTitles(), QStringList({"Q"}));

    // Opening it again shows the same window where it was.
    window->move(window->pos() + QPoint(30, 0));
    const QPoint moved = window->pos();
    delegate.openHotkeySettings();
    EXPECT_EQ(delegate.hotkeySettings(), settings);
    EXPECT_EQ(window->pos(), moved);
}

TEST_F(HotkeySettingsWindowTest, RecordingSuspendsTheLeaderUntilEveryWayItEnds)
{
    KeyHintLayer &hints = *delegate.panelController()->keyHints();
    doubleTap();
    ASSERT_TRUE(hints.isShowingKeyHints());
    click(recorder(1)); // recording disarms
    EXPECT_FALSE(hints.isShowingKeyHints());
    doubleTap();
    EXPECT_FALSE(hints.isShowingKeyHints());
    EXPECT_TRUE(delegate.hotkeyManager()->isSuspended());

    click(recorder(2)); // the first stops, the second records: still suspended
    EXPECT_FALSE(recorder(1)->isRecording());
    EXPECT_TRUE(recorder(2)->isRecording());
    EXPECT_TRUE(delegate.hotkeyManager()->isSuspended());

    settings->restoreDefaultsButton()->click();
    EXPECT_FALSE(recorder(2)->isRecording());
    EXPECT_FALSE(delegate.hotkeyManager()->isSuspended());

    click(recorder(0));
    settings->window()->close();
    EXPECT_FALSE(recorder(0)->isRecording());
    EXPECT_FALSE(delegate.hotkeyManager()->isSuspended());

    // Switching the hot keys off while armed disarms.
    doubleTap();
    ASSERT_TRUE(hints.isShowingKeyHints());
    settings->enabledCheckbox()->click();
    EXPECT_FALSE(delegate.hotkeyStore()->config().enabled);
    EXPECT_FALSE(hints.isShowingKeyHints());
}

} // namespace

TEST_F(HotkeySettingsWindowTest, SaysWhereTheLeaderCannotBeHeardEachTimeItOpens)
{
    QLabel *sentence = settings->leaderLimitationLabel();
    EXPECT_FALSE(sentence->isVisibleTo(settings->window())); // nothing asked: nothing said

    QString limitation = QStringLiteral("The leader works only in X11 apps here.");
    settings->leaderLimitation = [&limitation] { return limitation; };
    settings->window()->hide();
    delegate.openHotkeySettings();
    EXPECT_TRUE(sentence->isVisibleTo(settings->window()));
    EXPECT_EQ(sentence->text(), limitation);

    limitation.clear(); // the user changed the desktop's setting meanwhile
    settings->window()->close();
    delegate.openHotkeySettings();
    EXPECT_FALSE(sentence->isVisibleTo(settings->window()));
}
