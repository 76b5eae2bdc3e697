#pragma once

#include "platform/Pasteboard.h"

#include <QObject>

#include <functional>
#include <optional>

// One clipboard from two: the X11 CLIPBOARD that Zorv's windows live on,
// and the Wayland selection that native programs use. XWayland's bridge
// carries a copy from either side to the other, so one copy can turn up
// on both; it counts as one change, and Zorv's own copies, passed on by
// the bridge, count only as the write that made them. Writes go to X11,
// and to Wayland unless an X11 window has the focus (the bridge passes
// them on then); a read asks the side that changed last. When the Wayland side is
// not available (or stops being so), this is the X11 pasteboard as it is.
class CombinedPasteboard final : public QObject, public Pasteboard
{
    Q_OBJECT
public:
    // Who holds the X11 CLIPBOARD: `window` is 0 when nobody does.
    struct X11Holder
    {
        quint32 window = 0;
        bool isZorv = false;
        // XWayland's window manager, that is the compositor's bridge.
        bool isBridge = false;
    };
    using X11HolderProbe = std::function<std::optional<X11Holder>()>;

    // `x11WindowFocused` says whether an X11 window has the keyboard focus.
    CombinedPasteboard(Pasteboard &x11, Pasteboard &wayland, X11HolderProbe x11Holder,
                       std::function<bool()> x11WindowFocused, QObject *parent = nullptr);

    qint64 changeCount() const override { return m_changeCount; }
    bool setChangeHandler(std::function<void()> handler) override;
    void readContent(QObject *context, ReadCallback done) override;
    bool writeString(const QString &text) override;
    bool writeImage(const QByteArray &bytes, const QString &mimeType) override;
    bool addImageType(const QByteArray &bytes, const QString &mimeType) override;
    bool holdsContents() const override;

private:
    enum class Side { x11, wayland };
    void x11Changed();
    void waylandChanged();
    void count(Side side);
    bool waylandLive() const { return m_wayland.isAvailable(); }
    template <typename Write> bool writeOwn(Write write);

    Pasteboard &m_x11;
    Pasteboard &m_wayland;
    X11HolderProbe m_x11Holder;
    std::function<bool()> m_x11WindowFocused;
    qint64 m_changeCount = 0;
    std::function<void()> m_changeHandler;
    Side m_lastChanged = Side::wayland; // the Wayland selection is the seat's clipboard
    bool m_writing = false;
    bool m_wroteWayland = false; // our latest copy went to Wayland too
    // An X11 program's copy that the bridge has not yet passed to Wayland.
    quint32 m_x11CopyAwaitingBridge = 0;
};
