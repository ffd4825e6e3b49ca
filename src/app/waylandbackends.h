#pragma once

#include <memory>

#include "app/backendselection.h"

class ActiveWindow;
class Clipboard;
class InputSynthesizer;
class QObject;
class WaylandConnection;

// The native Wayland services of this session, made once at start-up on
// connections of our own (the virtual keyboard on a second one): each service the selection gives to Wayland, or
// null (and the selection says X11) when the compositor does not offer it or
// setting it up fails. The composition root uses what is there and X11 for
// the rest.
class WaylandBackends final
{
public:
    // Connects when $WAYLAND_DISPLAY is set, decides, makes the chosen
    // backends and logs the one line naming each service's backend.
    static std::unique_ptr<WaylandBackends> make(QObject *parent);
    ~WaylandBackends();

    const BackendSelection &selection() const { return m_selection; }
    Clipboard *clipboard() const;
    InputSynthesizer *inputSynthesizer() const;
    ActiveWindow *activeWindow() const;

private:
    WaylandBackends();

    BackendSelection m_selection;
    std::shared_ptr<WaylandConnection> m_connection;
    std::unique_ptr<Clipboard> m_clipboard;
    std::unique_ptr<InputSynthesizer> m_input;
    std::unique_ptr<ActiveWindow> m_activeWindow;
};
