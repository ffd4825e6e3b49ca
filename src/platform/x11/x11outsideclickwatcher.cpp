#include "x11outsideclickwatcher.h"

#include <cstdlib>

#include <QCoreApplication>
#include <QCursor>

#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include "platform/logger.h"
#include "platform/x11/x11connection.h"

X11OutsideClickWatcher::X11OutsideClickWatcher() = default;

X11OutsideClickWatcher::~X11OutsideClickWatcher()
{
    stop();
    if (m_filterInstalled && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool X11OutsideClickWatcher::ensureExtension()
{
    if (m_opcode >= 0)
        return m_opcode > 0;
    m_opcode = 0;
    xcb_connection_t *c = X11Connection::connection();
    if (!c) {
        Log::info(QStringLiteral("Overlay: no X11 display, outside clicks are detected by focus loss"));
        return false;
    }
    const xcb_query_extension_reply_t *ext = xcb_get_extension_data(c, &xcb_input_id);
    if (!ext || !ext->present) {
        Log::info(QStringLiteral("Overlay: XInput missing, outside clicks are detected by focus loss"));
        return false;
    }
    // Raw events reach a root-window selection only from XInput 2.1 on.
    auto cookie = xcb_input_xi_query_version(c, 2, 2);
    xcb_input_xi_query_version_reply_t *reply = xcb_input_xi_query_version_reply(c, cookie, nullptr);
    const bool ok = reply && (reply->major_version > 2 || (reply->major_version == 2 && reply->minor_version >= 1));
    std::free(reply);
    if (!ok) {
        Log::info(QStringLiteral("Overlay: XInput 2.1 missing, outside clicks are detected by focus loss"));
        return false;
    }
    m_opcode = ext->major_opcode;
    return true;
}

void X11OutsideClickWatcher::selectRawPresses(bool on)
{
    xcb_connection_t *c = X11Connection::connection();
    if (!c)
        return;
    struct {
        xcb_input_event_mask_t header;
        uint32_t mask;
    } mask;
    mask.header.deviceid = XCB_INPUT_DEVICE_ALL_MASTER;
    mask.header.mask_len = 1;
    mask.mask = on ? XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS : 0;
    xcb_input_xi_select_events(c, X11Connection::rootWindow(), 1, &mask.header);
    xcb_flush(c);
}

bool X11OutsideClickWatcher::start(Handler handler)
{
    if (!ensureExtension())
        return false;
    m_handler = std::move(handler);
    if (!m_filterInstalled) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        m_filterInstalled = true;
    }
    if (!m_watching)
        selectRawPresses(true);
    m_watching = true;
    return true;
}

void X11OutsideClickWatcher::stop()
{
    if (!m_watching)
        return;
    m_watching = false;
    m_handler = nullptr;
    selectRawPresses(false);
}

bool X11OutsideClickWatcher::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (m_opcode <= 0 || eventType != "xcb_generic_event_t")
        return false;
    auto *event = static_cast<xcb_generic_event_t *>(message);
    if ((event->response_type & ~0x80) != XCB_GE_GENERIC)
        return false;
    auto *ge = reinterpret_cast<xcb_ge_generic_event_t *>(event);
    if (ge->extension != m_opcode || ge->event_type != XCB_INPUT_RAW_BUTTON_PRESS)
        return false;
    auto *raw = reinterpret_cast<xcb_input_raw_button_press_event_t *>(event);
    // Buttons 4 to 7 are wheel steps, not clicks.
    if (m_watching && m_handler && (raw->detail < 4 || raw->detail > 7)) {
        const Handler handler = m_handler; // the handler may stop() us
        handler(QCursor::pos());
    }
    // Qt never asked for raw events; keep them away from its own XInput handling.
    return true;
}
