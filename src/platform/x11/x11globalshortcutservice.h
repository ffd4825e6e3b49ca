#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include <QAbstractNativeEventFilter>
#include <QObject>

#include "platform/globalshortcutservice.h"
#include "platform/shortcuteventhandlers.h"

// Global shortcuts on X11: each registration is a passive key grab on the
// root window, at the key's physical position (evdev code + 8), with Super,
// Ctrl, Alt and Shift for command, control, option and shift, repeated with
// Caps Lock and Num Lock set so the lock states do not matter. Presses and
// releases come back through a native event filter on Qt's xcb connection;
// auto-repeated presses are dropped. A grab the server refuses (another
// program holds it) logs one error line naming the combination and returns
// kHotKeyExistsErr. Without an X connection (offscreen, Wayland) it logs once
// and every registration returns kHotKeyInvalidErr. Main thread only; needs
// a QGuiApplication.
class X11GlobalShortcutService final : public QObject, public GlobalShortcutService, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    X11GlobalShortcutService();
    // Releases every grab.
    ~X11GlobalShortcutService() override;

    int registerHotKey(uint32_t keyCode, uint32_t modifiers, HotKeyId id, Registration *registration) override;
    int unregisterHotKey(std::optional<Registration> registration) override;
    int installEventHandler(EventHandler handler, HandlerRef *ref) override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

    // "Super+Shift+V": how log lines name a combination.
    static QString comboName(uint32_t keyCode, uint32_t modifiers);

private:
    struct Grab {
        uint8_t keycode = 0;
        uint16_t xModifiers = 0;
        HotKeyId id;
        bool down = false;
        // Timestamp of a release waiting to be reported; 0 when none.
        uint32_t pendingReleaseTime = 0;
    };

    uint16_t xModifiersFor(uint32_t modifiers) const;
    // Releases the grab and its lock variants (only ours: never another client's).
    void ungrabVariants(const Grab &grab);
    void flushRelease(Registration ref);

    std::map<Registration, Grab> m_grabs;
    ShortcutEventHandlers m_handlers;
    Registration m_nextRegistration = 1;
    uint16_t m_numLockMask = 0;
    uint16_t m_superMask = 0;
    uint16_t m_altMask = 0;
    bool m_available = false;
};
