#pragma once

#include <QPainterPath>
#include <QPixmap>
#include <QWidget>

#include <functional>

// A floating window's background: its shape filled with a dark tint,
// translucent when a compositor blends it with the desktop, opaque otherwise.
class PanelBackgroundView final : public QWidget
{
    Q_OBJECT
public:
    using Shape = std::function<QPainterPath(const QSizeF &)>;

    // The shelf panel's background: its own shape, fairly dense.
    PanelBackgroundView(bool translucent, QWidget *parent = nullptr);
    PanelBackgroundView(bool translucent, qreal translucentAlpha, Shape shape, QWidget *parent = nullptr);

    QColor fillColor() const;
    // A compositor started or stopped: draws the tint anew.
    void setTranslucent(bool translucent);

    // There is no blur behind the panel on X11, so it is less see-through
    // than a blurred background would be.
    static constexpr qreal panelTranslucentAlpha = 0.85;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_translucent;
    qreal m_translucentAlpha;
    Shape m_shape;
    QPixmap m_cache; // the filled shape at the current size
};
