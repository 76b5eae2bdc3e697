// Takes the CLIPBOARD and never answers a request, like a program that hangs.
// It takes the selection again every half second, so that readers keep trying,
// and prints "request" for every request it leaves unanswered.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>

int main()
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        return 1;
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const char *name = "CLIPBOARD";
    xcb_intern_atom_reply_t *atom =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr);
    if (!atom)
        return 1;
    std::printf("owning\n");
    std::fflush(stdout);
    for (;;) {
        xcb_set_selection_owner(connection, window, atom->atom, XCB_CURRENT_TIME);
        xcb_flush(connection);
        pollfd fd{xcb_get_file_descriptor(connection), POLLIN, 0};
        ::poll(&fd, 1, 500);
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            if ((event->response_type & ~0x80) == XCB_SELECTION_REQUEST) {
                std::printf("request\n"); // read and never answered
                std::fflush(stdout);
            }
            std::free(event);
        }
        if (xcb_connection_has_error(connection))
            return 0;
    }
}
