#pragma once

#include <memory>

#include "app/backendselection.h"

class ActiveWindow;
class Clipboard;
class InputSynthesizer;

// The native Wayland services of this session, made at start-up on
// connections of our own (each service keeps its connection alive; the
// virtual keyboard has one to itself). Only PlatformBackends uses this.
namespace WaylandBackends {

struct Made
{
    // What serves each service and why; a service the compositor offers but
    // that could not be set up is reported as X11.
    BackendSelection selection;
    // Null for each service left to X11.
    std::unique_ptr<Clipboard> clipboard;
    std::unique_ptr<InputSynthesizer> input;
    std::unique_ptr<ActiveWindow> activeWindow;

    Made();
    ~Made();
    Made(Made &&) noexcept;
    Made &operator=(Made &&) noexcept;
};

// Connects when $WAYLAND_DISPLAY is set, decides per service and makes the
// services given to Wayland. Does not log: the caller logs selection.logLine().
Made make();

} // namespace WaylandBackends
