#pragma once

#include <QString>

// A top-level window of some program, as the desktop reports it.
struct WindowRef
{
    quint32 id = 0;
    // The program's identifier: its desktop-file id when one matches, else the
    // WM_CLASS class; empty when the window carries neither.
    QString appId;
    // WM_CLASS class and instance, as set by the program (may be empty).
    QString wmClass;
    QString wmInstance;
    // True when the window belongs to this process.
    bool isOwn = false;

    bool operator==(const WindowRef &) const = default;
};
