#pragma once

#include <QWidget>

#include "glassmaterial.h"

// A backdrop widget standing in for the desktop's blurred material: fills
// itself with the material (translucent over a compositor, opaque dark glass
// without one). Children draw on top. Setting any field repaints.
class VisualEffectView : public QWidget
{
    Q_OBJECT

public:
    enum class BlendingMode { BehindWindow, WithinWindow };
    enum class State { FollowsWindowActiveState, Active, Inactive };

    explicit VisualEffectView(QWidget *parent = nullptr);

    GlassMaterial::Material material() const { return m_material; }
    BlendingMode blendingMode() const { return m_blendingMode; }
    State state() const { return m_state; }
    // Sets material, blending mode and state at once, as every update does.
    void configure(GlassMaterial::Material material, BlendingMode blendingMode, State state);
    qreal cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(qreal radius);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    GlassMaterial::Material m_material = GlassMaterial::Material::HudWindow;
    BlendingMode m_blendingMode = BlendingMode::BehindWindow;
    State m_state = State::Active;
    qreal m_cornerRadius = 0;
};
