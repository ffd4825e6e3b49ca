#include "visualeffectview.h"

#include <QPainter>
#include <QPainterPath>

#include "continuousroundedrect.h"

VisualEffectView::VisualEffectView(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void VisualEffectView::configure(GlassMaterial::Material material, BlendingMode blendingMode, State state)
{
    m_material = material;
    m_blendingMode = blendingMode;
    m_state = state;
    update();
}

void VisualEffectView::setCornerRadius(qreal radius)
{
    m_cornerRadius = radius;
    update();
}

void VisualEffectView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // Within a window there is nothing blurred behind us to show, so the
    // material is always drawn opaque there.
    const bool translucent = m_blendingMode == BlendingMode::BehindWindow
                             && GlassMaterial::translucencyAvailable();
    const QPainterPath shape = m_cornerRadius > 0
                                   ? ContinuousRoundedRect::path(QRectF(rect()), m_cornerRadius)
                                   : [this] { QPainterPath pp; pp.addRect(QRectF(rect())); return pp; }();
    GlassMaterial::paint(p, shape, m_material, translucent);
    if (m_state == State::Inactive)
        p.fillPath(shape, QColor(0, 0, 0, 40));
}
