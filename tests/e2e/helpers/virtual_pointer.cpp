// Moves and clicks the cursor of a headless Wayland compositor, which has
// no pointer device of its own:  virtual_pointer WIDTH HEIGHT
// One virtual pointer device lives as long as the program (a device that
// comes and goes changes the seat under every client). It reads one step
// per line, "to X Y" (a point of the WIDTH × HEIGHT output), "click" (the
// left button), or "down" or "up" (that button alone), and answers "ok"
// once the compositor has handled it, or "error".
#include "virtual-pointer-client-protocol.h"

#include <wayland-client.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

namespace {

constexpr uint32_t leftButton = 0x110; // BTN_LEFT

void addGlobal(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t)
{
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        *static_cast<zwlr_virtual_pointer_manager_v1 **>(data) = static_cast<zwlr_virtual_pointer_manager_v1 *>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}

void removeGlobal(void *, wl_registry *, uint32_t) {}

const wl_registry_listener registryListener{addGlobal, removeGlobal};

uint32_t millisecondsNow()
{
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace

int main(int argc, char *argv[])
{
    const int width = argc == 3 ? std::atoi(argv[1]) : 0;
    const int height = argc == 3 ? std::atoi(argv[2]) : 0;
    if (width <= 0 || height <= 0) {
        std::fprintf(stderr, "usage: virtual_pointer WIDTH HEIGHT\n");
        return 2;
    }
    wl_display *display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "virtual_pointer: no Wayland display\n");
        return 1;
    }
    zwlr_virtual_pointer_manager_v1 *manager = nullptr;
    wl_registry_add_listener(wl_display_get_registry(display), &registryListener, &manager);
    wl_display_roundtrip(display);
    if (!manager) {
        std::fprintf(stderr, "virtual_pointer: the compositor offers no virtual pointer\n");
        return 1;
    }
    zwlr_virtual_pointer_v1 *device = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, nullptr);

    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string step;
        int x = -1, y = -1;
        bool done = true;
        if (words >> step && step == "to" && words >> x >> y && x >= 0 && y >= 0) {
            zwlr_virtual_pointer_v1_motion_absolute(device, millisecondsNow(), uint32_t(x), uint32_t(y),
                                                    uint32_t(width), uint32_t(height));
            zwlr_virtual_pointer_v1_frame(device);
        } else if (step == "click") {
            for (const auto state : {WL_POINTER_BUTTON_STATE_PRESSED, WL_POINTER_BUTTON_STATE_RELEASED}) {
                zwlr_virtual_pointer_v1_button(device, millisecondsNow(), leftButton, state);
                zwlr_virtual_pointer_v1_frame(device);
                wl_display_roundtrip(display);
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
            }
        } else if (step == "down" || step == "up") {
            zwlr_virtual_pointer_v1_button(device, millisecondsNow(), leftButton,
                                           step == "down" ? WL_POINTER_BUTTON_STATE_PRESSED
                                                          : WL_POINTER_BUTTON_STATE_RELEASED);
            zwlr_virtual_pointer_v1_frame(device);
        } else {
            done = false;
        }
        wl_display_roundtrip(display);
        std::printf(done ? "ok\n" : "error\n");
        std::fflush(stdout);
    }
    zwlr_virtual_pointer_v1_destroy(device);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
