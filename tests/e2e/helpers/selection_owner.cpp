// selection_owner SELECTION WINDOW [TIME]: exits 0 when the owner of the X
// selection (CLIPBOARD, PRIMARY, ...) is a window of the program that made
// WINDOW (decimal or 0x hex), 1 otherwise; prints the owner's id. With
// TIME, it first asks the owner for the selection's text with that time,
// as a requester with a clock of its own would, and fails unless the answer
// comes within 3 s and carries the same time.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>

namespace {

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : XCB_NONE;
    std::free(reply);
    return result;
}

bool answeredWithTime(xcb_connection_t *connection, xcb_atom_t selection, xcb_timestamp_t time)
{
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window,
                      xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_convert_selection(connection, window, selection, atom(connection, "UTF8_STRING"),
                          atom(connection, "SELECTION_OWNER_TEST"), time);
    xcb_flush(connection);
    pollfd wait{xcb_get_file_descriptor(connection), POLLIN, 0};
    while (poll(&wait, 1, 3000) > 0) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            const bool answer = (event->response_type & 0x7f) == XCB_SELECTION_NOTIFY;
            const xcb_timestamp_t echoed = reinterpret_cast<xcb_selection_notify_event_t *>(event)->time;
            std::free(event);
            if (answer) {
                std::printf("answered with time 0x%08x\n", echoed);
                return echoed == time;
            }
        }
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: selection_owner SELECTION WINDOW [TIME]\n");
        return 2;
    }
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        return 2;
    const xcb_atom_t selection = atom(connection, argv[1]);
    if (argc == 4 && !answeredWithTime(connection, selection, xcb_timestamp_t(std::strtoul(argv[3], nullptr, 0))))
        return 1;
    xcb_get_selection_owner_reply_t *owner =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr);
    const xcb_window_t ownerWindow = owner ? owner->owner : XCB_NONE;
    std::free(owner);
    std::printf("0x%08x\n", ownerWindow);
    // Every client's ids share the bits outside the server's id mask.
    const uint32_t clientBits = ~xcb_get_setup(connection)->resource_id_mask;
    const auto window = uint32_t(std::strtoul(argv[2], nullptr, 0));
    xcb_disconnect(connection);
    return ownerWindow != XCB_NONE && (ownerWindow & clientBits) == (window & clientBits) ? 0 : 1;
}
