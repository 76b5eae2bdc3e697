#include "platform/x11/X11SelectionOwner.h"

#include "platform/x11/XcbReply.h"

#include <cstring>

namespace {

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    auto answer = xcbReply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr));
    return answer ? answer->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The window that a conforming window manager names on the root window.
xcb_window_t windowManagerCheck(xcb_connection_t *connection)
{
    const xcb_atom_t check = atom(connection, "_NET_SUPPORTING_WM_CHECK");
    if (check == XCB_ATOM_NONE)
        return XCB_WINDOW_NONE;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    auto value = xcbReply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, root, check, XCB_ATOM_WINDOW, 0, 1), nullptr));
    if (!value || xcb_get_property_value_length(value.get()) < 4)
        return XCB_WINDOW_NONE;
    return *static_cast<const xcb_window_t *>(xcb_get_property_value(value.get()));
}

} // namespace

std::optional<X11SelectionOwner::Owner> X11SelectionOwner::owner(xcb_connection_t *connection, const char *selection)
{
    if (!connection || xcb_connection_has_error(connection))
        return std::nullopt;
    const xcb_atom_t name = atom(connection, selection);
    if (name == XCB_ATOM_NONE)
        return std::nullopt;
    auto answer = xcbReply(xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, name), nullptr));
    if (!answer)
        return std::nullopt;
    Owner owner;
    owner.window = answer->owner;
    if (owner.window == XCB_WINDOW_NONE)
        return owner;
    // Every resource a client creates carries the client's id base.
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const auto client = [setup](xcb_window_t window) { return window & ~setup->resource_id_mask; };
    owner.isThisClient = client(owner.window) == setup->resource_id_base;
    const xcb_window_t manager = windowManagerCheck(connection);
    owner.isWindowManager = manager != XCB_WINDOW_NONE && client(manager) == client(owner.window);
    return owner;
}

std::optional<bool> X11SelectionOwner::isOwnedBy(xcb_connection_t *connection, const char *selection)
{
    const std::optional<Owner> found = owner(connection, selection);
    if (!found)
        return std::nullopt;
    return found->isThisClient;
}
