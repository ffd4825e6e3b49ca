#pragma once

#include <vector>

#include "platform/globalshortcutservice.h"

// The event handlers installed on a shortcut service, called in installation
// order until one handles the event. Shared by every backend.
class ShortcutEventHandlers final
{
public:
    using Event = GlobalShortcutService::Event;
    using EventHandler = GlobalShortcutService::EventHandler;

    // Adds `handler`; `*ref` (when given) names it. Returns kNoErr.
    int install(EventHandler handler, GlobalShortcutService::HandlerRef *ref)
    {
        m_handlers.push_back(std::move(handler));
        if (ref)
            *ref = m_handlers.size();
        return GlobalShortcutService::kNoErr;
    }

    // The first status other than kEventNotHandledErr, or kEventNotHandledErr.
    int dispatch(const Event &event) const
    {
        // A copy: a handler may install another one.
        const std::vector<EventHandler> handlers = m_handlers;
        for (const EventHandler &handler : handlers) {
            const int status = handler(&event);
            if (status != GlobalShortcutService::kEventNotHandledErr)
                return status;
        }
        return GlobalShortcutService::kEventNotHandledErr;
    }

    int dispatch(uint32_t kind, const GlobalShortcutService::HotKeyId &id) const
    {
        Event event;
        event.kind = kind;
        event.hotKeyId = id;
        return dispatch(event);
    }

    int count() const { return int(m_handlers.size()); }

private:
    std::vector<EventHandler> m_handlers;
};
