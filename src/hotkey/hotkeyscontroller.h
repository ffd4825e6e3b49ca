#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>

#include "hotkey/hotkeybox.h"
#include "platform/globalshortcutservice.h"

class HotKey;

// The registry of hot keys over one shortcut service: issues ids (from 1,
// never reused), owns the service registrations and routes the service's
// events to the right HotKey. The program makes one, at its composition root;
// it must outlive every HotKey made on it. Failures are silent: a refused
// registration leaves an entry that never fires. Main thread only.
class HotKeysController final
{
public:
    // "Wqvm", first character in the most significant byte.
    static constexpr uint32_t kHotKeySignature =
        (uint32_t('W') << 24) | (uint32_t('q') << 16) | (uint32_t('v') << 8) | uint32_t('m');

    explicit HotKeysController(GlobalShortcutService &service);
    HotKeysController(const HotKeysController &) = delete;
    HotKeysController &operator=(const HotKeysController &) = delete;

    // Does nothing when the hot key already has an entry.
    void registerHotKey(HotKey &hotKey);
    // Does nothing when the hot key has no entry.
    void unregisterHotKey(const HotKey &hotKey);
    // The entry for this hot key's identifier, or null.
    std::shared_ptr<HotKeyBox> findBox(const HotKey &hotKey) const;
    // The live hot key registered under `id`; a dead entry is removed.
    HotKey *liveHotKey(uint32_t id);
    // The service callback: kNoErr when a handler ran, kEventNotHandledErr
    // when the event is not for a live, unpaused hot key of ours or no handler
    // is set, or the status of reading the event's id.
    int handleHotKeyEvent(const GlobalShortcutService::Event *event);

    const std::map<uint32_t, std::shared_ptr<HotKeyBox>> &registry() const { return m_registry; }
    uint32_t lastHotKeyID() const { return m_lastHotKeyID; }
    bool hasEventHandler() const { return m_eventHandler.has_value(); }

private:
    GlobalShortcutService &m_service;
    std::map<uint32_t, std::shared_ptr<HotKeyBox>> m_registry;
    uint32_t m_lastHotKeyID = 0;
    std::optional<GlobalShortcutService::HandlerRef> m_eventHandler;
    // The service keeps its handler for its own life; this token tells the
    // handler whether the controller is still there.
    std::shared_ptr<int> m_aliveToken = std::make_shared<int>(0);
};
