#pragma once

#include <QStringList>

// Starts a desktop settings program detached from ours. Main thread only.
class SettingsLauncher
{
public:
    virtual ~SettingsLauncher() = default;
    SettingsLauncher() = default;
    SettingsLauncher(const SettingsLauncher &) = delete;
    SettingsLauncher &operator=(const SettingsLauncher &) = delete;

    // Starts `command` (program then arguments). Returns false when the
    // program could not be started (missing, not executable, empty command).
    virtual bool launch(const QStringList &command) = 0;
};
