#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QObject>
#include <QString>

#include "hotkey/keycombodto.h"
#include "hotkey/keydownevent.h"

class HotKey;
class HotKeysController;
class UserDefaults;

// Owns the one user-configurable global shortcut: restores it from the user
// defaults ("bramblet.hotkey", JSON bytes) at creation, falling back to
// Super+Shift+V ("⌘⇧V") and deriving again a stored display this desktop
// cannot show (ShortcutDisplay::readable), keeps it registered and calls the
// toggle action on its key-down. Every change of the combo is saved, then re-registered, then
// comboChanged() is emitted. Failures are silent: a key with no position or a
// refused combination stays saved and shown but inactive. Main thread only.
class HotKeyManager final : public QObject
{
    Q_OBJECT
public:
    static inline const QString kDefaultsKey = QStringLiteral("bramblet.hotkey");

    HotKeyManager(HotKeysController &controller, UserDefaults &defaults, std::function<void()> toggleAction,
                  QObject *parent = nullptr);
    ~HotKeyManager() override;

    const std::optional<KeyComboDTO> &combo() const { return m_combo; }
    // Assigns, saves, re-registers, then emits comboChanged().
    void setCombo(std::optional<KeyComboDTO> combo);
    // Builds the combo from a recorded key press (display as
    // ShortcutDisplay::forPress) and assigns it.
    void setComboFrom(const KeyDownEvent &event);

    // Writes the combo to the defaults (and to disk); nothing when empty.
    void saveCombo();
    // Replaces the live registration with one for the combo.
    void reregister();

    // The live registration, or null (no combo, or a key with no position).
    const HotKey *hotKey() const { return m_hotKey.get(); }

signals:
    void comboChanged();

private:
    HotKeysController &m_controller;
    UserDefaults &m_defaults;
    std::function<void()> m_toggleAction;
    std::optional<KeyComboDTO> m_combo;
    std::unique_ptr<HotKey> m_hotKey;
};
