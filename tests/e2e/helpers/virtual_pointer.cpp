// Moves and clicks the Wayland compositor's cursor through a virtual
// pointer device, for the tests under a headless compositor that has no
// pointer of its own. One device lives as long as the program: a device
// that comes and goes changes the seat's capabilities under every client.
// Reads one step per line on standard input and answers "ok" (or "error")
// on standard output once the compositor has handled it:
//   to X Y | glide X Y STEPS MS | by DX DY | click | sleep MS
// `to` jumps to a point of the first output, `glide` gets there in STEPS
// steps MS milliseconds apart, `by` moves relatively, `click` presses and
// releases the left button.
#include "virtual-pointer-client.h"

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

struct Globals
{
    zwlr_virtual_pointer_manager_v1 *manager = nullptr;
    wl_output *output = nullptr;
    int32_t width = 0;
    int32_t height = 0;
};

void addGlobal(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t)
{
    auto *globals = static_cast<Globals *>(data);
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        globals->manager = static_cast<zwlr_virtual_pointer_manager_v1 *>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    else if (std::strcmp(interface, wl_output_interface.name) == 0 && !globals->output)
        globals->output = static_cast<wl_output *>(wl_registry_bind(registry, name, &wl_output_interface, 1));
}

void removeGlobal(void *, wl_registry *, uint32_t) {}

const wl_registry_listener registryListener{addGlobal, removeGlobal};

void outputGeometry(void *, wl_output *, int32_t, int32_t, int32_t, int32_t, int32_t, const char *, const char *,
                    int32_t)
{
}

void outputMode(void *data, wl_output *, uint32_t flags, int32_t width, int32_t height, int32_t)
{
    auto *globals = static_cast<Globals *>(data);
    if (flags & WL_OUTPUT_MODE_CURRENT) {
        globals->width = width;
        globals->height = height;
    }
}

void outputDone(void *, wl_output *) {}
void outputScale(void *, wl_output *, int32_t) {}
void outputText(void *, wl_output *, const char *) {}

// Bound at version 1, which sends geometry and mode only.
const wl_output_listener outputListener{outputGeometry, outputMode, outputDone, outputScale, outputText, outputText};

uint32_t millisecondsNow()
{
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

class Pointer
{
public:
    Pointer(wl_display *display, zwlr_virtual_pointer_v1 *device, const Globals &globals)
        : m_display(display), m_device(device), m_width(globals.width), m_height(globals.height)
    {
    }

    void moveTo(int x, int y)
    {
        zwlr_virtual_pointer_v1_motion_absolute(m_device, millisecondsNow(), uint32_t(std::max(x, 0)),
                                                uint32_t(std::max(y, 0)), uint32_t(m_width), uint32_t(m_height));
        finish();
        m_x = x;
        m_y = y;
    }

    void moveBy(int dx, int dy)
    {
        zwlr_virtual_pointer_v1_motion(m_device, millisecondsNow(), wl_fixed_from_int(dx), wl_fixed_from_int(dy));
        finish();
        m_x += dx;
        m_y += dy;
    }

    void glide(int x, int y, int steps, int pause)
    {
        const int fromX = m_x, fromY = m_y;
        for (int i = 1; i <= steps; ++i) {
            moveTo(fromX + (x - fromX) * i / steps, fromY + (y - fromY) * i / steps);
            std::this_thread::sleep_for(std::chrono::milliseconds(pause));
        }
    }

    void click()
    {
        zwlr_virtual_pointer_v1_button(m_device, millisecondsNow(), leftButton, WL_POINTER_BUTTON_STATE_PRESSED);
        finish();
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        zwlr_virtual_pointer_v1_button(m_device, millisecondsNow(), leftButton, WL_POINTER_BUTTON_STATE_RELEASED);
        finish();
    }

private:
    void finish()
    {
        zwlr_virtual_pointer_v1_frame(m_device);
        wl_display_roundtrip(m_display);
    }

    wl_display *m_display;
    zwlr_virtual_pointer_v1 *m_device;
    int m_width;
    int m_height;
    int m_x = 0;
    int m_y = 0;
};

// Runs one line of steps; false when it cannot be read.
bool runLine(Pointer &pointer, const std::string &line)
{
    std::istringstream words(line);
    std::string step;
    while (words >> step) {
        int a = 0, b = 0, c = 0, d = 0;
        if (step == "to" && words >> a >> b)
            pointer.moveTo(a, b);
        else if (step == "by" && words >> a >> b)
            pointer.moveBy(a, b);
        else if (step == "glide" && words >> a >> b >> c >> d && c > 0)
            pointer.glide(a, b, c, d);
        else if (step == "click")
            pointer.click();
        else if (step == "sleep" && words >> a)
            std::this_thread::sleep_for(std::chrono::milliseconds(a));
        else
            return false;
    }
    return true;
}

} // namespace

int main()
{
    wl_display *display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "virtual_pointer: no Wayland display\n");
        return 1;
    }
    Globals globals;
    wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &globals);
    wl_display_roundtrip(display);
    if (!globals.manager || !globals.output) {
        std::fprintf(stderr, "virtual_pointer: the compositor offers no virtual pointer or no output\n");
        return 1;
    }
    wl_output_add_listener(globals.output, &outputListener, &globals);
    wl_display_roundtrip(display);
    if (globals.width <= 0 || globals.height <= 0) {
        std::fprintf(stderr, "virtual_pointer: the output reports no size\n");
        return 1;
    }
    zwlr_virtual_pointer_v1 *device = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.manager, nullptr);
    Pointer pointer(display, device, globals);

    std::string line;
    while (std::getline(std::cin, line)) {
        const bool done = runLine(pointer, line);
        if (!done)
            std::fprintf(stderr, "virtual_pointer: cannot run '%s'\n", line.c_str());
        std::printf(done ? "ok\n" : "error\n");
        std::fflush(stdout);
    }
    zwlr_virtual_pointer_v1_destroy(device);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
