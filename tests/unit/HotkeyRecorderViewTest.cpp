#include "TestServices.h"
#include "views/HotkeyRecorderView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

using Mode = HotkeyRecorderView::Mode;

class HotkeyRecorderViewTest : public ::testing::Test
{
protected:
    std::unique_ptr<HotkeyRecorderView> recorder(Mode mode)
    {
        auto view = std::make_unique<HotkeyRecorderView>(mode, fake.hotkeys, fake.globalInput, fake.scheduler);
        view->onRecordingChanged = [this](bool recording) { reports.append(recording); };
        return view;
    }

    void click(QWidget *view)
    {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(75, 15), QPointF(75, 15), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &press);
    }

    // A key as X11 reports it: the Qt key, the held modifiers and the X keycode.
    void key(QWidget *view, QEvent::Type type, int qtKey, Qt::KeyboardModifiers modifiers, quint32 xKeycode = 0)
    {
        QKeyEvent event(type, qtKey, modifiers, xKeycode, 0, 0);
        QApplication::sendEvent(view, &event);
    }
    void press(QWidget *view, quint32 xKeycode, Qt::KeyboardModifiers modifiers = {})
    {
        key(view, QEvent::KeyPress, Qt::Key_A, modifiers, xKeycode);
    }

    TestServices fake;
    QList<bool> reports;
};

TEST_F(HotkeyRecorderViewTest, AnActionRecordsTheNextKeyOrUnbindsOrCancels)
{
    auto view = recorder(Mode::forAction(HotkeyAction::copySlot2));
    EXPECT_EQ(view->capTitles(), QStringList({"2"}));
    click(view.get());
    EXPECT_EQ(view->placeholderText(), QString::fromUtf8("Type a key\u2026"));
    press(view.get(), 200); // outside the key table: refused, still recording
    EXPECT_TRUE(view->isRecording());
    press(view.get(), 16, Qt::ShiftModifier); // Shift+7
    EXPECT_EQ(fake.hotkeys.config().binding(HotkeyAction::copySlot2), (KeyBinding{26, 0x20000, "7"}));
    EXPECT_EQ(view->capTitles(), QStringList({"Shift", "7"}));
    EXPECT_EQ(reports, QList<bool>({true, false}));

    click(view.get());
    press(view.get(), 9, Qt::ControlModifier); // Escape with Ctrl
    EXPECT_FALSE(view->isRecording());
    EXPECT_EQ(fake.hotkeys.config().binding(HotkeyAction::copySlot2)->label, "7");

    click(view.get());
    press(view.get(), 119, Qt::AltModifier); // forward delete with Alt is a binding
    EXPECT_EQ(view->capTitles(), QStringList({"Alt", QString::fromUtf8("\u2326")}));
    click(view.get());
    press(view.get(), 22); // Backspace alone unbinds
    EXPECT_FALSE(fake.hotkeys.config().binding(HotkeyAction::copySlot2));
    EXPECT_EQ(view->placeholderText(), "Click to set");
}

TEST_F(HotkeyRecorderViewTest, TheLeaderIsTheUnionOfModifiersStoredAtTheLastRelease)
{
    auto view = recorder(Mode::leader());
    EXPECT_EQ(view->capTitles(), QStringList({"Alt", "Super"}));
    click(view.get());
    EXPECT_EQ(view->placeholderText(), "Hold modifiers, then release");
    press(view.get(), 38); // a letter: refused
    EXPECT_TRUE(view->isRecording());

    key(view.get(), QEvent::KeyPress, Qt::Key_Control, {});
    key(view.get(), QEvent::KeyPress, Qt::Key_Alt, Qt::ControlModifier);
    EXPECT_EQ(view->placeholderText(), "");
    key(view.get(), QEvent::KeyRelease, Qt::Key_Control, Qt::ControlModifier | Qt::AltModifier);
    key(view.get(), QEvent::KeyPress, Qt::Key_Shift, Qt::AltModifier);
    EXPECT_EQ(view->capTitles(), QStringList({"Ctrl", "Alt", "Shift"}));
    key(view.get(), QEvent::KeyRelease, Qt::Key_Shift, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_TRUE(view->isRecording()); // Alt is still down
    key(view.get(), QEvent::KeyRelease, Qt::Key_Alt, Qt::AltModifier);
    EXPECT_FALSE(view->isRecording());
    EXPECT_EQ(fake.hotkeys.config().leaderModifiersRaw, 0x40000u | 0x80000u | 0x20000u);
    EXPECT_EQ(view->capTitles(), QStringList({"Ctrl", "Alt", "Shift"}));
}

} // namespace
