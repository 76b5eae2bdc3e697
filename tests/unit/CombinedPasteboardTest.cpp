#include "platform/CombinedPasteboard.h"

#include "FakePasteboard.h"

#include <gtest/gtest.h>

namespace {

// An X11 clipboard and a Wayland one, with XWayland's bridge between them
// played by the test: who holds the X11 CLIPBOARD is whatever it says.
struct CombinedPasteboardTest : ::testing::Test
{
    CombinedPasteboardTest()
    {
        x11.reportsChanges = wayland.reportsChanges = true;
        combined = std::make_unique<CombinedPasteboard>(
            x11, wayland, [this] { return holder; }, [this] { return x11WindowFocused; });
        combined->setChangeHandler([this] { ++told; });
    }

    // A copy on one side by a program (an X11 one has its window), or by
    // the bridge, which holds X11 with a window of the window manager's.
    void x11Copy(const QString &text, quint32 window, bool bridge = false)
    {
        holder = CombinedPasteboard::X11Holder{window, false, bridge};
        x11.writeString(text);
    }
    void waylandCopy(const QString &text) { wayland.writeString(text); }

    FakePasteboard x11;
    FakePasteboard wayland;
    std::optional<CombinedPasteboard::X11Holder> holder = CombinedPasteboard::X11Holder{};
    std::unique_ptr<CombinedPasteboard> combined;
    bool x11WindowFocused = false;
    int told = 0;
};

QString textRead(Pasteboard &pasteboard)
{
    QObject context;
    std::optional<QString> text;
    pasteboard.readContent(&context, [&text](const PasteboardContent &content) { text = content.text; });
    return text.value_or(QString());
}

} // namespace

TEST_F(CombinedPasteboardTest, OneCopyCountsOnceWhicheverWayTheBridgeCarriesIt)
{
    const qint64 start = combined->changeCount();
    waylandCopy("from wayland");
    x11Copy("from wayland", 0x200001, true);
    EXPECT_EQ(combined->changeCount(), start + 1);
    EXPECT_EQ(textRead(*combined), "from wayland");

    x11WindowFocused = true; // the bridge carries X11 copies only then
    x11Copy("from x11", 0x400001);
    waylandCopy("from x11"); // the bridge
    EXPECT_EQ(combined->changeCount(), start + 2);
    EXPECT_EQ(told, 2);
    EXPECT_EQ(textRead(*combined), "from x11");

    // The bridge carried that copy already: the next Wayland copy counts,
    // though the X11 program still holds its clipboard.
    waylandCopy("again from wayland");
    EXPECT_EQ(combined->changeCount(), start + 3);
    EXPECT_EQ(textRead(*combined), "again from wayland");

    // Under a Wayland window an X11 copy stays on X11: the Wayland copy
    // after it, with the X11 program still holding X11, is a change of its own.
    x11WindowFocused = false;
    x11Copy("x11 under a wayland window", 0x400002);
    waylandCopy("wayland after it");
    EXPECT_EQ(combined->changeCount(), start + 5);
    EXPECT_EQ(textRead(*combined), "wayland after it");
}

TEST_F(CombinedPasteboardTest, OwnCopiesCountOnlyAsTheirWrite)
{
    const qint64 start = combined->changeCount();
    EXPECT_TRUE(combined->writeString("card text"));
    EXPECT_EQ(x11.currentString, "card text");
    EXPECT_EQ(wayland.currentString, "card text");
    EXPECT_EQ(combined->changeCount(), start + 1);
    EXPECT_EQ(textRead(*combined), "card text");

    // The bridge carries our X11 copy to Wayland (marked as ours), and may
    // take X11 to pass it back.
    wayland.holdsOwnCopy = true;
    wayland.clear();
    holder = CombinedPasteboard::X11Holder{0x600001, true, false};
    x11.clear();
    x11Copy("card text", 0x200001, true);
    EXPECT_EQ(combined->changeCount(), start + 1);

    // Adding a type is no new content, on either side.
    EXPECT_TRUE(combined->addImageType("png bytes", Pasteboard::pngType));
    EXPECT_EQ(wayland.images.value(Pasteboard::pngType), "png bytes");
    EXPECT_EQ(combined->changeCount(), start + 1);

    // With an X11 window focused the bridge carries the copy: Wayland is
    // left to it.
    x11WindowFocused = true;
    const qint64 waylandChanges = wayland.count;
    EXPECT_TRUE(combined->writeString("second card"));
    EXPECT_EQ(x11.currentString, "second card");
    EXPECT_EQ(wayland.count, waylandChanges);
    EXPECT_EQ(combined->changeCount(), start + 2);
}

TEST_F(CombinedPasteboardTest, WithoutWaylandTheX11ClipboardServesAlone)
{
    wayland.available = false;
    const qint64 start = combined->changeCount();
    // Without data-control, the bridge is the only way Wayland copies come.
    x11Copy("via the bridge", 0x200001, true);
    EXPECT_EQ(combined->changeCount(), start + 1);
    EXPECT_EQ(textRead(*combined), "via the bridge");
    EXPECT_TRUE(combined->writeString("card"));
    EXPECT_EQ(x11.currentString, "card");
    EXPECT_FALSE(wayland.currentString.has_value());
    // A broken connection that still reports is not listened to.
    wayland.writeString("stale");
    EXPECT_EQ(combined->changeCount(), start + 2);
}
