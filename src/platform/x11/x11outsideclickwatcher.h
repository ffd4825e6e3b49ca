#pragma once

#include <QAbstractNativeEventFilter>

#include "platform/outsideclickwatcher.h"

// Watches raw button presses of the master pointers through XInput 2 on the
// root window, so presses in any program's window are seen without a grab.
// start() returns false without XInput 2.1 (or off xcb), logging once.
class X11OutsideClickWatcher final : public OutsideClickWatcher, public QAbstractNativeEventFilter
{
public:
    X11OutsideClickWatcher();
    ~X11OutsideClickWatcher() override;

    bool start(Handler handler) override;
    void stop() override;
    bool isWatching() const override { return m_watching; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    bool ensureExtension();
    void selectRawPresses(bool on);

    Handler m_handler;
    bool m_watching = false;
    bool m_filterInstalled = false;
    int m_opcode = -1; // -1 unknown, 0 unavailable, else the XInput major opcode
};
