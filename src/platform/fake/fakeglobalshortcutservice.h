#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "platform/globalshortcutservice.h"
#include "platform/shortcuteventhandlers.h"

// A shortcut service driven by tests: it records registrations, refuses the
// combinations it is told to, and delivers presses and releases (or any
// hand-made event) to the installed handlers.
class FakeGlobalShortcutService final : public GlobalShortcutService
{
public:
    struct Grab {
        uint32_t keyCode = 0;
        uint32_t modifiers = 0;
        HotKeyId id;
    };

    int registerHotKey(uint32_t keyCode, uint32_t modifiers, HotKeyId id, Registration *registration) override;
    int unregisterHotKey(std::optional<Registration> registration) override;
    int installEventHandler(EventHandler handler, HandlerRef *ref) override;

    // Later registrations of this pair fail with kHotKeyExistsErr.
    void refuse(uint32_t keyCode, uint32_t modifiers);

    // Sends `event` through the handlers as the service would; returns the
    // status of the handler that took it, or kEventNotHandledErr.
    int deliver(const Event &event);
    // A press or release of a live registration (kEventNotHandledErr when the
    // pair is not registered).
    int press(uint32_t keyCode, uint32_t modifiers);
    int release(uint32_t keyCode, uint32_t modifiers);

    // Live registrations by registration reference.
    const std::map<Registration, Grab> &grabs() const { return m_grabs; }
    // The live registration of this pair, if any.
    const Grab *grabFor(uint32_t keyCode, uint32_t modifiers) const;
    int registerCalls() const { return m_registerCalls; }
    // Every unregister call, with the registration it was given.
    const std::vector<std::optional<Registration>> &unregisterCalls() const { return m_unregisterCalls; }
    int handlerCount() const { return m_handlers.count(); }

private:
    int deliverKind(uint32_t kind, uint32_t keyCode, uint32_t modifiers);

    std::map<Registration, Grab> m_grabs;
    std::set<std::pair<uint32_t, uint32_t>> m_refused;
    ShortcutEventHandlers m_handlers;
    std::vector<std::optional<Registration>> m_unregisterCalls;
    Registration m_nextRegistration = 1;
    int m_registerCalls = 0;
};
