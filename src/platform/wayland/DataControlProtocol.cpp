#include "platform/wayland/DataControlProtocol.h"

#include "ext-data-control-v1-client-protocol.h"
#include "wlr-data-control-unstable-v1-client-protocol.h"

namespace {

template <typename T> T *as(wl_proxy *proxy)
{
    return reinterpret_cast<T *>(proxy);
}

wl_proxy *opaque(void *proxy)
{
    return static_cast<wl_proxy *>(proxy);
}

} // namespace

// One table per protocol, from the functions wayland-scanner wrote for it.
#define ZORV_DATA_CONTROL_TABLE(prefix, version)                                                                    \
    DataControlProtocol                                                                                             \
    {                                                                                                               \
        &prefix##_manager_v1_interface, version,                                                                    \
            [](wl_proxy *manager, wl_seat *seat) {                                                                  \
                return opaque(prefix##_manager_v1_get_data_device(as<prefix##_manager_v1>(manager), seat));         \
            },                                                                                                      \
            [](wl_proxy *manager) {                                                                                 \
                return opaque(prefix##_manager_v1_create_data_source(as<prefix##_manager_v1>(manager)));            \
            },                                                                                                      \
            [](wl_proxy *manager) { prefix##_manager_v1_destroy(as<prefix##_manager_v1>(manager)); },               \
            [](wl_proxy *device, wl_proxy *source) {                                                                \
                prefix##_device_v1_set_selection(as<prefix##_device_v1>(device), as<prefix##_source_v1>(source));   \
            },                                                                                                      \
            [](wl_proxy *device) { prefix##_device_v1_destroy(as<prefix##_device_v1>(device)); },                   \
            [](wl_proxy *source, const char *type) { prefix##_source_v1_offer(as<prefix##_source_v1>(source), type); }, \
            [](wl_proxy *source) { prefix##_source_v1_destroy(as<prefix##_source_v1>(source)); },                   \
            [](wl_proxy *offer, const char *type, int32_t fd) {                                                     \
                prefix##_offer_v1_receive(as<prefix##_offer_v1>(offer), type, fd);                                  \
            },                                                                                                      \
            [](wl_proxy *offer) { prefix##_offer_v1_destroy(as<prefix##_offer_v1>(offer)); },                       \
    }

const DataControlProtocol DataControlProtocol::ext = ZORV_DATA_CONTROL_TABLE(ext_data_control, 1);
// Version 2 adds the primary selection, which the device leaves alone but
// must be able to drop.
const DataControlProtocol DataControlProtocol::wlr = ZORV_DATA_CONTROL_TABLE(zwlr_data_control, 2);

#undef ZORV_DATA_CONTROL_TABLE

// Both protocols' listeners have the layout of the device's own.
static_assert(sizeof(DataControlProtocol::DeviceListener) == sizeof(ext_data_control_device_v1_listener));
static_assert(sizeof(DataControlProtocol::DeviceListener) == sizeof(zwlr_data_control_device_v1_listener));
static_assert(sizeof(DataControlProtocol::SourceListener) == sizeof(ext_data_control_source_v1_listener));
static_assert(sizeof(DataControlProtocol::SourceListener) == sizeof(zwlr_data_control_source_v1_listener));
static_assert(sizeof(DataControlProtocol::OfferListener) == sizeof(ext_data_control_offer_v1_listener));
static_assert(sizeof(DataControlProtocol::OfferListener) == sizeof(zwlr_data_control_offer_v1_listener));
