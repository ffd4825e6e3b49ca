#include "toggleswitch.h"

#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>

ToggleSwitch::ToggleSwitch(QWidget *parent)
    : QAbstractButton(parent)
    , m_animation(new QPropertyAnimation(this, "knobPosition", this))
{
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    m_animation->setDuration(120);
    connect(this, &QAbstractButton::toggled, this, [this](bool on) {
        m_animation->stop();
        m_animation->setStartValue(m_knob);
        m_animation->setEndValue(on ? 1.0 : 0.0);
        m_animation->start();
        emit isOnChanged(on);
    });
}

void ToggleSwitch::setOn(bool on)
{
    if (on == isChecked())
        return;
    setChecked(on);
}

QSize ToggleSwitch::sizeHint() const { return QSize(38, 22); }

void ToggleSwitch::setKnobPosition(qreal position)
{
    m_knob = position;
    update();
}

bool ToggleSwitch::hitButton(const QPoint &pos) const { return rect().contains(pos); }

void ToggleSwitch::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(1, 1, -1, -1);
    const qreal h = track.height();
    QColor off(255, 255, 255, 46);
    QColor on = palette().color(QPalette::Highlight);
    const qreal k = m_knob;
    QColor fill = QColor::fromRgbF(off.redF() + (on.redF() - off.redF()) * k,
                                   off.greenF() + (on.greenF() - off.greenF()) * k,
                                   off.blueF() + (on.blueF() - off.blueF()) * k,
                                   off.alphaF() + (on.alphaF() - off.alphaF()) * k);
    if (!isEnabled())
        fill.setAlphaF(fill.alphaF() * 0.5f);
    p.setPen(QPen(QColor(255, 255, 255, 30), 1));
    p.setBrush(fill);
    p.drawRoundedRect(track, h / 2, h / 2);

    const qreal d = h - 4;
    const QRectF knob(track.left() + 2 + (track.width() - d - 4) * k, track.top() + 2, d, d);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawEllipse(knob.translated(0, 0.8));
    p.setBrush(Qt::white);
    p.drawEllipse(knob);
    if (hasFocus()) {
        p.setPen(QPen(on, 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(track.adjusted(-0.5, -0.5, 0.5, 0.5), h / 2, h / 2);
    }
}
