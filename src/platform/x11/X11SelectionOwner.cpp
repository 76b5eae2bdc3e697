#include "platform/x11/X11SelectionOwner.h"

#include <cstdlib>
#include <cstring>
#include <memory>

std::optional<bool> X11SelectionOwner::isOwnedBy(xcb_connection_t *connection, const char *selection)
{
    if (!connection || xcb_connection_has_error(connection))
        return std::nullopt;
    const xcb_intern_atom_cookie_t atomCookie =
        xcb_intern_atom(connection, 0, uint16_t(std::strlen(selection)), selection);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(connection, atomCookie, nullptr), &std::free);
    if (!atom)
        return std::nullopt;
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr),
        &std::free);
    if (!owner)
        return std::nullopt;
    if (owner->owner == XCB_NONE)
        return false;
    // Every resource a client creates carries the client's id base.
    const xcb_setup_t *setup = xcb_get_setup(connection);
    return (owner->owner & ~setup->resource_id_mask) == setup->resource_id_base;
}
