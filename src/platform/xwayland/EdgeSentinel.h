#pragma once

#include <QList>
#include <QRect>

struct xcb_connection_t;

// One-pixel-wide X11 windows along the left edge of every screen. Under
// XWayland nothing tells an X11 client where the pointer is while it is
// over a native Wayland window; these windows are surfaces of their own,
// so the compositor hands the pointer to XWayland when it touches the edge,
// and their enter and motion events say so. They are invisible: fully
// transparent where the server offers an alpha visual, and they draw nothing.
class EdgeSentinel final
{
public:
    // Uses the connection, which must outlive it.
    explicit EdgeSentinel(xcb_connection_t *connection);
    ~EdgeSentinel();
    EdgeSentinel(const EdgeSentinel &) = delete;
    EdgeSentinel &operator=(const EdgeSentinel &) = delete;

    // One window per screen, in X (device) pixels; kept windows are moved.
    void setScreens(const QList<QRect> &screens);
    bool contains(quint32 window) const { return m_windows.contains(window); }
    const QList<quint32> &windows() const { return m_windows; }

    static constexpr int width = 1;

private:
    quint32 createWindow(const QRect &frame);
    void chooseVisual();

    xcb_connection_t *m_connection;
    quint32 m_root = 0;
    quint32 m_visual = 0;
    quint8 m_depth = 0;
    quint32 m_colormap = 0; // only with an alpha visual
    QList<quint32> m_windows;
};
