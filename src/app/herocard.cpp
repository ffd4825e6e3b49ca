#include "herocard.h"

HeroCard::HeroCard(QWidget *parent)
    : RoundedBox(Look{14, 18, 10, QColor(), QColor(255, 255, 255, 26)}, parent)
{
}
