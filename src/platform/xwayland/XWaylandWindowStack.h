#pragma once

#include <QList>
#include <QSet>

struct xcb_connection_t;

// Keeps Zorv's floating windows at the top of the X stacking order. Under
// XWayland, the compositor restacks an X11 window above them when it
// focuses it; XWayland then hands clicks on the panel to that window, even
// though the compositor still draws the panel on top (measured).
class XWaylandWindowStack final
{
public:
    // Uses the connection, which must outlive it.
    explicit XWaylandWindowStack(xcb_connection_t *connection);

    // Asks for the structure events of the root's children on the connection.
    void watchRoot();
    // Reads one event of the connection; notes whether another client's
    // window changed place in the stack or appeared.
    void handleEvent(const void *event); // an xcb_generic_event_t
    // Raises `bottomToTop`, each above the one before, if the stack has
    // changed since the last time, or always with `force`.
    void raise(const QList<quint32> &bottomToTop, bool force = false);

    bool isStale() const { return m_stale; }

private:
    xcb_connection_t *m_connection;
    quint32 m_root = 0;
    QSet<quint32> m_own; // as last raised: their own restacking is no change
    bool m_stale = true;
};
