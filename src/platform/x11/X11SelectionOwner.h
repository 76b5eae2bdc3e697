#pragma once

#include <xcb/xcb.h>

#include <optional>

// Who holds an X selection, asked of the X server. Qt's own answer
// (QClipboard::ownsClipboard) says only what Qt asked for: it stays true
// when the server refused the grab, for example over a bad timestamp, and
// nothing of ours can then be pasted.
class X11SelectionOwner
{
public:
    // Whether a window made by the client of `connection` owns the selection
    // named `selection` now; nothing when the server did not answer.
    static std::optional<bool> isOwnedBy(xcb_connection_t *connection, const char *selection);

    struct Owner
    {
        xcb_window_t window = XCB_WINDOW_NONE;
        bool isThisClient = false;
        // A window of the window manager's client. Under XWayland that is
        // the compositor, which holds a selection to pass on a Wayland one.
        bool isWindowManager = false;
    };
    // Who owns the selection named `selection` now; nothing when the server
    // did not answer.
    static std::optional<Owner> owner(xcb_connection_t *connection, const char *selection);
};
