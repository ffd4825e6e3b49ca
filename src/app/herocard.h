#pragma once

#include "roundedbox.h"

// The General pane's greeting card: padding 18, radius 14, white outline at 10 %.
class HeroCard final : public RoundedBox
{
    Q_OBJECT
public:
    explicit HeroCard(QWidget *parent = nullptr);
};
