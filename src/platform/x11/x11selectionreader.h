#pragma once

#include <functional>
#include <memory>

#include <QString>

#include "platform/clipboard.h"

// Follows the owner of the CLIPBOARD selection on an X connection and a
// thread of its own (XFixes selection notify). Every owner change is read at
// once: TARGETS, then the types `choose` picks, INCR transfers included. The
// transfers of several owners run side by side, so a large or slow one does
// not keep the reader from the next owner before that one quits; an owner
// silent for kStallMs has its transfer given up (the types read so far are
// kept). Offers go to `deliver` on the reader thread, in the order the
// changes happened; an owner change whose type list could not be read is
// dropped with a log line. Lines to log (info level) go to `log`, also on
// the reader thread. What owns the selection at start() is not reported.
class X11SelectionReader final
{
public:
    using Deliver = std::function<void(ClipboardOffer offer)>;
    using LogLine = std::function<void(const QString &line)>;

    static constexpr int kStallMs = 3000;

    X11SelectionReader(Clipboard::TypeChooser choose, Deliver deliver, LogLine log);
    // Stops the thread and closes the connection.
    ~X11SelectionReader();
    X11SelectionReader(const X11SelectionReader &) = delete;
    X11SelectionReader &operator=(const X11SelectionReader &) = delete;

    // Opens the connection ($DISPLAY) and starts the thread. False (with a
    // log line) when there is no X display or no XFixes; call it once.
    bool start();

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};
