#include "shelf/PanelBackgroundView.h"

#include "shelf/PanelGeometry.h"

#include <QPainter>

PanelBackgroundView::PanelBackgroundView(bool translucent, QWidget *parent)
    : PanelBackgroundView(translucent, panelTranslucentAlpha, &PanelGeometry::shapePath, parent)
{
}

PanelBackgroundView::PanelBackgroundView(bool translucent, qreal translucentAlpha, Shape shape, QWidget *parent)
    : QWidget(parent)
    , m_translucent(translucent)
    , m_translucentAlpha(translucentAlpha)
    , m_shape(std::move(shape))
{
}

QColor PanelBackgroundView::fillColor() const
{
    QColor color(28, 28, 32); // a dark, menu-like tint
    if (m_translucent)
        color.setAlphaF(m_translucentAlpha);
    return color;
}

void PanelBackgroundView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(m_shape(size()), fillColor());
}
