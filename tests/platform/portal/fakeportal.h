#pragma once

#include <cstdint>
#include <memory>

#include <QList>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QVariantMap>

// Just enough of org.freedesktop.portal.Desktop for our portal clients: the
// host app registry, GlobalShortcuts and RemoteDesktop with their Request
// objects (each answered at once by a Response signal to the caller),
// Session.Close and the version properties. It owns the portal's name on the
// given bus, answers from a thread of its own (a client may block on it from
// the main thread) and records what it receives. Every call is thread-safe.
class FakePortal final
{
public:
    struct Shortcut {
        QString id;
        QString description;
        QString preferredTrigger;
    };
    struct Key {
        int keycode = 0;
        uint32_t state = 0; // 1 pressed, 0 released

        friend bool operator==(const Key &, const Key &) = default;
    };
    // What the portal received and handed out so far.
    struct Record {
        // Every portal call as "Interface.Method", the interface by its last name.
        QStringList calls;
        // Shortcuts of each BindShortcuts call, in order.
        QList<QList<Shortcut>> binds;
        QString shortcutSession; // the last one made
        QList<QVariantMap> selectDevicesOptions;
        // Dialogs shown to the user by Start (not counting restored sessions).
        int consentDialogs = 0;
        QString remoteDesktopSession; // the last one made
        QList<Key> keys;
        QStringList closedSessions;
    };

    explicit FakePortal(const QString &busAddress);
    ~FakePortal();
    FakePortal(const FakePortal &) = delete;
    FakePortal &operator=(const FakePortal &) = delete;

    // Whether it owns org.freedesktop.portal.Desktop on the bus.
    bool isServing() const;
    // What the user answers in the remote desktop dialog from now on (0 allows).
    void setConsentResponse(uint32_t response);
    Record record() const;

    // Sends GlobalShortcuts.Activated (or Deactivated) for the last session
    // to the client that made it.
    void sendShortcutSignal(const QString &shortcutId, bool activated);
    // The desktop ends the last remote desktop session (Session.Closed).
    void closeRemoteDesktopSession();

    class Server;

private:
    std::unique_ptr<QThread> m_thread;
    Server *m_server = nullptr;
};
