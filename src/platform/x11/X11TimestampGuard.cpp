#include "platform/x11/X11TimestampGuard.h"

#include "platform/x11/XcbReply.h"

#include <QCoreApplication>

#include <xcb/xinput.h>

#include <cstring>

namespace {

constexpr uint8_t sentFlag = 0x80;

xcb_atom_t internAtom(xcb_connection_t *connection, xcb_intern_atom_cookie_t cookie)
{
    const auto reply = xcbReply(xcb_intern_atom_reply(connection, cookie, nullptr));
    return reply ? reply->atom : XCB_NONE;
}

xcb_intern_atom_cookie_t requestAtom(xcb_connection_t *connection, const char *name)
{
    return xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
}

} // namespace

X11TimestampGuard::X11TimestampGuard(xcb_connection_t *connection)
{
    if (!connection || xcb_connection_has_error(connection) || !QCoreApplication::instance())
        return;
    m_connection = connection;
    // All asked at once: one round trip, at start.
    const xcb_intern_atom_cookie_t protocols = requestAtom(connection, "WM_PROTOCOLS");
    const xcb_intern_atom_cookie_t takeFocus = requestAtom(connection, "WM_TAKE_FOCUS");
    const xcb_intern_atom_cookie_t position = requestAtom(connection, "XdndPosition");
    const xcb_intern_atom_cookie_t drop = requestAtom(connection, "XdndDrop");
    const xcb_intern_atom_cookie_t dragSelection = requestAtom(connection, "XdndSelection");
    m_wmProtocols = internAtom(connection, protocols);
    m_wmTakeFocus = internAtom(connection, takeFocus);
    m_xdndPosition = internAtom(connection, position);
    m_xdndDrop = internAtom(connection, drop);
    m_xdndSelection = internAtom(connection, dragSelection);
    // Qt reads the pointer through XInput2 where the server has it.
    const xcb_query_extension_reply_t *input = xcb_get_extension_data(connection, &xcb_input_id);
    m_inputOpcode = input && input->present ? input->major_opcode : 0;

    // Created on the application's connection, so that events sent to it
    // with no event mask reach the application, and Qt, first.
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    m_window = xcb_generate_id(connection);
    const uint32_t eventMask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, m_window, root, -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &eventMask);
    xcb_flush(connection);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11TimestampGuard::~X11TimestampGuard()
{
    if (!m_connection)
        return;
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
    xcb_destroy_window(m_connection, m_window);
    xcb_flush(m_connection);
}

bool X11TimestampGuard::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (!m_connection || eventType != "xcb_generic_event_t")
        return false;
    auto *event = static_cast<xcb_generic_event_t *>(message);
    // An event another program sent carries whatever time it chose.
    const bool sent = event->response_type & sentFlag;
    switch (event->response_type & ~sentFlag) {
    case XCB_BUTTON_PRESS:
    case XCB_BUTTON_RELEASE: {
        const auto *button = reinterpret_cast<const xcb_button_press_event_t *>(event);
        notePointer(button->time, (event->response_type & ~sentFlag) == XCB_BUTTON_PRESS, sent);
        break;
    }
    case XCB_KEY_PRESS:
    case XCB_KEY_RELEASE:
    case XCB_MOTION_NOTIFY:
    case XCB_ENTER_NOTIFY:
    case XCB_LEAVE_NOTIFY:
        // These share one layout up to their time.
        noteTime(reinterpret_cast<const xcb_key_press_event_t *>(event)->time, sent);
        break;
    case XCB_PROPERTY_NOTIFY: {
        const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event);
        noteTime(notify->time, sent);
        // The answer to the guard's own question is nobody else's business.
        return notify->window == m_window && !sent;
    }
    case XCB_SELECTION_CLEAR:
        // The server checks the new owner's time against its own clock.
        noteTime(reinterpret_cast<const xcb_selection_clear_event_t *>(event)->time, sent);
        break;
    case XCB_SELECTION_REQUEST: {
        const auto *request = reinterpret_cast<const xcb_selection_request_event_t *>(event);
        if (m_buttonDown && request->selection == m_xdndSelection) {
            if (m_clock.mayBeAhead(request->time))
                m_walkAfterButton = true;
            break;
        }
        noteTime(request->time, true);
        break;
    }
    case XCB_SELECTION_NOTIFY: {
        auto *notify = reinterpret_cast<xcb_selection_notify_event_t *>(event);
        if (sent && notify->requestor == m_window && notify->selection == XCB_NONE)
            takeWalkStep(*notify);
        else
            noteTime(notify->time, true);
        break;
    }
    case XCB_CLIENT_MESSAGE:
        noteClientMessage(*reinterpret_cast<const xcb_client_message_event_t *>(event));
        break;
    case XCB_GE_GENERIC:
        noteInputExtension(*reinterpret_cast<const xcb_ge_generic_event_t *>(event));
        break;
    default:
        break;
    }
    return false;
}

