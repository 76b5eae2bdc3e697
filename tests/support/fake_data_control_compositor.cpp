// fake_data_control_compositor NAME: a Wayland server on the socket NAME in
// $XDG_RUNTIME_DIR with nothing but a seat and ext_data_control_manager_v1,
// the standard data-control that no compositor of Debian 12 offers. Prints
// "ready" once it listens. The line "offer TYPE TEXT" on its input makes
// TEXT of TYPE the selection, held by the fake itself. A selection a client
// sets is told to every device and printed as "selection TYPE..."; the fake
// then asks for the first type and prints "received TEXT".
#include "ext-data-control-v1-server-protocol.h"

#include <wayland-server.h>

#include <cstdio>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

struct Source
{
    wl_resource *resource = nullptr;
    std::vector<std::string> types;
    bool used = false;
};

struct Selection
{
    Source *source = nullptr; // a client's, or null for the fake's own
    std::string type;         // the fake's own
    std::string text;
};

wl_display *display = nullptr;
std::vector<wl_resource *> devices;
Selection selection;
uintptr_t generation = 1; // of the selection, which each offer is made for
std::string input;

void destroy(wl_client *, wl_resource *resource)
{
    wl_resource_destroy(resource);
}

void writeAll(int fd, const std::string &text)
{
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0)
            break;
        done += std::size_t(n);
    }
    ::close(fd);
}

// An offer hands a receive on to the selection it was made for, if it is
// still the selection.
void receive(wl_client *, wl_resource *offer, const char *type, int32_t fd)
{
    if (reinterpret_cast<uintptr_t>(wl_resource_get_user_data(offer)) != generation || !type)
        return (void)::close(fd);
    if (selection.source) {
        ext_data_control_source_v1_send_send(selection.source->resource, type, fd);
        return (void)::close(fd);
    }
    writeAll(fd, selection.type == type ? selection.text : std::string());
}
const struct ext_data_control_offer_v1_interface offerImplementation{receive, destroy};

void tellSelection(wl_resource *device)
{
    wl_resource *offer = wl_resource_create(wl_resource_get_client(device), &ext_data_control_offer_v1_interface,
                                            wl_resource_get_version(device), 0);
    wl_resource_set_implementation(offer, &offerImplementation, reinterpret_cast<void *>(generation), nullptr);
    ext_data_control_device_v1_send_data_offer(device, offer);
    if (selection.source) {
        for (const std::string &type : selection.source->types)
            ext_data_control_offer_v1_send_offer(offer, type.c_str());
    } else {
        ext_data_control_offer_v1_send_offer(offer, selection.type.c_str());
    }
    ext_data_control_device_v1_send_selection(device, offer);
}

void replaceSelection(Selection next)
{
    if (selection.source)
        ext_data_control_source_v1_send_cancelled(selection.source->resource);
    selection = std::move(next);
    ++generation;
    for (wl_resource *device : devices)
        tellSelection(device);
    wl_display_flush_clients(display);
}

// Reads what the client's source gives for its first type.
void readSource(Source *source)
{
    int fds[2];
    if (source->types.empty() || ::pipe(fds) != 0)
        return;
    ext_data_control_source_v1_send_send(source->resource, source->types.front().c_str(), fds[1]);
    ::close(fds[1]);
    wl_display_flush_clients(display);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, std::size_t(n));
    ::close(fds[0]);
    std::printf("received %s\n", text.c_str());
    std::fflush(stdout);
}

void offerType(wl_client *, wl_resource *resource, const char *type)
{
    static_cast<Source *>(wl_resource_get_user_data(resource))->types.emplace_back(type);
}
const struct ext_data_control_source_v1_interface sourceImplementation{offerType, destroy};

void sourceGone(wl_resource *resource)
{
    auto *source = static_cast<Source *>(wl_resource_get_user_data(resource));
    if (selection.source == source) {
        selection.source = nullptr; // it is going: no cancel for it
        replaceSelection({});
    }
    delete source;
}

