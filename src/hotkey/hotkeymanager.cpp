#include "hotkeymanager.h"

#include "hotkey/hotkey.h"
#include "hotkey/hotkeyscontroller.h"
#include "hotkey/keycombo.h"
#include "hotkey/modifierflags.h"
#include "hotkey/shortcutdisplay.h"
#include "platform/userdefaults.h"

HotKeyManager::HotKeyManager(HotKeysController &controller, UserDefaults &defaults,
                             std::function<void()> toggleAction, QObject *parent)
    : QObject(parent), m_controller(controller), m_defaults(defaults), m_toggleAction(std::move(toggleAction))
{
    std::optional<KeyComboDTO> stored;
    if (const auto bytes = m_defaults.bytesValue(kDefaultsKey))
        stored = KeyComboDTO::fromJson(*bytes);
    if (stored)
        stored->display = ShortcutDisplay::readable(*stored);
    // Assigning the default also writes it, so a missing or broken value is
    // replaced in the defaults at once.
    setCombo(stored ? *stored : KeyComboDTO::defaultCombo());
    reregister();
}

HotKeyManager::~HotKeyManager() = default;

void HotKeyManager::setCombo(std::optional<KeyComboDTO> combo)
{
    m_combo = std::move(combo);
    saveCombo();
    reregister();
    emit comboChanged();
}

void HotKeyManager::setComboFrom(const KeyDownEvent &event)
{
    const uint64_t flags = event.modifierFlags & ModifierFlags::kDeviceIndependentMask;
    setCombo(KeyComboDTO{event.keyCode, flags,
                         ShortcutDisplay::forPress(flags, event.keyCode, event.charactersIgnoringModifiers)});
}

void HotKeyManager::saveCombo()
{
    if (!m_combo)
        return;
    const QByteArray json = m_combo->toJson();
    if (json.isEmpty())
        return;
    m_defaults.setBytes(kDefaultsKey, json);
    // Nothing runs at quit: the value must be on disk now.
    m_defaults.sync();
}

void HotKeyManager::reregister()
{
    m_hotKey.reset();
    if (!m_combo)
        return;
    const std::optional<Key> key = Keys::fromCarbonKeyCode(m_combo->keyCode);
    if (!key)
        return;
    m_hotKey = std::make_unique<HotKey>(m_controller, KeyCombo(*key, m_combo->modifiers));
    m_hotKey->setKeyDownHandler([this] {
        if (m_toggleAction)
            m_toggleAction();
    });
}
