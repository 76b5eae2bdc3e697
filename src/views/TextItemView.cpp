#include "views/TextItemView.h"

#include <QPainter>

TextItemView::TextItemView(const QString &text, QSize size, QWidget *parent)
    : ItemCardView(size, parent)
    , m_text(text)
    , m_displayed(text.left(maxDisplayedCharacters))
{
}

void TextItemView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintCardBackground(painter);
    QFont small = font();
    small.setPointSizeF(8.5);
    painter.setFont(small);
    painter.setPen(QColor(255, 255, 255, 230));
    painter.drawText(rect().adjusted(textMargin, textMargin - 2, -textMargin, -textMargin),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, m_displayed);
}
