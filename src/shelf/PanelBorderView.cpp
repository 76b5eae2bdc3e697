#include "shelf/PanelBorderView.h"

#include "shelf/PanelGeometry.h"

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
    update();
}

void PanelBorderView::paintEvent(QPaintEvent *)
{
    // The faint border is stroked once per size and kept: this view lies
    // over the cards, so each frame of a card's flash repainted it.
    const qreal ratio = devicePixelRatioF();
    if (m_staticBorder.isNull() || m_staticBorder.size() != size() * ratio
        || m_staticBorder.devicePixelRatio() != ratio) {
        m_staticBorder = QPixmap(size() * ratio);
        m_staticBorder.setDevicePixelRatio(ratio);
        m_staticBorder.fill(Qt::transparent);
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
    painter.setRenderHint(QPainter::Antialiasing);
    QColor bright(Qt::white);
    bright.setAlphaF(progressBorderAlpha);
    painter.setPen(QPen(bright, borderWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(PanelGeometry::partialPath(m_topPath, m_strokeEnd));
    painter.drawPath(PanelGeometry::partialPath(m_bottomPath, m_strokeEnd));
}
