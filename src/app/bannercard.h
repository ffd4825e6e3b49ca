#pragma once

#include "roundedbox.h"

// A tinted notice card: padding 16, radius 12, `tint` behind the material and
// a 1-point `border`.
class BannerCard final : public RoundedBox
{
    Q_OBJECT
public:
    BannerCard(const QColor &tint, const QColor &border, QWidget *parent = nullptr);
};
