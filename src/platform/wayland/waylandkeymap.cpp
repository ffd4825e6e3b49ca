#include "waylandkeymap.h"

#include <cstdlib>
#include <cstring>

#include <xkbcommon/xkbcommon.h>

namespace {

// Keycodes in XKB are evdev codes shifted by 8.
constexpr quint32 kEvdevOffset = 8;

struct Compiled
{
    xkb_context *context = nullptr;
    xkb_keymap *keymap = nullptr;
    ~Compiled()
    {
        xkb_keymap_unref(keymap);
        xkb_context_unref(context);
    }
};

bool compile(Compiled &c, const char *text)
{
    c.context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (!c.context)
        return false;
    if (text) {
        c.keymap = xkb_keymap_new_from_string(c.context, text, XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    } else {
        const xkb_rule_names names = {"evdev", "pc105", "us", "", ""};
        c.keymap = xkb_keymap_new_from_names(c.context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    }
    return c.keymap != nullptr;
}

} // namespace

std::optional<WaylandKeymap> WaylandKeymap::compileUs()
{
    Compiled c;
    if (!compile(c, nullptr))
        return std::nullopt;
    char *text = xkb_keymap_get_as_string(c.keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    if (!text)
        return std::nullopt;
    WaylandKeymap keymap;
    keymap.m_text = QByteArray(text, qsizetype(strlen(text)) + 1);
    free(text);
    const xkb_mod_index_t ctrl = xkb_keymap_mod_get_index(c.keymap, XKB_MOD_NAME_CTRL);
    const xkb_mod_index_t shift = xkb_keymap_mod_get_index(c.keymap, XKB_MOD_NAME_SHIFT);
    if (ctrl == XKB_MOD_INVALID || shift == XKB_MOD_INVALID)
        return std::nullopt;
    keymap.m_ctrlMask = 1u << ctrl;
    keymap.m_shiftMask = 1u << shift;
    return keymap;
}

QString WaylandKeymap::keysymName(quint32 key) const
{
    // Read back from the text we send, so the answer is what the compositor
    // will understand.
    Compiled c;
    if (!compile(c, m_text.constData()))
        return QString();
    xkb_state *state = xkb_state_new(c.keymap);
    const xkb_keysym_t sym = xkb_state_key_get_one_sym(state, key + kEvdevOffset);
    xkb_state_unref(state);
    if (sym == XKB_KEY_NoSymbol)
        return QString();
    char name[64];
    xkb_keysym_get_name(sym, name, sizeof name);
    return QString::fromLatin1(name);
}
