#pragma once

#include <QWidget>

// The panel's background: its shape filled with a dark tint, translucent
// when a compositor blends it with the desktop, opaque otherwise.
class PanelBackgroundView final : public QWidget
{
    Q_OBJECT
public:
    PanelBackgroundView(bool translucent, QWidget *parent = nullptr);

    QColor fillColor() const;

    // There is no blur behind the panel on X11, so it is less see-through
    // than a blurred background would be.
    static constexpr qreal translucentAlpha = 0.85;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_translucent;
};
