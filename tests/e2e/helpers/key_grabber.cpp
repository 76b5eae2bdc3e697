// Another X client that grabs one key on the root window, as a program with
// its own global shortcut would:  key_grabber X_KEYCODE
// Prints "grabbed" or "refused", then holds the grab until killed.
#include <xcb/xcb.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char *argv[])
{
    if (argc != 2)
        return 2;
    const auto keycode = static_cast<xcb_keycode_t>(std::atoi(argv[1]));
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        return 1;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const xcb_void_cookie_t cookie = xcb_grab_key_checked(connection, 1, root, 0, keycode, XCB_GRAB_MODE_ASYNC,
                                                          XCB_GRAB_MODE_ASYNC);
    xcb_generic_error_t *error = xcb_request_check(connection, cookie);
    std::printf("%s\n", error ? "refused" : "grabbed");
    std::fflush(stdout);
    std::free(error);
    pause();
    xcb_disconnect(connection);
    return 0;
}
