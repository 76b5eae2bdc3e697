#include "views/ItemCardView.h"

#include <QPainter>
#include <QPainterPath>

ItemCardView::ItemCardView(QSize size, QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(size);
    setAttribute(Qt::WA_TranslucentBackground);
}

void ItemCardView::paintCardBackground(QPainter &painter) const
{
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius, cornerRadius);
    painter.fillPath(shape, QColor(255, 255, 255, 30));
    painter.setPen(QPen(QColor(255, 255, 255, 50), 1));
    painter.drawPath(shape);
    painter.setClipPath(shape);
}
