#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>

class QPainter;

// The layered glass background drawn behind a view's content: darkening,
// edge rim, highlight, inner shade and grain, all on a continuous rounded
// rectangle of `cornerRadius`. Without a compositor (`translucent` false)
// an opaque dark glass base goes underneath so the view does not show black.
struct GlassPanelBackground
{
    qreal cornerRadius = 20;
    double darkenOpacity = 0.01;
    double edgeRefraction = 0.18;
    qreal edgeWidth = 1;
    double highlightOpacity = 0.12;
    double noiseOpacity = 0.04;

    // The overlay card's values.
    static GlassPanelBackground overlayCard() { return {}; }

    // Paints the layers over `rect` in order; restores the painter's state.
    // The blurred layers are kept for the last size painted, so repainting
    // the same size costs one image blit plus the grain.
    void paint(QPainter &painter, const QRectF &rect, bool translucent) const;

private:
    QImage renderStaticLayers(const QSize &size) const;

    mutable QImage m_cache;
    mutable QSize m_cacheSize;
};
