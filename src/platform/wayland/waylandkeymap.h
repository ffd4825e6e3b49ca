#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

// The keymap our virtual keyboard announces: a plain US layout compiled with
// xkbcommon, so the keys we send mean the same whatever layout the user has.
class WaylandKeymap final
{
public:
    // Linux input key codes (evdev) of the keys a paste chord uses.
    static constexpr quint32 kLeftCtrl = 29;
    static constexpr quint32 kLeftShift = 42;
    static constexpr quint32 kV = 47;

    // Empty when xkbcommon cannot compile the layout (no XKB data installed).
    static std::optional<WaylandKeymap> compileUs();

    // The keymap in XKB text form, NUL-terminated as the protocol wants.
    const QByteArray &text() const { return m_text; }
    // The modifier masks of Control and Shift in this keymap.
    quint32 ctrlMask() const { return m_ctrlMask; }
    quint32 shiftMask() const { return m_shiftMask; }
    // The name of the keysym the key with evdev code `key` gives without
    // modifiers ("Control_L", "v"); empty when none.
    QString keysymName(quint32 key) const;

private:
    QByteArray m_text;
    quint32 m_ctrlMask = 0;
    quint32 m_shiftMask = 0;
};
