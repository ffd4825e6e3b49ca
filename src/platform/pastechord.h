#pragma once

// The key chord that makes the focused program paste the clipboard.
enum class PasteChord {
    CtrlV,      // ordinary programs
    CtrlShiftV, // terminals, where Ctrl+V is a control character
};
