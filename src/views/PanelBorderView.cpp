#include "views/PanelBorderView.h"

#include "views/PanelGeometry.h"
#include "views/TransparentPixmap.h"

#include <QPainter>

#include <algorithm>

PanelBorderView::PanelBorderView(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PanelBorderView::setStrokeEnd(qreal strokeEnd)
{
    strokeEnd = std::clamp(strokeEnd, 0.0, 1.0);
    if (qFuzzyCompare(1.0 + m_strokeEnd, 1.0 + strokeEnd))
        return;
    m_strokeEnd = strokeEnd;
    update();
}

void PanelBorderView::updateBorderPaths()
{
    if (width() <= 0 || height() <= 0)
        return;
    m_topPath = PanelGeometry::topBorderPath(size());
    m_bottomPath = PanelGeometry::bottomBorderPath(size());
    m_staticBorder = QPixmap();
    m_progressBorder = QPixmap();
    update();
}

void PanelBorderView::paintEvent(QPaintEvent *)
{
    // Both borders are stroked once and kept: this view lies over the
    // cards, so each frame of a card's flash repainted it.
    const qreal ratio = devicePixelRatioF();
    if (!TransparentPixmap::fits(m_staticBorder, size(), ratio)) {
        m_staticBorder = TransparentPixmap::make(size(), ratio);
        QPainter cache(&m_staticBorder);
        cache.setRenderHint(QPainter::Antialiasing);
        QColor faint(Qt::white);
        faint.setAlphaF(staticBorderAlpha);
        cache.setPen(QPen(faint, staticBorderWidth));
        cache.drawPath(m_topPath);
        cache.drawPath(m_bottomPath);
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_staticBorder);

    if (m_strokeEnd <= 0)
        return;
    // Redrawn into the same pixmap while the strokes grow: with a fresh one
    // per frame, a launch that decoded five 4K screenshots stayed about
    // 30 MiB larger, the allocator keeping what the decoders had freed.
    if (!TransparentPixmap::fits(m_progressBorder, size(), ratio)) {
        m_progressBorder = TransparentPixmap::make(size(), ratio);
        m_progressDrawnTo = -1;
    }
    if (m_progressDrawnTo != m_strokeEnd) {
        m_progressBorder.fill(Qt::transparent);
        m_progressDrawnTo = m_strokeEnd;
        QPainter cache(&m_progressBorder);
        cache.setRenderHint(QPainter::Antialiasing);
        QColor bright(Qt::white);
        bright.setAlphaF(progressBorderAlpha);
        cache.setPen(QPen(bright, borderWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        cache.drawPath(PanelGeometry::partialPath(m_topPath, m_strokeEnd));
        cache.drawPath(PanelGeometry::partialPath(m_bottomPath, m_strokeEnd));
    }
    painter.drawPixmap(0, 0, m_progressBorder);
}
