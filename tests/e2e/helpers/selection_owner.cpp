// selection_owner SELECTION WINDOW: exits 0 when the owner of the X
// selection (CLIPBOARD, PRIMARY, ...) is a window of the program that made
// WINDOW (decimal or 0x hex), 1 otherwise; prints the owner's id.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: selection_owner SELECTION WINDOW\n");
        return 2;
    }
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        return 2;
    xcb_intern_atom_reply_t *atom =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, uint16_t(std::strlen(argv[1])), argv[1]),
                              nullptr);
    if (!atom || atom->atom == XCB_NONE)
        return 1;
    xcb_get_selection_owner_reply_t *owner =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
    const xcb_window_t ownerWindow = owner ? owner->owner : XCB_NONE;
    std::printf("0x%08x\n", ownerWindow);
    // Every client's ids share the bits outside the server's id mask.
    const uint32_t clientBits = ~xcb_get_setup(connection)->resource_id_mask;
    const auto window = uint32_t(std::strtoul(argv[2], nullptr, 0));
    const bool same = ownerWindow != XCB_NONE && (ownerWindow & clientBits) == (window & clientBits);
    std::free(owner);
    std::free(atom);
    xcb_disconnect(connection);
    return same ? 0 : 1;
}
