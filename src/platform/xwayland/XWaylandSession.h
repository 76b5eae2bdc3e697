#pragma once

struct xcb_connection_t;

// Whether the X server is XWayland, the X11 server of a Wayland desktop.
// There the pointer position freezes while the pointer is over a native
// Wayland window, and the compositor restacks the X11 windows it focuses.
class XWaylandSession
{
public:
    static bool isActive(xcb_connection_t *connection);
};
