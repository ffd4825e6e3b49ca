#pragma once

#include <optional>

#include <QPoint>
#include <QProcess>

// A real system tray (trayer, on the top edge) for one test, ended with it.
class SystemTray final
{
public:
    SystemTray() = default;
    ~SystemTray();
    SystemTray(const SystemTray &) = delete;
    SystemTray &operator=(const SystemTray &) = delete;

    // Starts trayer and waits (5 s) for its window; false when it did not come up.
    bool start();
    // The centre of the first icon embedded in the tray, in screen
    // coordinates; nothing while no icon is embedded.
    std::optional<QPoint> iconCentre() const;

private:
    QProcess m_process;
};
