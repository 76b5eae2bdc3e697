#include "platform/CombinedPasteboard.h"

#include <QPointer>

CombinedPasteboard::CombinedPasteboard(Pasteboard &x11, Pasteboard &wayland, X11HolderProbe x11Holder,
                                       QObject *parent)
    : QObject(parent)
    , m_x11(x11)
    , m_wayland(wayland)
    , m_x11Holder(std::move(x11Holder))
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
    m_x11CopyAwaitingBridge = holder ? holder->window : 0;
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
    // Only X11 is written. Measured under sway 1.7: once Zorv also set the
    // Wayland selection, XWayland's bridge took the X11 CLIPBOARD and never
    // answered X11 programs' pastes; the bridge carries Zorv's X11 copy to
    // Wayland programs instead.
    m_writing = true;
    const bool onX11 = write(m_x11);
    m_writing = false;
    m_x11CopyAwaitingBridge = 0;
    // Our own data answers our reads without asking any other program.
    count(Side::x11);
    return onX11;
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
    const bool added = m_x11.addImageType(bytes, mimeType);
    m_writing = false;
    return added;
}

bool CombinedPasteboard::holdsContents() const
{
    return m_x11.holdsContents() || (waylandLive() && m_wayland.holdsContents());
}
