#include "hotkey.h"

#include "hotkey/hotkeyscontroller.h"

HotKey::HotKey(HotKeysController &controller, const KeyCombo &combo, Handler keyDown, Handler keyUp)
    : m_controller(controller),
      m_identifier(QUuid::createUuid()),
      m_keyCombo(combo),
      m_keyDownHandler(std::move(keyDown)),
      m_keyUpHandler(std::move(keyUp))
{
    m_controller.registerHotKey(*this);
}

HotKey::HotKey(HotKeysController &controller, uint32_t carbonKeyCode, uint32_t carbonModifiers, Handler keyDown,
               Handler keyUp)
    : HotKey(controller, KeyCombo(carbonKeyCode, carbonModifiers), std::move(keyDown), std::move(keyUp))
{
}

HotKey::HotKey(HotKeysController &controller, Key key, uint64_t modifierFlags, Handler keyDown, Handler keyUp)
    : HotKey(controller, KeyCombo(key, modifierFlags), std::move(keyDown), std::move(keyUp))
{
}

HotKey::~HotKey() { m_controller.unregisterHotKey(*this); }

void HotKey::setPaused(bool paused)
{
    m_isPaused = paused;
    if (paused)
        m_controller.unregisterHotKey(*this);
    else
        m_controller.registerHotKey(*this);
}
