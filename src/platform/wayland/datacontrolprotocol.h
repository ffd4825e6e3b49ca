#pragma once

#include <cstdint>
#include <functional>

#include <QString>

struct wl_interface;
struct wl_proxy;
struct wl_seat;

// One of the two data-control protocols a compositor may offer:
// ext-data-control-v1, or the wlroots protocol it was standardised from.
// Both have the same interfaces, messages, argument types and wire order
// under different names, so the clipboard drives either through untyped
// proxies: requests go through the table of the protocol in use, events
// come through the listeners below, which fit both.
struct DataControlProtocol
{
    const char *global; // the manager's name in the registry
    const wl_interface *managerInterface;
    uint32_t version; // the highest version we speak

    wl_proxy *(*getDataDevice)(wl_proxy *manager, wl_seat *seat);
    wl_proxy *(*createDataSource)(wl_proxy *manager);
    void (*setSelection)(wl_proxy *device, wl_proxy *source); // null source: clear
    void (*offer)(wl_proxy *source, const char *mimeType);
    void (*receive)(wl_proxy *offer, const char *mimeType, int32_t fd);
    void (*destroyManager)(wl_proxy *manager);
    void (*destroyDevice)(wl_proxy *device);
    void (*destroySource)(wl_proxy *source);
    void (*destroyOffer)(wl_proxy *offer);

    // The events of the offer, device and source interfaces, in wire order.
    struct OfferListener
    {
        void (*offer)(void *data, wl_proxy *offer, const char *mimeType);
    };
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
    static void listen(wl_proxy *offer, const OfferListener *listener, void *data);
    static void listen(wl_proxy *device, const DeviceListener *listener, void *data);
    static void listen(wl_proxy *source, const SourceListener *listener, void *data);

    static const DataControlProtocol &ext();
    static const DataControlProtocol &wlr();
    // The standard protocol when offered, else the wlroots one; null when
    // `offers` (whether the compositor announced a global) says neither.
    static const DataControlProtocol *preferred(const std::function<bool(const QString &)> &offers);
};
