#include "x11inputsynthesizer.h"

#include <cstdlib>
#include <vector>

#include <QMessageBox>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include "platform/logger.h"
#include "x11connection.h"

namespace {

constexpr xcb_keysym_t kControlL = 0xffe3;
constexpr xcb_keysym_t kShiftL = 0xffe1;
constexpr xcb_keysym_t kLowerV = 0x0076;
// evdev KEY_V + 8: the V position when the layout has no 'v' keysym at all.
constexpr xcb_keycode_t kPositionalV = 47 + 8;

xcb_keycode_t keycodeFor(xcb_key_symbols_t *symbols, xcb_keysym_t sym)
{
    xcb_keycode_t *codes = xcb_key_symbols_get_keycode(symbols, sym);
    const xcb_keycode_t code = codes ? codes[0] : 0;
    free(codes);
    return code == XCB_NO_SYMBOL ? 0 : code;
}

void fakeKey(xcb_connection_t *c, uint8_t type, xcb_keycode_t code)
{
    xcb_test_fake_input(c, type, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
}

// Keycodes bound to any modifier that are down right now.
std::vector<xcb_keycode_t> heldModifierKeys(xcb_connection_t *c)
{
    std::vector<xcb_keycode_t> held;
    xcb_query_keymap_reply_t *keymap = xcb_query_keymap_reply(c, xcb_query_keymap(c), nullptr);
    xcb_get_modifier_mapping_reply_t *mapping =
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr);
    if (keymap && mapping) {
        const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(mapping);
        const int count = xcb_get_modifier_mapping_keycodes_length(mapping);
        for (int i = 0; i < count; ++i) {
            const xcb_keycode_t code = codes[i];
            if (code == 0)
                continue;
            if (keymap->keys[code / 8] & (1u << (code % 8))) {
                bool seen = false;
                for (xcb_keycode_t h : held)
                    seen = seen || h == code;
                if (!seen)
                    held.push_back(code);
            }
        }
    }
    free(keymap);
    free(mapping);
    return held;
}

} // namespace

X11InputSynthesizer::~X11InputSynthesizer() { delete m_prompt.data(); }

bool X11InputSynthesizer::isTrusted() const
{
    xcb_connection_t *c = X11Connection::connection();
    if (!c)
        return false;
    const xcb_query_extension_reply_t *ext = xcb_get_extension_data(c, &xcb_test_id);
    return ext && ext->present;
}

void X11InputSynthesizer::promptForTrust()
{
    // X servers have no permission for synthetic input; a server without
    // XTEST (or a pure Wayland session) cannot be talked into it, so the
    // prompt explains the hand paste instead.
    Log::info(QStringLiteral("Paste: the X server offers no XTEST extension; synthetic keys are unavailable"));
    if (m_prompt) {
        m_prompt->raise();
        return;
    }
    m_prompt = new QMessageBox(QMessageBox::Information, QStringLiteral("Collage automatique indisponible"),
                               QStringLiteral("Le clip choisi est dans le presse-papiers, mais cette session ne permet "
                                              "pas à Bramblet d’envoyer la touche de collage (extension XTest absente "
                                              "ou session Wayland)."),
                               QMessageBox::Ok);
    m_prompt->setInformativeText(QStringLiteral("Collez-le vous-même avec Ctrl+V (Ctrl+Maj+V dans un terminal)."));
    m_prompt->setAttribute(Qt::WA_DeleteOnClose);
    m_prompt->setWindowModality(Qt::NonModal);
    m_prompt->show();
}

void X11InputSynthesizer::sendPasteChord(PasteChord chord)
{
    if (!isTrusted())
        return;
    xcb_connection_t *c = X11Connection::connection();
    xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(c);
    if (!symbols)
        return;
    const xcb_keycode_t ctrl = keycodeFor(symbols, kControlL);
    const xcb_keycode_t shift = keycodeFor(symbols, kShiftL);
    xcb_keycode_t v = keycodeFor(symbols, kLowerV);
    xcb_key_symbols_free(symbols);
    if (v == 0)
        v = kPositionalV;
    if (ctrl == 0)
        return;

    // The shortcut's own Super/Shift may still be down; the target must see
    // Ctrl+V alone. The physical release that follows later is harmless.
    for (xcb_keycode_t held : heldModifierKeys(c))
        fakeKey(c, XCB_KEY_RELEASE, held);

    const bool withShift = chord == PasteChord::CtrlShiftV && shift != 0;
    fakeKey(c, XCB_KEY_PRESS, ctrl);
    if (withShift)
        fakeKey(c, XCB_KEY_PRESS, shift);
    fakeKey(c, XCB_KEY_PRESS, v);
    fakeKey(c, XCB_KEY_RELEASE, v);
    if (withShift)
        fakeKey(c, XCB_KEY_RELEASE, shift);
    fakeKey(c, XCB_KEY_RELEASE, ctrl);
    xcb_flush(c);
}
