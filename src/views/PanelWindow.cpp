#include "views/PanelWindow.h"

PanelWindow::PanelWindow(const QRect &contentRect)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus
                           | Qt::X11BypassWindowManagerHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Always made with an alpha channel: a compositor that starts later can
    // then blend it. Without one the owner paints it opaque and masks it.
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(contentRect);
}
