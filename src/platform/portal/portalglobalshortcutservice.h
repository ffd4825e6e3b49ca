#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include "platform/globalshortcutservice.h"
#include "platform/shortcuteventhandlers.h"

// Global shortcuts through the desktop portal's GlobalShortcuts interface
// (Wayland desktops that offer it: KDE Plasma, GNOME 48+, Hyprland). The
// registered combinations are bound in one portal session, each with its
// combination as the preferred trigger (the desktop may ask the user, or keep
// a trigger the user chose there before). A portal session binds only once,
// so every change of the registrations replaces the session with a new one,
// once the event loop is idle. The portal's Activated and Deactivated
// signals are reported as presses and releases. Registration succeeds at
// once; what the desktop then refuses is logged, not returned. A key with no
// keysym returns kHotKeyInvalidErr, a trigger registered twice
// kHotKeyExistsErr. Main thread only.
class PortalGlobalShortcutService final : public QObject, public GlobalShortcutService
{
    Q_OBJECT
public:
    // `description` is what the desktop shows for the shortcuts; an empty
    // `busAddress` is the user's session bus.
    explicit PortalGlobalShortcutService(QString description, QString busAddress = QString(),
                                         QObject *parent = nullptr);
    // Closes the portal session.
    ~PortalGlobalShortcutService() override;

    // The interface version the portal on that bus offers; none when it
    // offers no GlobalShortcuts interface. Blocks up to two seconds.
    static std::optional<uint32_t> offeredVersion(const QString &busAddress = QString());

    int registerHotKey(uint32_t keyCode, uint32_t modifiers, HotKeyId id, Registration *registration) override;
    int unregisterHotKey(std::optional<Registration> registration) override;
    int installEventHandler(EventHandler handler, HandlerRef *ref) override;

    // The triggers the desktop reported for the last binding, by shortcut id,
    // as it later changed them (empty until it answered, or when it bound
    // nothing).
    const std::map<QString, QString> &boundTriggers() const { return m_boundTriggers; }

signals:
    // The desktop answered a binding, whatever the answer.
    void bindingFinished();
    // The user gave a bound shortcut another trigger in the desktop's settings.
    void triggersChanged();

private:
    struct Shortcut {
        QString trigger;
        QString shortcutId;
        HotKeyId id;
        bool down = false;
    };

    void scheduleRebind();
    void rebind();
    void bind(uint64_t generation);
    void finishBinding(uint32_t response, const QVariantMap &results);
    void onSignal(const QVariantList &arguments, bool activated);
    void onShortcutsChanged(const QVariantList &arguments);

    QString m_description;
    QString m_connection;
    QString m_session;
    uint64_t m_generation = 0;
    bool m_rebindQueued = false;
    std::map<Registration, Shortcut> m_shortcuts;
    std::map<QString, QString> m_boundTriggers;
    ShortcutEventHandlers m_handlers;
    Registration m_nextRegistration = 1;
};
