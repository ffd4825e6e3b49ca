// The stored shortcut as read back from the settings file: the decoder, then
// what the hot-key layer makes of a decoded value (the key, the combination,
// its label, the X keycode to grab).
#include <cstddef>
#include <cstdint>

#include "fuzzsupport.h"
#include "hotkey/key.h"
#include "hotkey/keycombo.h"
#include "hotkey/keycombodto.h"
#include "platform/keypositions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray json(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<KeyComboDTO> dto = KeyComboDTO::fromJson(json);
    if (!dto)
        return 0;
    // What is saved reads back, and saves the same again.
    const QByteArray saved = dto->toJson();
    const std::optional<KeyComboDTO> again = KeyComboDTO::fromJson(saved);
    if (!again)
        Fuzz::fail("a stored shortcut that was read does not read back once saved", saved);
    if (again->toJson() != saved || again->keyCode != dto->keyCode || again->modifiers != dto->modifiers)
        Fuzz::fail("a stored shortcut changes when saved again", saved);

    if (const std::optional<Key> key = Keys::fromCarbonKeyCode(dto->keyCode)) {
        const KeyCombo combo(*key, dto->modifiers);
        if (combo.key() != key)
            Fuzz::fail("the combination lost its key", saved);
        (void)combo.modifiers();
    }
    if (const std::optional<uint8_t> keycode = KeyPositions::keycodeFor(dto->keyCode)) {
        if (KeyPositions::virtualKeyCodeFor(*keycode) != dto->keyCode)
            Fuzz::fail("the grabbed keycode maps back to another key", saved);
    }
    (void)KeyPositions::labelFor(dto->keyCode);
    return 0;
}
