#include "fakeglobalshortcutservice.h"

int FakeGlobalShortcutService::registerHotKey(uint32_t keyCode, uint32_t modifiers, HotKeyId id,
                                              Registration *registration)
{
    ++m_registerCalls;
    if (m_refused.count({keyCode, modifiers}) || grabFor(keyCode, modifiers))
        return kHotKeyExistsErr;
    const Registration ref = m_nextRegistration++;
    m_grabs[ref] = Grab{keyCode, modifiers, id};
    if (registration)
        *registration = ref;
    return kNoErr;
}

int FakeGlobalShortcutService::unregisterHotKey(std::optional<Registration> registration)
{
    m_unregisterCalls.push_back(registration);
    if (!registration || !m_grabs.erase(*registration))
        return kHotKeyInvalidErr;
    return kNoErr;
}

int FakeGlobalShortcutService::installEventHandler(EventHandler handler, HandlerRef *ref)
{
    return m_handlers.install(std::move(handler), ref);
}

void FakeGlobalShortcutService::refuse(uint32_t keyCode, uint32_t modifiers) { m_refused.insert({keyCode, modifiers}); }

int FakeGlobalShortcutService::deliver(const Event &event)
{
    return m_handlers.dispatch(event);
}

int FakeGlobalShortcutService::press(uint32_t keyCode, uint32_t modifiers)
{
    return deliverKind(kHotKeyPressed, keyCode, modifiers);
}

int FakeGlobalShortcutService::release(uint32_t keyCode, uint32_t modifiers)
{
    return deliverKind(kHotKeyReleased, keyCode, modifiers);
}

const FakeGlobalShortcutService::Grab *FakeGlobalShortcutService::grabFor(uint32_t keyCode, uint32_t modifiers) const
{
    for (const auto &[ref, grab] : m_grabs) {
        if (grab.keyCode == keyCode && grab.modifiers == modifiers)
            return &grab;
    }
    return nullptr;
}

int FakeGlobalShortcutService::deliverKind(uint32_t kind, uint32_t keyCode, uint32_t modifiers)
{
    const Grab *grab = grabFor(keyCode, modifiers);
    if (!grab)
        return kEventNotHandledErr;
    Event event;
    event.kind = kind;
    event.hotKeyId = grab->id;
    return deliver(event);
}
