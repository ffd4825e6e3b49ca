#pragma once

#include <functional>

#include <QColor>

class QPainter;
class QPainterPath;

// The translucent "materials" views sit on. With a compositor running the
// window behind shows through a tinted veil; without one (windows cannot be
// translucent) the same views get an opaque dark glass instead.
namespace GlassMaterial {

enum class Material { UltraThin, Thin, Regular, HudWindow };

// True when a compositing manager runs on the display, so translucent
// windows really are translucent: the probe's answer, false without a probe
// (offscreen tests included) unless forced with setTranslucencyOverride().
bool translucencyAvailable();
// Set by the composition root to the display backend's "is a compositor
// running" question; asked anew on every call. Empty clears it.
void setCompositorProbe(std::function<bool()> probe);
// Tests and screenshots fix the answer; std::nullopt-like reset with -1.
void setTranslucencyOverride(int forced); // 1 = translucent, 0 = opaque, -1 = ask the display

// The fill of `material` for the current (or given) translucency.
QColor fill(Material material, bool translucent);
// Fills `shape` with the material, with a faint top-to-bottom sheen when
// opaque so the dark glass does not look flat.
void paint(QPainter &painter, const QPainterPath &shape, Material material, bool translucent);

// The dark appearance's named colours the views draw with.
QColor accentColor();          // system blue
QColor secondaryLabelColor();  // white at 55 %
QColor quaternaryFillColor();  // white at 10 %

} // namespace GlassMaterial
