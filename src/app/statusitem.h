#pragma once

#include <functional>

#include <QObject>
#include <QRect>

class QSystemTrayIcon;

// The tray icon (scissors, tooltip "Bramblet"). A click calls `onActivate`
// with the icon's screen rectangle (empty when the tray does not say). A
// desktop without a system tray gets one info line; the icon still appears
// if a tray shows up later.
class StatusItem final : public QObject
{
    Q_OBJECT

public:
    explicit StatusItem(std::function<void(const QRect &)> onActivate, QObject *parent = nullptr);
    ~StatusItem() override;

    void show();
    QSystemTrayIcon *trayIcon() const { return m_tray; }

private:
    QSystemTrayIcon *m_tray;
    std::function<void(const QRect &)> m_onActivate;
};
