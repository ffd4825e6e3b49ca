#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include <QObject>
#include <QString>

#include "platform/inputsynthesizer.h"

class UserDefaults;

// Paste keys through the desktop portal's RemoteDesktop interface (GNOME and
// KDE under Wayland): a remote desktop session with keyboard access, asked
// for with persistence until revoked, so the desktop asks the user once and
// hands back a restore token; the token is kept under
// "bramblet.portal.restoreToken" in the user defaults and later sessions
// start from it without a dialog (the portal consumes each token and returns
// the next one). The session stays open for the run; "trusted" means it is
// started with keyboard access. A refusal leaves it untrusted and shows the
// paste-by-hand prompt; a later prompt asks the desktop again. Chords go out
// as evdev key codes. Main thread only.
class PortalInputSynthesizer final : public QObject, public InputSynthesizer
{
    Q_OBJECT
public:
    static inline const QString kRestoreTokenKey = QStringLiteral("bramblet.portal.restoreToken");
    // The evdev codes of the chord's keys.
    static constexpr int kKeyLeftCtrl = 29;
    static constexpr int kKeyLeftShift = 42;
    static constexpr int kKeyV = 47;

    // `handPastePrompt` tells the user to paste by hand (run when the desktop
    // refuses). An empty `busAddress` is the user's session bus. Reads the
    // interface version from the portal (blocks up to two seconds).
    PortalInputSynthesizer(UserDefaults &defaults, std::function<void()> handPastePrompt,
                           QString busAddress = QString(), QObject *parent = nullptr);
    // Closes the session.
    ~PortalInputSynthesizer() override;

    // The interface version the portal on that bus offers; none when it
    // offers no RemoteDesktop interface. Blocks up to two seconds.
    static std::optional<uint32_t> offeredVersion(const QString &busAddress = QString());

    // Starts the session when a restore token is stored (no dialog unless the
    // desktop dropped the permission); does nothing otherwise, so the first
    // paste asks.
    void restore();

    bool isTrusted() const override;
    // Starts a session, which makes the desktop ask the user unless a stored
    // token restores it; does nothing while a start is under way.
    void promptForTrust() override;
    void sendPasteChord(PasteChord chord) override;

    bool isStarting() const { return m_state == State::Starting; }

signals:
    // The session started, failed to start, or was closed by the desktop.
    void sessionChanged();

private:
    enum class State { Idle, Starting, Started };

    void start(bool asked);
    void selectDevices(uint64_t generation, bool asked);
    void startSession(uint64_t generation, bool asked);
    void fail(const QString &line, bool asked);
    void sendKey(int keycode, bool pressed);

    UserDefaults &m_defaults;
    std::function<void()> m_handPastePrompt;
    QString m_connection;
    QString m_session;
    QObject *m_closedListener = nullptr;
    uint32_t m_version = 1;
    uint64_t m_generation = 0;
    State m_state = State::Idle;
};
