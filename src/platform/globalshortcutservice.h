#pragma once

#include <cstdint>
#include <functional>
#include <optional>

// The system-wide shortcut service: registers a (virtual key code, modifier
// mask) pair under an id chosen by the caller and reports presses and
// releases of registered pairs to the installed event handlers, whatever
// window has the focus. Key codes are the positional virtual key codes of the
// hot-key layer; the mask holds command 0x100, shift 0x200, option 0x800 and
// control 0x1000. Main thread only; events arrive from the main event loop.
class GlobalShortcutService
{
public:
    // Status codes of the service and of event handlers.
    static constexpr int kNoErr = 0;
    static constexpr int kEventNotHandledErr = -9874;
    // An event that carries no readable hot-key id.
    static constexpr int kEventParameterNotFoundErr = -9870;
    // The combination is held by another program.
    static constexpr int kHotKeyExistsErr = -9878;
    // The key has no position here, or the service is unavailable.
    static constexpr int kHotKeyInvalidErr = -9879;

    static constexpr uint32_t kHotKeyPressed = 5;
    static constexpr uint32_t kHotKeyReleased = 6;

    struct HotKeyId {
        uint32_t signature = 0;
        uint32_t id = 0;
    };

    // One press or release of a registered combination.
    struct Event {
        uint32_t kind = kHotKeyPressed;
        HotKeyId hotKeyId;
        // Status of reading the id from the event: kNoErr when it carries one.
        int parameterStatus = kNoErr;
    };

    using Registration = uint64_t;
    using HandlerRef = uint64_t;
    // Returns kNoErr when it handled the event, kEventNotHandledErr to pass it on.
    using EventHandler = std::function<int(const Event *event)>;

    virtual ~GlobalShortcutService() = default;
    GlobalShortcutService() = default;
    GlobalShortcutService(const GlobalShortcutService &) = delete;
    GlobalShortcutService &operator=(const GlobalShortcutService &) = delete;

    // Registers the pair under `id`; kNoErr and `*registration` set on success,
    // kHotKeyExistsErr or kHotKeyInvalidErr (registration untouched) otherwise.
    virtual int registerHotKey(uint32_t keyCode, uint32_t modifiers, HotKeyId id,
                               Registration *registration) = 0;
    // Releases a registration; an empty or unknown one returns kHotKeyInvalidErr.
    virtual int unregisterHotKey(std::optional<Registration> registration) = 0;
    // Adds a handler that sees every later event, in installation order, until
    // one returns something other than kEventNotHandledErr. Returns kNoErr.
    virtual int installEventHandler(EventHandler handler, HandlerRef *ref) = 0;
};
