#pragma once

#include "platform/xwayland/InvisibleWindows.h"

#include <QList>
#include <QRect>

struct xcb_connection_t;

// An invisible X11 window spread beneath Zorv's own windows while the
// pointer is over them. Some compositors (mutter) tell XWayland nothing
// when the pointer goes from an X11 window onto a native Wayland one, so
// the X pointer would stay frozen over the panel for good. With this window
// around, wherever the pointer goes next, even in one leap, it lands on an
// X11 surface first, and the X server reports it there; the window is then
// withdrawn at once, so it keeps no click from the window below for longer
// than the moment it takes to notice.
// It is made withdrawn, off every screen, and only moved afterwards: some
// compositors stack these windows by the order they were mapped, and it must
// stay below the edge sentinel and the panel.
class PointerCatcher final
{
public:
    // Uses the connection, which must outlive it.
    explicit PointerCatcher(xcb_connection_t *connection);
    ~PointerCatcher();
    PointerCatcher(const PointerCatcher &) = delete;
    PointerCatcher &operator=(const PointerCatcher &) = delete;

    // Covers the screens (X pixels) but for their leftmost column.
    void spread(const QList<QRect> &screens);
    void withdraw();
    bool isSpread() const { return m_spread; }
    quint32 window() const { return m_window; }

    // The screens' bounding box less its leftmost column: the edge
    // sentinels stand there, and a window exactly the size of a screen
    // would count as a fullscreen one on some desktops (mutter).
    static QRect spreadFrame(const QList<QRect> &screens);
    static constexpr QRect withdrawnFrame{-2, -2, 1, 1};

private:
    void place(const QRect &frame);

    xcb_connection_t *m_connection;
    InvisibleWindows m_maker;
    quint32 m_window = 0;
    QRect m_frame; // while spread
    bool m_spread = false;
};
