#include "datacontrolprotocol.h"

#include <wayland-client.h>

#include "ext-data-control-v1-client-protocol.h"
#include "wlr-data-control-unstable-v1-client-protocol.h"

namespace {

// Our listeners stand in for the generated ones of both protocols.
static_assert(sizeof(DataControlProtocol::OfferListener) == sizeof(ext_data_control_offer_v1_listener));
static_assert(sizeof(DataControlProtocol::DeviceListener) == sizeof(ext_data_control_device_v1_listener));
static_assert(sizeof(DataControlProtocol::SourceListener) == sizeof(ext_data_control_source_v1_listener));
static_assert(sizeof(DataControlProtocol::OfferListener) == sizeof(zwlr_data_control_offer_v1_listener));
static_assert(sizeof(DataControlProtocol::DeviceListener) == sizeof(zwlr_data_control_device_v1_listener));
static_assert(sizeof(DataControlProtocol::SourceListener) == sizeof(zwlr_data_control_source_v1_listener));

template <typename T>
T *typed(wl_proxy *proxy)
{
    return reinterpret_cast<T *>(proxy);
}

template <typename T>
wl_proxy *untyped(T *proxy)
{
    return reinterpret_cast<wl_proxy *>(proxy);
}

void addListener(wl_proxy *proxy, const void *listener, void *data)
{
    // A listener is a table of function pointers; libwayland calls the
    // entry of each event by its wire index.
    wl_proxy_add_listener(proxy, reinterpret_cast<void (**)(void)>(const_cast<void *>(listener)), data);
}

const DataControlProtocol kExt = {
    "ext_data_control_manager_v1",
    &ext_data_control_manager_v1_interface,
    1,
    [](wl_proxy *m, wl_seat *seat) {
        return untyped(ext_data_control_manager_v1_get_data_device(typed<ext_data_control_manager_v1>(m), seat));
    },
    [](wl_proxy *m) { return untyped(ext_data_control_manager_v1_create_data_source(typed<ext_data_control_manager_v1>(m))); },
    [](wl_proxy *d, wl_proxy *s) {
        ext_data_control_device_v1_set_selection(typed<ext_data_control_device_v1>(d), typed<ext_data_control_source_v1>(s));
    },
    [](wl_proxy *s, const char *type) { ext_data_control_source_v1_offer(typed<ext_data_control_source_v1>(s), type); },
    [](wl_proxy *o, const char *type, int32_t fd) {
        ext_data_control_offer_v1_receive(typed<ext_data_control_offer_v1>(o), type, fd);
    },
    [](wl_proxy *m) { ext_data_control_manager_v1_destroy(typed<ext_data_control_manager_v1>(m)); },
    [](wl_proxy *d) { ext_data_control_device_v1_destroy(typed<ext_data_control_device_v1>(d)); },
    [](wl_proxy *s) { ext_data_control_source_v1_destroy(typed<ext_data_control_source_v1>(s)); },
    [](wl_proxy *o) { ext_data_control_offer_v1_destroy(typed<ext_data_control_offer_v1>(o)); },
};

const DataControlProtocol kWlr = {
    "zwlr_data_control_manager_v1",
    &zwlr_data_control_manager_v1_interface,
    2,
    [](wl_proxy *m, wl_seat *seat) {
        return untyped(zwlr_data_control_manager_v1_get_data_device(typed<zwlr_data_control_manager_v1>(m), seat));
    },
    [](wl_proxy *m) { return untyped(zwlr_data_control_manager_v1_create_data_source(typed<zwlr_data_control_manager_v1>(m))); },
    [](wl_proxy *d, wl_proxy *s) {
        zwlr_data_control_device_v1_set_selection(typed<zwlr_data_control_device_v1>(d), typed<zwlr_data_control_source_v1>(s));
    },
    [](wl_proxy *s, const char *type) { zwlr_data_control_source_v1_offer(typed<zwlr_data_control_source_v1>(s), type); },
    [](wl_proxy *o, const char *type, int32_t fd) {
        zwlr_data_control_offer_v1_receive(typed<zwlr_data_control_offer_v1>(o), type, fd);
    },
    [](wl_proxy *m) { zwlr_data_control_manager_v1_destroy(typed<zwlr_data_control_manager_v1>(m)); },
    [](wl_proxy *d) { zwlr_data_control_device_v1_destroy(typed<zwlr_data_control_device_v1>(d)); },
    [](wl_proxy *s) { zwlr_data_control_source_v1_destroy(typed<zwlr_data_control_source_v1>(s)); },
    [](wl_proxy *o) { zwlr_data_control_offer_v1_destroy(typed<zwlr_data_control_offer_v1>(o)); },
};

} // namespace

void DataControlProtocol::listen(wl_proxy *offer, const OfferListener *listener, void *data)
{
    addListener(offer, listener, data);
}

void DataControlProtocol::listen(wl_proxy *device, const DeviceListener *listener, void *data)
{
    addListener(device, listener, data);
}

void DataControlProtocol::listen(wl_proxy *source, const SourceListener *listener, void *data)
{
    addListener(source, listener, data);
}

const DataControlProtocol &DataControlProtocol::ext()
{
    return kExt;
}

const DataControlProtocol &DataControlProtocol::wlr()
{
    return kWlr;
}

const DataControlProtocol *DataControlProtocol::preferred(const std::function<bool(const QString &)> &offers)
{
    for (const DataControlProtocol *protocol : {&kExt, &kWlr}) {
        if (offers(QLatin1String(protocol->global)))
            return protocol;
    }
    return nullptr;
}
