#pragma once

#include <cstdint>
#include <optional>

#include <QPointer>
#include <QUuid>

#include "hotkey/hotkey.h"
#include "platform/globalshortcutservice.h"

// One registry entry: ties an issued id to a hot key, held weakly, and to the
// service's registration (none while not registered).
struct HotKeyBox {
    QUuid identifier;
    QPointer<HotKey> hotKey;
    uint32_t hotKeyId = 0;
    std::optional<GlobalShortcutService::Registration> registration;
};
