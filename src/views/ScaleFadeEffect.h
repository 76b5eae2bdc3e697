#pragma once

#include <QGraphicsEffect>

// Draws a widget and its children scaled about their top-left corner and
// faded, the way a layer transform and opacity would. Only the drawing
// changes: geometry and mouse handling stay those of the unscaled widget.
class ScaleFadeEffect final : public QGraphicsEffect
{
    Q_OBJECT
public:
    explicit ScaleFadeEffect(QObject *parent = nullptr);

    qreal scale() const { return m_scale; }
    void setScale(qreal scale);
    qreal opacity() const { return m_opacity; }
    void setOpacity(qreal opacity);

protected:
    void draw(QPainter *painter) override;

private:
    qreal m_scale = 1;
    qreal m_opacity = 1;
};
