// Sets the Wayland clipboard through data-control, the way a clipboard
// tool does, and serves it until another program replaces it (or it is
// killed). "secret TEXT" offers TEXT with the password managers' hint;
// "hang TEXT" offers TEXT and never writes it when asked. Prints "ready"
// once the compositor has the selection, and "asked TYPE" for each request
// it leaves hanging.
#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

wl_seat *seat = nullptr;
zwlr_data_control_manager_v1 *manager = nullptr;
bool hang = false;
bool cancelled = false;
std::string text;
std::vector<int> heldFds; // asked for, never written

void global(void *, wl_registry *registry, uint32_t name, const char *interface, uint32_t)
{
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !seat)
        seat = static_cast<wl_seat *>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0)
        manager = static_cast<zwlr_data_control_manager_v1 *>(
            wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, 1));
}
void globalRemove(void *, wl_registry *, uint32_t) {}
const wl_registry_listener registryListener{global, globalRemove};

void send(void *, zwlr_data_control_source_v1 *, const char *type, int32_t fd)
{
    if (hang) {
        heldFds.push_back(fd);
        std::printf("asked %s\n", type);
        std::fflush(stdout);
        return;
    }
    const std::string data = std::strcmp(type, "x-kde-passwordManagerHint") == 0 ? "secret" : text;
    [[maybe_unused]] const ssize_t written = write(fd, data.data(), data.size());
    close(fd);
}
void cancel(void *, zwlr_data_control_source_v1 *) { cancelled = true; }
const zwlr_data_control_source_v1_listener sourceListener{send, cancel};

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3 || (std::strcmp(argv[1], "secret") != 0 && std::strcmp(argv[1], "hang") != 0)) {
        std::fprintf(stderr, "usage: %s secret|hang TEXT\n", argv[0]);
        return 2;
    }
    hang = std::strcmp(argv[1], "hang") == 0;
    text = argv[2];
    wl_display *display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "no Wayland display\n");
        return 1;
    }
    wl_registry_add_listener(wl_display_get_registry(display), &registryListener, nullptr);
    wl_display_roundtrip(display);
    if (!seat || !manager) {
        std::fprintf(stderr, "the compositor offers no data-control\n");
        return 1;
    }
    zwlr_data_control_device_v1 *device = zwlr_data_control_manager_v1_get_data_device(manager, seat);
    zwlr_data_control_source_v1 *source = zwlr_data_control_manager_v1_create_data_source(manager);
    zwlr_data_control_source_v1_add_listener(source, &sourceListener, nullptr);
    for (const char *type : {"text/plain;charset=utf-8", "text/plain", "UTF8_STRING"})
        zwlr_data_control_source_v1_offer(source, type);
    if (!hang)
        zwlr_data_control_source_v1_offer(source, "x-kde-passwordManagerHint");
    zwlr_data_control_device_v1_set_selection(device, source);
    wl_display_roundtrip(display);
    std::printf("ready\n");
    std::fflush(stdout);
    while (!cancelled && wl_display_dispatch(display) >= 0) {
    }
    for (int fd : heldFds)
        close(fd);
    wl_display_disconnect(display);
    return 0;
}
