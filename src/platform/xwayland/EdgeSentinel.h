#pragma once

#include "platform/xwayland/InvisibleWindows.h"

#include <QList>
#include <QRect>

struct xcb_connection_t;

// One-pixel-wide X11 windows along the left edges of the screens. Under
// XWayland nothing tells an X11 client where the pointer is while it is
// over a native Wayland window; these windows are surfaces of their own,
// so the compositor hands the pointer to XWayland when it touches the edge,
// and their enter and motion events say so. They never take the keyboard.
// They stand only where the pointer can rest at an edge: not where another
// screen adjoins a left side, since there the pointer just crosses to it,
// and a window in its way would take the clicks and crossings there.
class EdgeSentinel final
{
public:
    // Uses the connection, which must outlive it.
    explicit EdgeSentinel(xcb_connection_t *connection);
    ~EdgeSentinel();
    EdgeSentinel(const EdgeSentinel &) = delete;
    EdgeSentinel &operator=(const EdgeSentinel &) = delete;

    // One window per open stretch of a left edge (see edgeFrames()); the
    // screens are in X (device) pixels. Kept windows are moved.
    void setScreens(const QList<QRect> &screens);
    // The frames of those windows: every stretch of a screen's left side
    // that no other screen adjoins, screen by screen, top to bottom.
    static QList<QRect> edgeFrames(const QList<QRect> &screens);
    bool contains(quint32 window) const { return m_windows.contains(window); }
    const QList<quint32> &windows() const { return m_windows; }

    static constexpr int width = 1;

private:
    xcb_connection_t *m_connection;
    InvisibleWindows m_maker;
    QList<quint32> m_windows;
};
