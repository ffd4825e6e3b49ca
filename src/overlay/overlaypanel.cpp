#include "overlaypanel.h"

#include <QCloseEvent>
#include <QEvent>
#include <QScreen>
#include <QVBoxLayout>

OverlayPanel::OverlayPanel(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                          | Qt::NoDropShadowWindowHint)
{
    setObjectName(QStringLiteral("OverlayPanel"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    setFocusPolicy(Qt::StrongFocus);
    setWindowTitle(QStringLiteral("Bramblet"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}

QRect OverlayPanel::frameForArea(const QRect &available)
{
    return QRect(available.left() + kInset, available.bottom() + 1 - kInset - kHeight,
                 available.width() - 2 * kInset, kHeight);
}

QRect OverlayPanel::frameFor(const QScreen *screen)
{
    return frameForArea(screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800));
}

void OverlayPanel::setContent(QWidget *content)
{
    if (m_content)
        m_content->deleteLater();
    m_content = content;
    if (content)
        layout()->addWidget(content);
}

void OverlayPanel::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

bool OverlayPanel::event(QEvent *event)
{
    if (event->type() == QEvent::WindowDeactivate)
        emit deactivated();
    return QWidget::event(event);
}
