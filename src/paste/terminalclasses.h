#pragma once

#include <QString>

// Terminal emulators read Ctrl+V as a control character and paste with
// Ctrl+Shift+V. The one list of their window classes.
namespace TerminalClasses {

// True when a window of this WM_CLASS class or instance is a known terminal
// (case-insensitive).
bool isTerminal(const QString &wmClass, const QString &wmInstance);

} // namespace TerminalClasses
