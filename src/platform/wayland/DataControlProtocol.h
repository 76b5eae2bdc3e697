#pragma once

#include <cstdint>

struct wl_interface;
struct wl_proxy;
struct wl_seat;

// The requests of one form of the data-control protocol: the standard ext
// form or the older wlroots one. Both have the same requests and events in
// the same order with the same arguments, so the device speaks to either
// through this table, on opaque proxies. Their events arrive through
// listeners of one layout (see DataControlDevice), which both share.
struct DataControlProtocol
{
    const wl_interface *managerInterface;
    // The highest manager version this program knows.
    uint32_t managerVersion;

    wl_proxy *(*getDataDevice)(wl_proxy *manager, wl_seat *seat);
    wl_proxy *(*createDataSource)(wl_proxy *manager);
    void (*destroyManager)(wl_proxy *manager);
    void (*setSelection)(wl_proxy *device, wl_proxy *source);
    void (*destroyDevice)(wl_proxy *device);
    void (*offer)(wl_proxy *source, const char *mimeType);
    void (*destroySource)(wl_proxy *source);
    void (*receive)(wl_proxy *offer, const char *mimeType, int32_t fd);
    void (*destroyOffer)(wl_proxy *offer);

    // Each object's events, one function each in wire order, with the
    // layout of either protocol's generated listener. `data` is what the
    // listener was added with.
    struct DeviceListener
    {
        void (*dataOffer)(void *data, wl_proxy *device, wl_proxy *offer);
        void (*selection)(void *data, wl_proxy *device, wl_proxy *offer);
        void (*finished)(void *data, wl_proxy *device);
        void (*primarySelection)(void *data, wl_proxy *device, wl_proxy *offer);
    };
    struct SourceListener
    {
        void (*send)(void *data, wl_proxy *source, const char *mimeType, int32_t fd);
        void (*cancelled)(void *data, wl_proxy *source);
    };
    struct OfferListener
    {
        void (*offer)(void *data, wl_proxy *offer, const char *mimeType);
    };

    static const DataControlProtocol ext;
    static const DataControlProtocol wlr;
};
