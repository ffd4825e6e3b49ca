#include "x11globalshortcutservice.h"

#include <cstdlib>

#include <QCoreApplication>
#include <QStringList>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include "platform/logger.h"
#include "platform/x11/x11connection.h"
#include "platform/keypositions.h"

namespace {

constexpr uint32_t kCarbonCommand = 0x100;
constexpr uint32_t kCarbonShift = 0x200;
constexpr uint32_t kCarbonOption = 0x800;
constexpr uint32_t kCarbonControl = 0x1000;

constexpr uint32_t kXK_Num_Lock = 0xff7f;
constexpr uint32_t kXK_Super_L = 0xffeb;
constexpr uint32_t kXK_Alt_L = 0xffe9;
constexpr uint8_t kBadAccess = 10;
constexpr uint16_t kAllModifiers = 0xff;

// The modifier bit (Mod1..Mod5 etc.) the server's modifier map gives to the
// keysym, or `fallback` when it is not mapped.
uint16_t modifierMaskFor(xcb_connection_t *c, uint32_t keysym, uint16_t fallback)
{
    xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(c);
    if (!symbols)
        return fallback;
    xcb_keycode_t *codes = xcb_key_symbols_get_keycode(symbols, keysym);
    xcb_key_symbols_free(symbols);
    if (!codes)
        return fallback;

    uint16_t mask = 0;
    xcb_get_modifier_mapping_reply_t *reply =
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr);
    if (reply) {
        const xcb_keycode_t *map = xcb_get_modifier_mapping_keycodes(reply);
        const int perModifier = reply->keycodes_per_modifier;
        for (int mod = 0; mod < 8 && !mask; ++mod) {
            for (int k = 0; k < perModifier && !mask; ++k) {
                const xcb_keycode_t mapped = map[mod * perModifier + k];
                for (const xcb_keycode_t *code = codes; mapped && *code != XCB_NO_SYMBOL; ++code) {
                    if (*code == mapped) {
                        mask = uint16_t(1u << mod);
                        break;
                    }
                }
            }
        }
        free(reply);
    }
    free(codes);
    return mask ? mask : fallback;
}

} // namespace

X11GlobalShortcutService::X11GlobalShortcutService()
{
    xcb_connection_t *c = X11Connection::connection();
    m_available = c != nullptr;
    if (!m_available) {
        Log::error(QStringLiteral("HotKey: no X11 display, the global shortcut is off"));
        return;
    }
    m_numLockMask = modifierMaskFor(c, kXK_Num_Lock, XCB_MOD_MASK_2);
    m_superMask = modifierMaskFor(c, kXK_Super_L, XCB_MOD_MASK_4);
    m_altMask = modifierMaskFor(c, kXK_Alt_L, XCB_MOD_MASK_1);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11GlobalShortcutService::~X11GlobalShortcutService()
{
    if (!m_available)
        return;
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
    if (xcb_connection_t *c = X11Connection::connection()) {
        for (const auto &[ref, grab] : m_grabs)
            ungrabVariants(grab);
        xcb_flush(c);
    }
}

QString X11GlobalShortcutService::comboName(uint32_t keyCode, uint32_t modifiers)
{
    QStringList parts;
    if (modifiers & kCarbonCommand)
        parts << QStringLiteral("Super");
    if (modifiers & kCarbonControl)
        parts << QStringLiteral("Ctrl");
    if (modifiers & kCarbonOption)
        parts << QStringLiteral("Alt");
    if (modifiers & kCarbonShift)
        parts << QStringLiteral("Shift");
    parts << KeyPositions::labelFor(keyCode);
    return parts.join(QLatin1Char('+'));
}

uint16_t X11GlobalShortcutService::xModifiersFor(uint32_t modifiers) const
{
    uint16_t mask = 0;
    if (modifiers & kCarbonCommand)
        mask |= m_superMask;
    if (modifiers & kCarbonControl)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & kCarbonOption)
        mask |= m_altMask;
    if (modifiers & kCarbonShift)
        mask |= XCB_MOD_MASK_SHIFT;
    return mask;
}

void X11GlobalShortcutService::ungrabVariants(const Grab &grab)
{
    xcb_connection_t *c = X11Connection::connection();
    const xcb_window_t root = X11Connection::rootWindow();
    const uint16_t locks[] = {0, XCB_MOD_MASK_LOCK, m_numLockMask, uint16_t(XCB_MOD_MASK_LOCK | m_numLockMask)};
    for (const uint16_t lock : locks)
        xcb_ungrab_key(c, grab.keycode, root, grab.xModifiers | lock);
}

