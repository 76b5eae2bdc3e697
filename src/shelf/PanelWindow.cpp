#include "shelf/PanelWindow.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>

PanelWindow::PanelWindow(const QRect &contentRect)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus
                           | Qt::X11BypassWindowManagerHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground, isCompositing());
    setFocusPolicy(Qt::NoFocus);
    setGeometry(contentRect);
}

bool PanelWindow::isCompositing()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return false;
    xcb_connection_t *connection = x11->connection();
    const int screen = 0;
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
    auto atom = xcb_intern_atom_reply(connection, xcb_intern_atom(connection, true, name.size(), name.constData()),
                                      nullptr);
    if (!atom)
        return false;
    const xcb_atom_t selection = atom->atom;
    std::free(atom);
    if (selection == XCB_ATOM_NONE)
        return false;
    auto owner = xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr);
    const bool owned = owner && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    return owned;
}
