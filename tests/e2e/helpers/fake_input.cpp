// Moves and clicks the cursor of a headless KWin, and types on its
// keyboard, through KWin's fake input interface:  fake_input
// One client lives as long as the program, so KWin keeps one input device
// for the whole test. It reads one command per line and answers "ok" once
// KWin has handled it, or "error":
//   to X Y          moves the cursor to a point of the global space
//   click           clicks the left button
//   down, up        presses or releases the left button alone (a drag)
//   keys STEP...    one batch of key steps, sent in order by this one
//                   client: +CODE presses and -CODE releases the key with
//                   that evdev code, @MS pauses MS milliseconds. A batch
//                   keeps its own timing (a double tap), however busy the
//                   machine is between commands.
#include "fake-input-client-protocol.h"

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
constexpr uint32_t neededVersion = 4;  // keyboard_key
constexpr auto clickHold = std::chrono::milliseconds(30);

void addGlobal(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t version)
{
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= neededVersion)
        *static_cast<org_kde_kwin_fake_input **>(data) = static_cast<org_kde_kwin_fake_input *>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, neededVersion));
}

void removeGlobal(void *, wl_registry *, uint32_t) {}

const wl_registry_listener registryListener{addGlobal, removeGlobal};

// One batch of "keys": false on a step it cannot read.
bool sendKeys(wl_display *display, org_kde_kwin_fake_input *input, std::istringstream &words)
{
    std::string step;
    bool any = false;
    while (words >> step) {
        char *end = nullptr;
        const long value = step.size() > 1 ? std::strtol(step.c_str() + 1, &end, 10) : -1;
        if (value < 0 || !end || *end != '\0')
            return false;
        if (step[0] == '@') {
            std::this_thread::sleep_for(std::chrono::milliseconds(value));
        } else if (step[0] == '+' || step[0] == '-') {
            org_kde_kwin_fake_input_keyboard_key(input, uint32_t(value), step[0] == '+' ? 1 : 0);
            wl_display_roundtrip(display);
        } else {
            return false;
        }
        any = true;
    }
    return any;
}

} // namespace

int main()
{
    wl_display *display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "fake_input: no Wayland display\n");
        return 1;
    }
    org_kde_kwin_fake_input *input = nullptr;
    wl_registry_add_listener(wl_display_get_registry(display), &registryListener, &input);
    wl_display_roundtrip(display);
    if (!input) {
        std::fprintf(stderr, "fake_input: the compositor offers no fake input of version %u\n", neededVersion);
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(input, "zorv end-to-end tests", "drives the desktop in a test");
    wl_display_roundtrip(display);

    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command;
        double x = -1, y = -1;
        bool done = true;
        words >> command;
        if (command == "to" && words >> x >> y && x >= 0 && y >= 0) {
            org_kde_kwin_fake_input_pointer_motion_absolute(input, wl_fixed_from_double(x), wl_fixed_from_double(y));
        } else if (command == "click") {
            for (const uint32_t state : {1u, 0u}) {
                org_kde_kwin_fake_input_button(input, leftButton, state);
                wl_display_roundtrip(display);
                std::this_thread::sleep_for(clickHold);
            }
        } else if (command == "down" || command == "up") {
            org_kde_kwin_fake_input_button(input, leftButton, command == "down" ? 1 : 0);
        } else if (command == "keys") {
            done = sendKeys(display, input, words);
        } else {
            done = false;
        }
        wl_display_roundtrip(display);
        std::printf(done ? "ok\n" : "error\n");
        std::fflush(stdout);
    }
    wl_display_disconnect(display);
    return 0;
}
