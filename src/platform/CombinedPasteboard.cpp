#include "platform/CombinedPasteboard.h"

#include <QPointer>

CombinedPasteboard::CombinedPasteboard(Pasteboard &x11, Pasteboard &wayland, X11HolderProbe x11Holder,
                                       std::function<bool()> x11WindowFocused, QObject *parent)
    : QObject(parent)
    , m_x11(x11)
    , m_wayland(wayland)
    , m_x11Holder(std::move(x11Holder))
    , m_x11WindowFocused(std::move(x11WindowFocused))
{
    const QPointer<CombinedPasteboard> self(this);
    m_x11.setChangeHandler([self] {
        if (self)
            self->x11Changed();
    });
    m_wayland.setChangeHandler([self] {
        if (self)
            self->waylandChanged();
    });
}

bool CombinedPasteboard::setChangeHandler(std::function<void()> handler)
{
    m_changeHandler = std::move(handler);
    return true;
}

void CombinedPasteboard::x11Changed()
{
    if (m_writing)
        return; // counted as the write
    if (!waylandLive())
        return count(Side::x11);
    const std::optional<X11Holder> holder = m_x11Holder();
    if (holder && (holder->isZorv || holder->isBridge))
        return; // our own copy, or the bridge showing X11 what Wayland already told
    // The bridge carries an X11 program's copy to Wayland only while an X11
    // window has the keyboard focus (KWin and sway alike). A copy made under
    // a Wayland window stays on X11, and the next Wayland change, with that
    // program still holding X11, is another program's copy: awaiting the
    // bridge then would swallow it.
    m_x11CopyAwaitingBridge = holder && m_x11WindowFocused() ? holder->window : 0;
    count(Side::x11);
}

void CombinedPasteboard::waylandChanged()
{
    if (m_writing || !waylandLive() || m_wayland.holdsContents())
        return;
    // The bridge passes an X11 program's copy to Wayland once; the X11 side
    // has counted it already. The X11 holder says whose copy it is.
    if (m_x11CopyAwaitingBridge != 0) {
        const std::optional<X11Holder> holder = m_x11Holder();
        if (holder && holder->window == std::exchange(m_x11CopyAwaitingBridge, 0))
            return;
    }
    count(Side::wayland);
}

void CombinedPasteboard::count(Side side)
{
    ++m_changeCount;
    m_lastChanged = side;
    if (m_changeHandler)
        m_changeHandler();
}

void CombinedPasteboard::readContent(QObject *context, ReadCallback done)
{
    if (m_lastChanged == Side::wayland && waylandLive())
        return m_wayland.readContent(context, std::move(done));
    m_x11.readContent(context, std::move(done));
}

template <typename Write> bool CombinedPasteboard::writeOwn(Write write)
{
    m_writing = true;
    const bool onX11 = write(m_x11);
    // While an X11 window has the focus, the bridge passes the X11 copy to
    // Wayland itself. A selection of ours beside it raced the bridge under
    // sway: each side took the other's copy, and neither could be pasted.
    m_wroteWayland = waylandLive() && !m_x11WindowFocused() && write(m_wayland);
    m_writing = false;
    m_x11CopyAwaitingBridge = 0;
    count(Side::x11); // our own data answers our reads without asking anyone
    return onX11 || m_wroteWayland;
}

bool CombinedPasteboard::writeString(const QString &text)
{
    return writeOwn([&text](Pasteboard &side) { return side.writeString(text); });
}

bool CombinedPasteboard::writeImage(const QByteArray &bytes, const QString &mimeType)
{
    return writeOwn([&](Pasteboard &side) { return side.writeImage(bytes, mimeType); });
}

bool CombinedPasteboard::addImageType(const QByteArray &bytes, const QString &mimeType)
{
    m_writing = true;
    const bool onX11 = m_x11.addImageType(bytes, mimeType);
    const bool onWayland = m_wroteWayland && waylandLive() && m_wayland.addImageType(bytes, mimeType);
    m_writing = false;
    return onX11 || onWayland;
}

bool CombinedPasteboard::holdsContents() const
{
    return m_x11.holdsContents() || (waylandLive() && m_wayland.holdsContents());
}
