#include "hotkeyscontroller.h"

#include "hotkey/hotkey.h"

using Service = GlobalShortcutService;

HotKeysController::HotKeysController(GlobalShortcutService &service) : m_service(service) {}

void HotKeysController::registerHotKey(HotKey &hotKey)
{
    if (findBox(hotKey))
        return;

    const uint32_t id = ++m_lastHotKeyID;
    auto box = std::make_shared<HotKeyBox>();
    box->identifier = hotKey.identifier();
    box->hotKey = &hotKey;
    box->hotKeyId = id;
    m_registry[id] = box;

    Service::Registration registration = 0;
    const KeyCombo &combo = hotKey.keyCombo();
    const int status = m_service.registerHotKey(combo.carbonKeyCode, combo.carbonModifiers,
                                                Service::HotKeyId{kHotKeySignature, id}, &registration);
    if (status != Service::kNoErr)
        return; // the entry stays and never fires

    box->registration = registration;
    if (!m_eventHandler) {
        std::weak_ptr<int> alive = m_aliveToken;
        Service::HandlerRef ref = 0;
        m_service.installEventHandler(
            [this, alive](const Service::Event *event) {
                if (alive.expired())
                    return Service::kEventNotHandledErr;
                return handleHotKeyEvent(event);
            },
            &ref);
        m_eventHandler = ref;
    }
}

void HotKeysController::unregisterHotKey(const HotKey &hotKey)
{
    const std::shared_ptr<HotKeyBox> box = findBox(hotKey);
    if (!box)
        return;
    m_service.unregisterHotKey(box->registration);
    box->hotKey.clear();
    m_registry.erase(box->hotKeyId);
}

std::shared_ptr<HotKeyBox> HotKeysController::findBox(const HotKey &hotKey) const
{
    for (const auto &[id, box] : m_registry) {
        if (box->identifier == hotKey.identifier())
            return box;
    }
    return nullptr;
}

HotKey *HotKeysController::liveHotKey(uint32_t id)
{
    const auto it = m_registry.find(id);
    if (it != m_registry.end() && it->second->hotKey)
        return it->second->hotKey.data();
    if (it != m_registry.end())
        m_registry.erase(it);
    return nullptr;
}

int HotKeysController::handleHotKeyEvent(const GlobalShortcutService::Event *event)
{
    if (!event)
        return Service::kEventNotHandledErr;
    if (event->parameterStatus != Service::kNoErr)
        return event->parameterStatus;
    if (event->hotKeyId.signature != kHotKeySignature)
        return Service::kEventNotHandledErr;

    HotKey *hotKey = liveHotKey(event->hotKeyId.id);
    if (!hotKey)
        return Service::kEventNotHandledErr;

    HotKey::Handler handler;
    if (event->kind == Service::kHotKeyPressed)
        handler = hotKey->keyDownHandler();
    else if (event->kind == Service::kHotKeyReleased)
        handler = hotKey->keyUpHandler();
    else
        return Service::kEventNotHandledErr;
    if (hotKey->isPaused())
        return Service::kEventNotHandledErr;

    if (!handler)
        return Service::kEventNotHandledErr;
    // A copy: the handler may replace itself or destroy its hot key.
    handler();
    return Service::kNoErr;
}
