#pragma once

#include <cstdint>
#include <optional>

#include <QByteArray>
#include <QString>

// The stored shortcut: a positional key code, the modifier flags (only shift,
// control, option and command bits are kept by the recorder) and the text
// shown to the user. Stored as a JSON object with exactly the keys
// "keyCode", "modifiers" and "display".
struct KeyComboDTO {
    uint32_t keyCode = 0;
    uint64_t modifiers = 0;
    QString display;

    // keyCode 9 (V), modifiers 0x120000 (command + shift), display "⌘⇧V".
    static KeyComboDTO defaultCombo();

    QByteArray toJson() const;
    // None unless `json` is an object holding all three keys with the right
    // types: non-negative integral numbers in range, and a string.
    static std::optional<KeyComboDTO> fromJson(const QByteArray &json);

    friend bool operator==(const KeyComboDTO &, const KeyComboDTO &) = default;
};
