#include "views/PanelBackgroundView.h"

#include "views/PanelGeometry.h"
#include "views/TransparentPixmap.h"

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

void PanelBackgroundView::setTranslucent(bool translucent)
{
    if (translucent == m_translucent)
        return;
    m_translucent = translucent;
    m_cache = QPixmap();
    update();
}

void PanelBackgroundView::paintEvent(QPaintEvent *)
{
    // Drawn once per size and kept: every card's flash and fade repaints
    // the background beneath it, and filling the rounded shape anew each
    // time cost the main thread more than the card itself.
    const qreal ratio = devicePixelRatioF();
    if (!TransparentPixmap::fits(m_cache, size(), ratio)) {
        m_cache = TransparentPixmap::make(size(), ratio);
        QPainter cache(&m_cache);
        cache.setRenderHint(QPainter::Antialiasing);
        cache.fillPath(m_shape(size()), fillColor());
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_cache);
}
