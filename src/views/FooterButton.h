#pragma once

#include "views/SymbolIcons.h"

#include <QAbstractButton>

// A borderless footer button that shows one symbol. Its alpha is state the
// panel sets from the shelf (not just a look), so it is kept on the object
// whether or not the button has ever been drawn.
class FooterButton final : public QAbstractButton
{
    Q_OBJECT
public:
    FooterButton(SymbolIcons::Symbol symbol, const QString &accessibleName, QWidget *parent = nullptr);

    qreal alpha() const { return m_alpha; }
    void setAlpha(qreal alpha);

    QSize sizeHint() const override { return {side, side}; }

    static constexpr int side = 20;
    static constexpr qreal tintAlpha = 0.85;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    SymbolIcons::Symbol m_symbol;
    qreal m_alpha = 1.0;
};
