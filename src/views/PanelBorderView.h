#pragma once

#include <QPainterPath>
#include <QPixmap>
#include <QWidget>

// The panel's border above the cards: a faint permanent outline, and two
// brighter strokes along the top and bottom that a hold at the screen edge
// draws from the edge towards the middle of the right side.
class PanelBorderView final : public QWidget
{
    Q_OBJECT
public:
    explicit PanelBorderView(QWidget *parent = nullptr);

    // How much of the progress strokes shows, 0 to 1.
    qreal strokeEnd() const { return m_strokeEnd; }
    void setStrokeEnd(qreal strokeEnd);

    // Recomputes the paths from the current size; a view with no area keeps
    // the paths it had.
    void updateBorderPaths();
    const QPainterPath &topPath() const { return m_topPath; }
    const QPainterPath &bottomPath() const { return m_bottomPath; }

    static constexpr qreal borderWidth = 2;
    static constexpr qreal staticBorderWidth = 1;
    static constexpr qreal staticBorderAlpha = 0.3;
    static constexpr qreal progressBorderAlpha = 0.55;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPainterPath m_topPath;
    QPainterPath m_bottomPath;
    qreal m_strokeEnd = 0;
    QPixmap m_staticBorder; // the faint border at the current size
    // The bright strokes as far as m_progressDrawnTo: the shown panel keeps
    // them whole, and finding points along the rounded paths is costly.
    QPixmap m_progressBorder;
    qreal m_progressDrawnTo = -1;
};
