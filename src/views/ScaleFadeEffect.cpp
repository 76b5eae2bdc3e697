#include "views/ScaleFadeEffect.h"

#include <QPainter>

ScaleFadeEffect::ScaleFadeEffect(QObject *parent)
    : QGraphicsEffect(parent)
{
}

void ScaleFadeEffect::setScale(qreal scale)
{
    if (qFuzzyCompare(m_scale, scale))
        return;
    m_scale = scale;
    update();
}

void ScaleFadeEffect::setOpacity(qreal opacity)
{
    if (qFuzzyCompare(m_opacity, opacity))
        return;
    m_opacity = opacity;
    update();
}

void ScaleFadeEffect::draw(QPainter *painter)
{
    if (m_opacity <= 0)
        return;
    if (qFuzzyCompare(m_scale, 1.0) && qFuzzyCompare(m_opacity, 1.0)) {
        drawSource(painter); // the resting look costs nothing extra
        return;
    }
    QPoint offset;
    const QPixmap pixmap = sourcePixmap(Qt::LogicalCoordinates, &offset, QGraphicsEffect::NoPad);
    painter->save();
    painter->setOpacity(painter->opacity() * m_opacity);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->translate(offset);
    painter->scale(m_scale, m_scale);
    painter->drawPixmap(0, 0, pixmap);
    painter->restore();
}
