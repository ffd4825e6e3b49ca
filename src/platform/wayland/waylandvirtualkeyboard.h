#pragma once

#include <memory>

#include "platform/inputsynthesizer.h"

class WaylandConnection;

// Synthetic keys through the zwp_virtual_keyboard_v1 protocol (wlroots
// compositors): a keyboard of our own with a US keymap, whose keys go to the
// window that has the seat's focus. Its modifier state is its own, so keys
// the user still holds on the real keyboard do not mix into the chord.
class WaylandVirtualKeyboard final : public InputSynthesizer
{
public:
    // Null when the compositor offers no virtual keyboard or no seat, or the
    // keymap cannot be compiled.
    static std::unique_ptr<WaylandVirtualKeyboard> create(std::shared_ptr<WaylandConnection> connection);
    static bool isOffered(const WaylandConnection &connection);
    ~WaylandVirtualKeyboard() override;

    // True while the compositor keeps our keyboard.
    bool isTrusted() const override;
    // The compositor has no permission prompt for this protocol: logs only.
    void promptForTrust() override;
    void sendPasteChord(PasteChord chord) override;

    // Opaque state, shared with the protocol callbacks in the .cpp file.
    struct Impl;

private:
    explicit WaylandVirtualKeyboard(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};
