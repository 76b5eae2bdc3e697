#pragma once

#include <QtGlobal>

struct xcb_connection_t;

// The XInput2 pieces that both private connections use.
class XInput2
{
public:
    // Declares XI 2.2 and returns the extension's opcode, or 0 when the
    // server offers less than 2.1: a client that declares 2.0 loses raw
    // events while another client grabs the keyboard.
    static quint8 open(xcb_connection_t *connection);
    // Selects raw events (an XCB_INPUT_XI_EVENT_MASK_* set) on the root
    // window for the master devices only; all devices would report each
    // event twice.
    static void selectRawEvents(xcb_connection_t *connection, quint32 root, quint32 mask);
};
