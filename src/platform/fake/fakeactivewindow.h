#pragma once

#include <QList>

#include "platform/activewindow.h"

// A desktop whose active window the test sets. activate() is recorded and,
// unless activationIsDeferred, makes the window frontmost at once.
class FakeActiveWindow final : public ActiveWindow
{
public:
    std::optional<WindowRef> frontmost() const override { return m_front; }
    void activate(const WindowRef &window) override
    {
        activations.append(window);
        if (!activationIsDeferred)
            m_front = window;
    }

    void setFrontmost(std::optional<WindowRef> window) { m_front = std::move(window); }

    QList<WindowRef> activations;
    bool activationIsDeferred = false;

private:
    std::optional<WindowRef> m_front;
};
