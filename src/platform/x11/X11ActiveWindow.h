#pragma once

#include <xcb/xcb.h>

#include <optional>

// The window the window manager names as active (_NET_ACTIVE_WINDOW). Under
// XWayland it is none while a native Wayland window has the focus.
class X11ActiveWindow
{
public:
    // The active window, XCB_WINDOW_NONE when there is none; nothing when
    // the server did not answer or no window manager says.
    static std::optional<xcb_window_t> get(xcb_connection_t *connection);
};
