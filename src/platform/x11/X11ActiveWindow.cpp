#include "platform/x11/X11ActiveWindow.h"

#include "platform/x11/XcbReply.h"

#include <cstring>

std::optional<xcb_window_t> X11ActiveWindow::get(xcb_connection_t *connection)
{
    if (!connection || xcb_connection_has_error(connection))
        return std::nullopt;
    static const char name[] = "_NET_ACTIVE_WINDOW";
    const auto atom = xcbReply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, uint16_t(std::strlen(name)), name), nullptr));
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return std::nullopt;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const auto value = xcbReply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 1), nullptr));
    if (!value || xcb_get_property_value_length(value.get()) < 4)
        return std::nullopt;
    return *static_cast<const xcb_window_t *>(xcb_get_property_value(value.get()));
}
