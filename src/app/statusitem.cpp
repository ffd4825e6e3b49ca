#include "statusitem.h"

#include <QIcon>
#include <QSystemTrayIcon>

#include "platform/logger.h"

StatusItem::StatusItem(std::function<void(const QRect &)> onActivate, QObject *parent)
    : QObject(parent)
    , m_tray(new QSystemTrayIcon(this))
    , m_onActivate(std::move(onActivate))
{
    m_tray->setIcon(QIcon(QStringLiteral(":/app/org.bramblet.Bramblet.svg")));
    m_tray->setToolTip(QStringLiteral("Bramblet"));
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::Context
            && reason != QSystemTrayIcon::DoubleClick)
            return;
        if (m_onActivate)
            m_onActivate(m_tray->geometry());
    });
}

StatusItem::~StatusItem() = default;

void StatusItem::show()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        Log::info(QStringLiteral("StatusItem: no system tray on this desktop; use the shortcut or `bramblet toggle`"));
    m_tray->show();
}
