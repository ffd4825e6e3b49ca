#include "roundiconbutton.h"

#include <QPainter>

#include "styling/symbolicons.h"

RoundIconButton::RoundIconButton(const QString &symbol, const QColor &color, QWidget *parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
    , m_color(color)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(sizeHint());
}

void RoundIconButton::setSymbol(const QString &symbol, const QColor &color)
{
    m_symbol = symbol;
    m_color = color;
    update();
}

QSize RoundIconButton::sizeHint() const
{
    return QSize(kDiameter, kDiameter);
}

void RoundIconButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF circle = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setBrush(isDown() ? QColor(255, 255, 255, 46) : QColor(255, 255, 255, underMouse() ? 36 : 22));
    painter.setPen(QPen(QColor(255, 255, 255, 31), 1));
    painter.drawEllipse(circle);
    const QPixmap icon = SymbolIcons::pixmap(m_symbol, kIconSize, m_color, devicePixelRatioF());
    const QSizeF iconSize = QSizeF(icon.size()) / icon.devicePixelRatio();
    painter.drawPixmap(QPointF((width() - iconSize.width()) / 2, (height() - iconSize.height()) / 2), icon);
}
