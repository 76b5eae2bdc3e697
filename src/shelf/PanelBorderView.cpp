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
    update();
}

void PanelBorderView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor faint(Qt::white);
    faint.setAlphaF(staticBorderAlpha);
    painter.setPen(QPen(faint, staticBorderWidth));
    painter.drawPath(m_topPath);
    painter.drawPath(m_bottomPath);

    if (m_strokeEnd <= 0)
        return;
    QColor bright(Qt::white);
    bright.setAlphaF(progressBorderAlpha);
    painter.setPen(QPen(bright, borderWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(PanelGeometry::partialPath(m_topPath, m_strokeEnd));
    painter.drawPath(PanelGeometry::partialPath(m_bottomPath, m_strokeEnd));
}
