#include "keydownevent.h"

#include <QKeyEvent>

#include "hotkey/modifierflags.h"
#include "platform/keypositions.h"

namespace {

bool isModifierOrLockKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_Mode_switch:
        return true;
    default:
        return false;
    }
}

} // namespace

std::optional<KeyDownEvent> KeyDownEvent::fromQKeyEvent(const QKeyEvent &event)
{
    // Pressing a modifier alone is a flags change, not a key press; Caps Lock
    // and Num Lock must never become part of a shortcut.
    if (isModifierOrLockKey(event.key()))
        return std::nullopt;

    KeyDownEvent out;
    const quint32 scanCode = event.nativeScanCode();
    if (const auto code = KeyPositions::virtualKeyCodeFor(scanCode))
        out.keyCode = *code;
    else
        out.keyCode = kUnpositionedKeyBase + scanCode;

    // Qt maps Super to Meta on X11; the keypad and group bits are no modifiers here.
    const Qt::KeyboardModifiers mods = event.modifiers();
    if (mods & Qt::ShiftModifier)
        out.modifierFlags |= ModifierFlags::kShift;
    if (mods & Qt::ControlModifier)
        out.modifierFlags |= ModifierFlags::kControl;
    if (mods & Qt::AltModifier)
        out.modifierFlags |= ModifierFlags::kOption;
    if (mods & Qt::MetaModifier)
        out.modifierFlags |= ModifierFlags::kCommand;

    // key() is the symbol the layout gives with Shift applied but without
    // Ctrl/Alt/Super, unlike text(); keys with no printable symbol (arrows,
    // function keys, Return, Escape) have no characters here.
    const int key = event.key();
    const char32_t symbol = char32_t(key);
    if (key > 0x20 && key < Qt::Key_Escape && QChar::isPrint(symbol))
        out.charactersIgnoringModifiers = QString::fromUcs4(&symbol, 1);
    else if (key == Qt::Key_Space)
        out.charactersIgnoringModifiers = QStringLiteral(" ");
    return out;
}

bool KeyDownEvent::hasRecordingModifier() const
{
    return (modifierFlags & ModifierFlags::kDeviceIndependentMask) != 0;
}
