#pragma once

#include "platform/settingslauncher.h"

// Starts the command as a detached process found on PATH.
class DetachedSettingsLauncher final : public SettingsLauncher
{
public:
    bool launch(const QStringList &command) override;
};
