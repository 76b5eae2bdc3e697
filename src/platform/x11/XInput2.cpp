#include "platform/x11/XInput2.h"

#include "platform/x11/XcbReply.h"

#include <xcb/xcb.h>
#include <xcb/xinput.h>

quint8 XInput2::open(xcb_connection_t *connection)
{
    const xcb_query_extension_reply_t *xi = xcb_get_extension_data(connection, &xcb_input_id);
    if (!xi || !xi->present)
        return 0;
    const auto version =
        xcbReply(xcb_input_xi_query_version_reply(connection, xcb_input_xi_query_version(connection, 2, 2), nullptr));
    const bool supported = version && (version->major_version > 2
                                       || (version->major_version == 2 && version->minor_version >= 1));
    return supported ? xi->major_opcode : 0;
}

void XInput2::selectRawEvents(xcb_connection_t *connection, quint32 root, quint32 mask)
{
    struct
    {
        xcb_input_event_mask_t header;
        uint32_t mask;
    } selection{{XCB_INPUT_DEVICE_ALL_MASTER, 1}, mask};
    xcb_input_xi_select_events(connection, root, 1, &selection.header);
    xcb_flush(connection);
}
