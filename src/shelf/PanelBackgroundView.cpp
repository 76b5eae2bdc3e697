#include "shelf/PanelBackgroundView.h"

#include "shelf/PanelGeometry.h"

#include <QPainter>

PanelBackgroundView::PanelBackgroundView(bool translucent, QWidget *parent)
    : QWidget(parent)
    , m_translucent(translucent)
{
}

QColor PanelBackgroundView::fillColor() const
{
    QColor color(28, 28, 32); // a dark, menu-like tint
    if (m_translucent)
        color.setAlphaF(translucentAlpha);
    return color;
}

void PanelBackgroundView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(PanelGeometry::shapePath(size()), fillColor());
}
