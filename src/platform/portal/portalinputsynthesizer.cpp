#include "portalinputsynthesizer.h"

#include <QDBusObjectPath>

#include "platform/logger.h"
#include "platform/portal/portalbus.h"
#include "platform/portal/portalrequest.h"
#include "platform/userdefaults.h"

namespace {

const QString kInterface = QStringLiteral("org.freedesktop.portal.RemoteDesktop");
constexpr uint32_t kKeyboardDevice = 1;
constexpr uint32_t kPersistUntilRevoked = 2;
constexpr uint32_t kReleased = 0;
constexpr uint32_t kPressed = 1;

} // namespace

PortalInputSynthesizer::PortalInputSynthesizer(UserDefaults &defaults, std::function<void()> handPastePrompt,
                                               QString busAddress, QObject *parent)
    : QObject(parent), m_defaults(defaults), m_handPastePrompt(std::move(handPastePrompt)),
      m_connection(PortalBus::connectionName(busAddress)),
      m_version(PortalBus::interfaceVersion(busAddress, kInterface).value_or(1))
{
}

PortalInputSynthesizer::~PortalInputSynthesizer()
{
    PortalBus::closeSession(m_connection, m_session);
}

std::optional<uint32_t> PortalInputSynthesizer::offeredVersion(const QString &busAddress)
{
    return PortalBus::interfaceVersion(busAddress, kInterface);
}

void PortalInputSynthesizer::restore()
{
    if (m_defaults.stringValue(kRestoreTokenKey).value_or(QString()).isEmpty())
        return;
    start(false);
}

bool PortalInputSynthesizer::isTrusted() const { return m_state == State::Started; }

void PortalInputSynthesizer::promptForTrust() { start(true); }

void PortalInputSynthesizer::start(bool asked)
{
    if (m_state != State::Idle)
        return;
    m_state = State::Starting;
    const uint64_t generation = ++m_generation;
    const QVariantMap options{{QStringLiteral("session_handle_token"), PortalBus::nextToken()}};
    PortalRequest::send(m_connection, kInterface, QStringLiteral("CreateSession"), {options}, this,
                        [this, generation, asked](uint32_t response, const QVariantMap &results) {
                            if (generation != m_generation)
                                return;
                            m_session = PortalBus::pathFrom(results.value(QStringLiteral("session_handle")));
                            if (response != PortalRequest::kSuccess || m_session.isEmpty()) {
                                fail(QStringLiteral("Paste: the desktop refused a remote desktop session (response %1)")
                                         .arg(response),
                                     asked);
                                return;
                            }
                            selectDevices(generation, asked);
                        });
}

void PortalInputSynthesizer::selectDevices(uint64_t generation, bool asked)
{
    QVariantMap options{{QStringLiteral("types"), kKeyboardDevice}};
    // Persistence and restore tokens came with version 2 of the interface.
    if (m_version >= 2) {
        options.insert(QStringLiteral("persist_mode"), kPersistUntilRevoked);
        const QString token = m_defaults.stringValue(kRestoreTokenKey).value_or(QString());
        if (!token.isEmpty())
            options.insert(QStringLiteral("restore_token"), token);
    }
    const QVariantList arguments{QVariant::fromValue(QDBusObjectPath(m_session)), options};
    PortalRequest::send(m_connection, kInterface, QStringLiteral("SelectDevices"), arguments, this,
                        [this, generation, asked](uint32_t response, const QVariantMap &) {
                            if (generation != m_generation)
                                return;
                            if (response != PortalRequest::kSuccess) {
                                fail(QStringLiteral("Paste: the desktop refused the keyboard (response %1)").arg(response),
                                     asked);
                                return;
                            }
                            startSession(generation, asked);
                        });
}

void PortalInputSynthesizer::startSession(uint64_t generation, bool asked)
{
    const QVariantList arguments{QVariant::fromValue(QDBusObjectPath(m_session)), QString(), QVariantMap()};
    PortalRequest::send(
        m_connection, kInterface, QStringLiteral("Start"), arguments, this,
        [this, generation, asked](uint32_t response, const QVariantMap &results) {
            if (generation != m_generation)
                return;
            if (response == PortalRequest::kCancelled) {
                fail(QStringLiteral("Paste: the user refused synthetic keys in the desktop's dialog"), asked);
                return;
            }
            if (response != PortalRequest::kSuccess) {
                fail(QStringLiteral("Paste: the desktop did not start the remote desktop session (response %1)")
                         .arg(response),
                     asked);
                return;
            }
            if (!(results.value(QStringLiteral("devices")).toUInt() & kKeyboardDevice)) {
                fail(QStringLiteral("Paste: the desktop started the session without the keyboard"), asked);
                return;
            }
            // Single use: the next session needs the one handed back now.
            const QString token = results.value(QStringLiteral("restore_token")).toString();
            if (!token.isEmpty()) {
                m_defaults.setString(kRestoreTokenKey, token);
                m_defaults.sync();
            }
            m_state = State::Started;
            delete m_closedListener;
            m_closedListener = PortalBus::connectSignal(
                m_connection, m_session, QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Closed"),
                this, [this](const QVariantList &) {
                    Log::info(QStringLiteral("Paste: the desktop closed the remote desktop session"));
                    ++m_generation;
                    m_session.clear();
                    m_state = State::Idle;
                    m_closedListener->deleteLater();
                    m_closedListener = nullptr;
                    emit sessionChanged();
                });
            Log::info(QStringLiteral("Paste: the desktop allows synthetic keys (remote desktop session)"));
            emit sessionChanged();
        });
}

void PortalInputSynthesizer::fail(const QString &line, bool asked)
{
    Log::error(line);
    PortalBus::closeSession(m_connection, m_session);
    m_session.clear();
    m_state = State::Idle;
    emit sessionChanged();
    if (asked && m_handPastePrompt)
        m_handPastePrompt();
}

void PortalInputSynthesizer::sendPasteChord(PasteChord chord)
{
    if (!isTrusted())
        return;
    // Modifiers the user still holds cannot be released from here: the
    // portal's keyboard is a device of its own and only knows its own keys.
    // By the time a card is chosen the shortcut's keys are long up.
    const bool withShift = chord == PasteChord::CtrlShiftV;
    sendKey(kKeyLeftCtrl, true);
    if (withShift)
        sendKey(kKeyLeftShift, true);
    sendKey(kKeyV, true);
    sendKey(kKeyV, false);
    if (withShift)
        sendKey(kKeyLeftShift, false);
    sendKey(kKeyLeftCtrl, false);
}

void PortalInputSynthesizer::sendKey(int keycode, bool pressed)
{
    // One connection keeps the calls in order.
    PortalBus::callAndForget(m_connection, QStringLiteral("/org/freedesktop/portal/desktop"), kInterface,
                             QStringLiteral("NotifyKeyboardKeycode"),
                             {QVariant::fromValue(QDBusObjectPath(m_session)), QVariantMap(), keycode,
                              pressed ? kPressed : kReleased},
                             QStringLiteral("sending key %1").arg(keycode));
}