void X11TimestampGuard::noteTime(xcb_timestamp_t time, bool chosenByAnotherProgram)
{
    if (!chosenByAnotherProgram)
        m_clock.noteServerTime(time);
    else if (m_clock.mayBeAhead(time))
        requestWalk();
}

void X11TimestampGuard::notePointer(xcb_timestamp_t time, bool pressed, bool sent)
{
    noteTime(time, sent);
    if (sent)
        return;
    m_buttonDown = pressed;
    if (!pressed && m_walkAfterButton) {
        m_walkAfterButton = false;
        requestWalk();
    }
}

void X11TimestampGuard::noteInputExtension(const xcb_ge_generic_event_t &event)
{
    if (!m_inputOpcode || event.extension != m_inputOpcode)
        return;
    switch (event.event_type) {
    case XCB_INPUT_BUTTON_PRESS:
    case XCB_INPUT_BUTTON_RELEASE: {
        // The server stamps these; another program cannot send them.
        const auto &button = reinterpret_cast<const xcb_input_button_press_event_t &>(event);
        notePointer(button.time, event.event_type == XCB_INPUT_BUTTON_PRESS, false);
        break;
    }
    case XCB_INPUT_MOTION:
    case XCB_INPUT_KEY_PRESS:
    case XCB_INPUT_KEY_RELEASE:
    case XCB_INPUT_ENTER:
    case XCB_INPUT_LEAVE:
        m_clock.noteServerTime(reinterpret_cast<const xcb_input_motion_event_t &>(event).time);
        break;
    default:
        break;
    }
}

void X11TimestampGuard::noteClientMessage(const xcb_client_message_event_t &message)
{
    if (message.format != 32)
        return;
    if (message.type == m_wmProtocols && message.data.data32[0] == m_wmTakeFocus)
        noteTime(message.data.data32[1], true);
    else if (message.type == m_xdndPosition)
        noteTime(message.data.data32[3], true);
    else if (message.type == m_xdndDrop)
        noteTime(message.data.data32[2], true);
}

void X11TimestampGuard::requestWalk()
{
    // A walk already on its way comes after the event that asked for this
    // one, and sets the clock right for it too.
    if (m_walkRequested)
        return;
    m_walkRequested = true;
    // Appending nothing changes nothing but makes the server stamp a
    // property notice with its current time.
    xcb_change_property(m_connection, XCB_PROP_MODE_APPEND, m_window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0,
                        nullptr);
    // The steps' times are filled in as they arrive, after that notice.
    for (uint32_t step = 1; step <= X11ServerClock::walkSteps; ++step) {
        xcb_selection_notify_event_t notify{};
        notify.response_type = XCB_SELECTION_NOTIFY;
        notify.requestor = m_window;
        notify.selection = XCB_NONE;
        notify.target = step;
        notify.property = XCB_NONE;
        char wire[32] = {}; // xcb sends exactly 32 bytes
        static_assert(sizeof(notify) <= sizeof(wire));
        std::memcpy(wire, &notify, sizeof(notify));
        xcb_send_event(m_connection, 0, m_window, XCB_EVENT_MASK_NO_EVENT, wire);
    }
    xcb_flush(m_connection);
}

void X11TimestampGuard::takeWalkStep(xcb_selection_notify_event_t &step)
{
    const uint32_t index = step.target;
    if (index < 1 || index > X11ServerClock::walkSteps)
        return;
    if (index == 1) {
        m_walk = m_clock.walkToLatest();
        // A stray time from here on needs a walk of its own.
        m_walkRequested = false;
    }
    // Qt takes this time as it handles the notice, which it otherwise ignores.
    step.time = m_walk[index - 1];
}