void setSelection(wl_client *, wl_resource *device, wl_resource *sourceResource)
{
    auto *source = sourceResource ? static_cast<Source *>(wl_resource_get_user_data(sourceResource)) : nullptr;
    if (source && std::exchange(source->used, true))
        return wl_resource_post_error(device, EXT_DATA_CONTROL_DEVICE_V1_ERROR_USED_SOURCE, "source used");
    std::printf("selection");
    for (const std::string &type : source ? source->types : std::vector<std::string>())
        std::printf(" %s", type.c_str());
    std::printf("\n");
    std::fflush(stdout);
    replaceSelection({source, {}, {}});
    if (source)
        readSource(source);
}
const struct ext_data_control_device_v1_interface deviceImplementation{setSelection, destroy, setSelection};

void deviceGone(wl_resource *resource)
{
    std::erase(devices, resource);
}

void createSource(wl_client *client, wl_resource *manager, uint32_t id)
{
    wl_resource *resource =
        wl_resource_create(client, &ext_data_control_source_v1_interface, wl_resource_get_version(manager), id);
    auto *source = new Source{resource, {}, false};
    wl_resource_set_implementation(resource, &sourceImplementation, source, sourceGone);
}

void getDevice(wl_client *client, wl_resource *manager, uint32_t id, wl_resource *)
{
    wl_resource *device =
        wl_resource_create(client, &ext_data_control_device_v1_interface, wl_resource_get_version(manager), id);
    wl_resource_set_implementation(device, &deviceImplementation, nullptr, deviceGone);
    devices.push_back(device);
    if (selection.source || !selection.type.empty())
        tellSelection(device);
}
const struct ext_data_control_manager_v1_interface managerImplementation{createSource, getDevice, destroy};

void bindManager(wl_client *client, void *, uint32_t version, uint32_t id)
{
    wl_resource *manager = wl_resource_create(client, &ext_data_control_manager_v1_interface, int(version), id);
    wl_resource_set_implementation(manager, &managerImplementation, nullptr, nullptr);
}

void noDevice(wl_client *, wl_resource *, uint32_t) {}
const struct wl_seat_interface seatImplementation{noDevice, noDevice, noDevice, nullptr};

void bindSeat(wl_client *client, void *, uint32_t version, uint32_t id)
{
    wl_resource *seat = wl_resource_create(client, &wl_seat_interface, int(version), id);
    wl_resource_set_implementation(seat, &seatImplementation, nullptr, nullptr);
    wl_seat_send_capabilities(seat, 0);
}

int readInput(int fd, uint32_t, void *)
{
    char buffer[256];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) {
        wl_display_terminate(display);
        return 0;
    }
    input.append(buffer, std::size_t(n));
    for (std::size_t end; (end = input.find('\n')) != std::string::npos;) {
        const std::string line = input.substr(0, end);
        input.erase(0, end + 1);
        const std::size_t typeEnd = line.find(' ', 6);
        if (line.rfind("offer ", 0) == 0 && typeEnd != std::string::npos)
            replaceSelection({nullptr, line.substr(6, typeEnd - 6), line.substr(typeEnd + 1)});
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    display = wl_display_create();
    if (argc != 2 || !display || wl_display_add_socket(display, argv[1]) != 0) {
        std::fprintf(stderr, "usage: fake_data_control_compositor NAME (with XDG_RUNTIME_DIR set)\n");
        return 2;
    }
    wl_global_create(display, &wl_seat_interface, 1, nullptr, bindSeat);
    wl_global_create(display, &ext_data_control_manager_v1_interface, 1, nullptr, bindManager);
    wl_event_source *commands =
        wl_event_loop_add_fd(wl_display_get_event_loop(display), STDIN_FILENO, WL_EVENT_READABLE, readInput, nullptr);
    std::printf("ready\n");
    std::fflush(stdout);
    wl_display_run(display);
    wl_event_source_remove(commands);
    wl_display_destroy_clients(display);
    wl_display_destroy(display);
    return 0;
}
