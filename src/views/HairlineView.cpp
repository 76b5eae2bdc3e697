#include "views/HairlineView.h"

#include "views/SystemColors.h"

#include <QPainter>

HairlineView::HairlineView(QWidget *parent)
    : QWidget(parent)
{
    setFixedHeight(1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void HairlineView::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), SystemColors::separator(palette()));
}
