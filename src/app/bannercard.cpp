#include "bannercard.h"

BannerCard::BannerCard(const QColor &tint, const QColor &border, QWidget *parent)
    : RoundedBox(Look{12, 16, 10, tint, border}, parent)
{
}
