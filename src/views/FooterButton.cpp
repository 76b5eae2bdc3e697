#include "views/FooterButton.h"

#include <QPainter>

FooterButton::FooterButton(SymbolIcons::Symbol symbol, const QString &accessibleName, QWidget *parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
{
    setAccessibleName(accessibleName);
    setToolTip(accessibleName);
    setFixedSize(side, side);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void FooterButton::setAlpha(qreal alpha)
{
    if (qFuzzyCompare(m_alpha, alpha))
        return;
    m_alpha = alpha;
    update();
}

void FooterButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setOpacity(m_alpha * (isDown() ? 0.6 : 1.0));
    QColor tint(Qt::white);
    tint.setAlphaF(tintAlpha);
    p.drawPixmap(0, 0, SymbolIcons::pixmap(m_symbol, side, tint, devicePixelRatioF()));
}
