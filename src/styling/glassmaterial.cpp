#include "glassmaterial.h"

#include <utility>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace GlassMaterial {

namespace {
int g_override = -1;
std::function<bool()> g_compositorProbe;
}

bool translucencyAvailable()
{
    if (g_override >= 0)
        return g_override == 1;
    return g_compositorProbe && g_compositorProbe();
}

void setCompositorProbe(std::function<bool()> probe) { g_compositorProbe = std::move(probe); }

void setTranslucencyOverride(int forced) { g_override = forced; }

QColor fill(Material material, bool translucent)
{
    if (translucent) {
        switch (material) {
        case Material::UltraThin: return QColor(40, 42, 48, 90);
        case Material::Thin: return QColor(44, 46, 54, 140);
        case Material::Regular: return QColor(36, 38, 44, 190);
        case Material::HudWindow: return QColor(24, 25, 30, 200);
        }
    }
    switch (material) {
    case Material::UltraThin: return QColor(58, 60, 68);
    case Material::Thin: return QColor(50, 52, 60);
    case Material::Regular: return QColor(40, 42, 49);
    case Material::HudWindow: return QColor(30, 31, 37);
    }
    return QColor(40, 42, 49);
}

void paint(QPainter &painter, const QPainterPath &shape, Material material, bool translucent)
{
    const QColor base = fill(material, translucent);
    if (translucent) {
        painter.fillPath(shape, base);
        return;
    }
    const QRectF r = shape.boundingRect();
    QLinearGradient sheen(r.topLeft(), r.bottomLeft());
    sheen.setColorAt(0, base.lighter(118));
    sheen.setColorAt(1, base);
    painter.fillPath(shape, sheen);
}

QColor accentColor() { return QColor(10, 132, 255); }
QColor secondaryLabelColor() { return QColor(255, 255, 255, 140); }
QColor quaternaryFillColor() { return QColor(255, 255, 255, 26); }

} // namespace GlassMaterial
