#pragma once

#include <functional>

#include <QObject>
#include <QUuid>

#include "hotkey/key.h"
#include "hotkey/keycombo.h"

class HotKeysController;

// One registration of a key combination with its handlers. Registered with
// the controller from creation until it is destroyed or paused; the
// controller must outlive it. Handlers may be replaced at any time and run on
// the main thread. Main thread only.
class HotKey final : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void()>;

    HotKey(HotKeysController &controller, const KeyCombo &combo, Handler keyDown = {}, Handler keyUp = {});
    // From a service key code and modifier mask.
    HotKey(HotKeysController &controller, uint32_t carbonKeyCode, uint32_t carbonModifiers,
           Handler keyDown = {}, Handler keyUp = {});
    // From a key and modifier flags.
    HotKey(HotKeysController &controller, Key key, uint64_t modifierFlags, Handler keyDown = {},
           Handler keyUp = {});
    // Unregisters.
    ~HotKey() override;

    const QUuid &identifier() const { return m_identifier; }
    const KeyCombo &keyCombo() const { return m_keyCombo; }

    const Handler &keyDownHandler() const { return m_keyDownHandler; }
    void setKeyDownHandler(Handler handler) { m_keyDownHandler = std::move(handler); }
    const Handler &keyUpHandler() const { return m_keyUpHandler; }
    void setKeyUpHandler(Handler handler) { m_keyUpHandler = std::move(handler); }

    bool isPaused() const { return m_isPaused; }
    // True unregisters; false registers again (under a new id).
    void setPaused(bool paused);

private:
    HotKeysController &m_controller;
    QUuid m_identifier;
    KeyCombo m_keyCombo;
    Handler m_keyDownHandler;
    Handler m_keyUpHandler;
    bool m_isPaused = false;
};
