#include "folderdroptarget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

#include "platform/logger.h"
#include "styling/symbolicons.h"

FolderDropTarget::FolderDropTarget(const QString &symbol, const QString &name, const QColor &color, QWidget *parent)
    : QWidget(parent)
    , m_symbol(symbol)
    , m_name(name)
    , m_color(color)
    , m_scaleAnimation(new QVariantAnimation(this))
{
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(sizeHint());
    m_scaleAnimation->setDuration(300);
    m_scaleAnimation->setEasingCurve(QEasingCurve::OutBack);
    connect(m_scaleAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant &v) {
        m_scale = v.toReal();
        update();
    });
}

QSize FolderDropTarget::sizeHint() const
{
    // Room for the tile grown by a tenth and its glow, then the name.
    return QSize(150, 130 + 12 + 22);
}

void FolderDropTarget::setHovered(bool hovered)
{
    if (m_hovered == hovered)
        return;
    m_hovered = hovered;
    m_scaleAnimation->stop();
    m_scaleAnimation->setStartValue(m_scale);
    m_scaleAnimation->setEndValue(hovered ? 1.1 : 1.0);
    m_scaleAnimation->start();
    update();
}

void FolderDropTarget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(width() / 2.0, 15 + kTile / 2.0);
    painter.translate(centre);
    painter.scale(m_scale, m_scale);
    const QRectF tile(-kTile / 2.0, -kTile / 2.0, kTile, kTile);
    QPainterPath shape;
    shape.addRoundedRect(tile, 20, 20);
    if (m_hovered) {
        // The glow: a few widening translucent outlines of the tile.
        for (int i = 1; i <= 5; ++i) {
            QColor glow = m_color;
            glow.setAlphaF(0.5 / (i + 1));
            painter.setPen(QPen(glow, i * 4));
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(shape);
        }
    }
    QColor fill = m_color;
    if (!m_hovered)
        fill.setAlphaF(0.3);
    painter.fillPath(shape, fill);
    const QPixmap icon = SymbolIcons::pixmap(m_symbol, 48, m_hovered ? QColor(Qt::white) : m_color, devicePixelRatioF());
    painter.drawPixmap(QPointF(-24, -24), icon);
    painter.resetTransform();

    QFont f = font();
    f.setPixelSize(16);
    f.setWeight(m_hovered ? QFont::Bold : QFont::DemiBold);
    painter.setFont(f);
    painter.setPen(Qt::white);
    const QRectF nameBox((width() - kNameWidth) / 2.0, 15 + kTile + 12 + 8, kNameWidth, 22);
    painter.drawText(nameBox, Qt::AlignCenter,
                     QFontMetrics(f).elidedText(m_name, Qt::ElideRight, kNameWidth));
}

void FolderDropTarget::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    Log::debug(QStringLiteral("🎯 TARGET '%1': hover=true").arg(m_name));
    emit hovered();
}

void FolderDropTarget::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    Log::debug(QStringLiteral("🎯 TARGET '%1': hover=false").arg(m_name));
}

void FolderDropTarget::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void FolderDropTarget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint()))
        return;
    Log::info(QStringLiteral("🎯 TARGET '%1': tapped!").arg(m_name));
    emit tapped();
}
