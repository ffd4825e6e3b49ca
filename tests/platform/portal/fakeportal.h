#pragma once

#include <cstdint>
#include <memory>

#include <QList>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QVariantMap>

// Just enough of org.freedesktop.portal.Desktop for our portal clients:
// the host app registry, GlobalShortcuts and RemoteDesktop with their
// Request objects (each answered at once by a Response signal sent to the
// caller), Session.Close, and the version properties. It owns the portal's
// name on the given bus, answers from a thread of its own (so a client may
// block on it from the main thread), and records what it receives. Set the
// answers before the client calls; every call is thread-safe.
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
    // How the portal and its user answer.
    struct Answers {
        uint32_t globalShortcutsVersion = 1; // 0: no such interface
        uint32_t remoteDesktopVersion = 2;   // 0: no such interface
        uint32_t bindResponse = 0;
        // What the user answers in the remote desktop dialog.
        uint32_t consentResponse = 0;
        uint32_t devicesGranted = 1;
    };
    // What the portal received and handed out so far.
    struct Record {
        // Every portal call, as "Interface.Method" with the interface's last
        // name ("Registry.Register", "GlobalShortcuts.BindShortcuts").
        QStringList calls;
        QStringList registeredAppIds;
        // Shortcuts of each BindShortcuts call, in order.
        QList<QList<Shortcut>> binds;
        QString shortcutSession;      // the last one made
        QList<QVariantMap> selectDevicesOptions;
        // Dialogs shown to the user by Start (not counting restored sessions).
        int consentDialogs = 0;
        QString remoteDesktopSession; // the last one made
        QList<Key> keys;
        QStringList closedSessions;
    };

    explicit FakePortal(const QString &busAddress) : FakePortal(busAddress, Answers()) {}
    FakePortal(const QString &busAddress, const Answers &answers);
    ~FakePortal();
    FakePortal(const FakePortal &) = delete;
    FakePortal &operator=(const FakePortal &) = delete;

    // Whether it owns org.freedesktop.portal.Desktop on the bus.
    bool isServing() const;
    void setAnswers(const Answers &answers);
    Record record() const;

    // Sends GlobalShortcuts.Activated (or Deactivated) for the last session
    // to the client that made it.
    void sendShortcutSignal(const QString &shortcutId, bool activated);
    // The user gives a bound shortcut of the last session another trigger
    // (GlobalShortcuts.ShortcutsChanged).
    void sendShortcutsChanged(const QString &shortcutId, const QString &triggerDescription);
    // The desktop ends the last remote desktop session (Session.Closed).
    void closeRemoteDesktopSession();

    class Server;

private:
    std::unique_ptr<QThread> m_thread;
    Server *m_server = nullptr;
};
