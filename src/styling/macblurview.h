#pragma once

#include "visualeffectview.h"

// The same backdrop under the name the overlay uses; its blending field is
// called `blending`.
class MacBlurView final : public VisualEffectView
{
    Q_OBJECT

public:
    using VisualEffectView::VisualEffectView;

    BlendingMode blending() const { return blendingMode(); }
};