int X11GlobalShortcutService::registerHotKey(uint32_t keyCode, uint32_t modifiers, HotKeyId id,
                                             Registration *registration)
{
    if (!m_available)
        return kHotKeyInvalidErr;
    xcb_connection_t *c = X11Connection::connection();
    const std::optional<uint8_t> keycode = KeyPositions::keycodeFor(keyCode);
    const xcb_setup_t *setup = xcb_get_setup(c);
    if (!keycode || *keycode < setup->min_keycode || *keycode > setup->max_keycode) {
        Log::error(QStringLiteral("HotKey: %1 has no key on this keyboard").arg(comboName(keyCode, modifiers)));
        return kHotKeyInvalidErr;
    }

    Grab grab;
    grab.keycode = *keycode;
    grab.xModifiers = xModifiersFor(modifiers);
    grab.id = id;

    const xcb_window_t root = X11Connection::rootWindow();
    const uint16_t locks[] = {0, XCB_MOD_MASK_LOCK, m_numLockMask, uint16_t(XCB_MOD_MASK_LOCK | m_numLockMask)};
    xcb_void_cookie_t cookies[4];
    for (int i = 0; i < 4; ++i) {
        cookies[i] = xcb_grab_key_checked(c, 1, root, grab.xModifiers | locks[i], grab.keycode,
                                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    }
    bool refused = false;
    bool failed = false;
    for (xcb_void_cookie_t cookie : cookies) {
        if (xcb_generic_error_t *error = xcb_request_check(c, cookie)) {
            (error->error_code == kBadAccess ? refused : failed) = true;
            free(error);
        }
    }
    if (refused || failed) {
        ungrabVariants(grab);
        xcb_flush(c);
        if (refused) {
            Log::error(QStringLiteral("HotKey: the X server refused %1, another program holds it")
                           .arg(comboName(keyCode, modifiers)));
            return kHotKeyExistsErr;
        }
        Log::error(QStringLiteral("HotKey: the X server could not grab %1").arg(comboName(keyCode, modifiers)));
        return kHotKeyInvalidErr;
    }

    const Registration ref = m_nextRegistration++;
    m_grabs[ref] = grab;
    if (registration)
        *registration = ref;
    return kNoErr;
}

int X11GlobalShortcutService::unregisterHotKey(std::optional<Registration> registration)
{
    if (!registration)
        return kHotKeyInvalidErr;
    const auto it = m_grabs.find(*registration);
    if (it == m_grabs.end())
        return kHotKeyInvalidErr;
    if (m_available) {
        ungrabVariants(it->second);
        xcb_flush(X11Connection::connection());
    }
    m_grabs.erase(it);
    return kNoErr;
}

int X11GlobalShortcutService::installEventHandler(EventHandler handler, HandlerRef *ref)
{
    return m_handlers.install(std::move(handler), ref);
}

void X11GlobalShortcutService::flushRelease(Registration ref)
{
    const auto it = m_grabs.find(ref);
    if (it == m_grabs.end() || it->second.pendingReleaseTime == 0)
        return;
    it->second.pendingReleaseTime = 0;
    it->second.down = false;
    m_handlers.dispatch(kHotKeyReleased, it->second.id);
}

bool X11GlobalShortcutService::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t" || m_grabs.empty())
        return false;
    auto *generic = static_cast<xcb_generic_event_t *>(message);
    const uint8_t type = generic->response_type & ~0x80;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    // Press and release share one layout.
    auto *key = reinterpret_cast<xcb_key_press_event_t *>(generic);
    const uint16_t held = key->state & kAllModifiers & ~(XCB_MOD_MASK_LOCK | m_numLockMask);

    const bool press = type == XCB_KEY_PRESS;
    std::optional<Registration> match;
    for (const auto &[ref, grab] : m_grabs) {
        // The modifiers may already be up when the key is released.
        if (grab.keycode == key->detail && (press ? held == grab.xModifiers : grab.down)) {
            match = ref;
            break;
        }
    }
    if (!match)
        return false;

    Grab &grab = m_grabs[*match];
    if (!press) {
        grab.pendingReleaseTime = key->time ? key->time : 1;
        const Registration pending = *match;
        QMetaObject::invokeMethod(this, [this, pending] { flushRelease(pending); }, Qt::QueuedConnection);
        return true;
    }
    // WORKAROUND: without detectable auto-repeat the server sends a release
    // and a press with the same time for each repeat; the release is held
    // back until the loop is idle so the pair can be recognised and dropped.
    if (grab.pendingReleaseTime != 0 && grab.pendingReleaseTime == key->time) {
        grab.pendingReleaseTime = 0;
        return true;
    }
    if (grab.pendingReleaseTime != 0) {
        flushRelease(*match); // may run a handler that drops the grab
        if (!m_grabs.count(*match))
            return true;
    }
    Grab &current = m_grabs[*match];
    if (current.down)
        return true; // detectable auto-repeat: presses without releases
    current.down = true;
    const HotKeyId id = current.id;
    return m_handlers.dispatch(kHotKeyPressed, id) != kEventNotHandledErr;
}
