#include "roundedbox.h"

#include <QPainter>
#include <QVBoxLayout>

#include "styling/continuousroundedrect.h"
#include "styling/glassmaterial.h"

RoundedBox::RoundedBox(Look look, QWidget *parent)
    : QWidget(parent)
    , m_look(look)
    , m_layout(new QVBoxLayout(this))
{
    m_layout->setContentsMargins(look.padding, look.padding, look.padding, look.padding);
    m_layout->setSpacing(look.spacing);
    m_layout->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void RoundedBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF outer = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPainterPath shape = ContinuousRoundedRect::path(outer, m_look.radius);
    if (m_look.tint.isValid())
        painter.fillPath(shape, m_look.tint);
    // Boxes sit inside an already painted window, so the light material reads
    // the same with or without a compositor.
    painter.fillPath(shape, QColor(255, 255, 255, 14));
    painter.setPen(QPen(m_look.border, 1));
    painter.drawPath(shape);
}
