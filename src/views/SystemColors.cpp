#include "views/SystemColors.h"

QColor SystemColors::withAlpha(QColor color, qreal alpha)
{
    color.setAlphaF(color.alphaF() * alpha);
    return color;
}
