#pragma once

// Composition root: picks the platform backends, builds the store, capture,
// shortcut, overlay and the shell, and runs the event loop.
namespace Application {

int run(int argc, char **argv);

} // namespace Application
