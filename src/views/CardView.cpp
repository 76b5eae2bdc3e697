#include "views/CardView.h"

#include "views/SystemColors.h"

#include <QPainter>

CardView::CardView(QWidget *parent)
    : QWidget(parent)
{
}

void CardView::paintEvent(QPaintEvent *)
{
    // Painted from the palette each time, so a theme change shows at once.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(SystemColors::separator(palette()), borderWidth));
    painter.setBrush(SystemColors::label(palette(), fillAlpha));
    const qreal inset = borderWidth / 2;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), cornerRadius, cornerRadius);
}
