#pragma once

#include <QList>

#include "platform/loginitem.h"

// A login item held in memory; `failWrites` makes every change fail.
class FakeLoginItem final : public LoginItem
{
public:
    bool isEnabled() const override { return enabled; }
    bool setEnabled(bool on) override
    {
        requests.append(on);
        if (failWrites)
            return false;
        enabled = on;
        return true;
    }

    bool enabled = false;
    bool failWrites = false;
    QList<bool> requests;
};
