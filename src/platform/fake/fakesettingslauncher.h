#pragma once

#include <QList>
#include <QStringList>

#include "platform/settingslauncher.h"

// Records every launch; succeeds only for the commands whose program is in `working`.
class FakeSettingsLauncher final : public SettingsLauncher
{
public:
    bool launch(const QStringList &command) override
    {
        attempts.append(command);
        return !command.isEmpty() && working.contains(command.first());
    }

    QStringList working;
    QList<QStringList> attempts;
};
