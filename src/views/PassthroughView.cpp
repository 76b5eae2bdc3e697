#include "views/PassthroughView.h"

PassthroughView::PassthroughView(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}
