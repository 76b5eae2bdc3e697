#pragma once

#include "platform/x11/XcbReply.h"

#include <QtGlobal>

#include <xcb/xcb.h>

#include <functional>

// A private connection to the X server, closed when it goes. One that could
// not be opened is null: get() returns nullptr and isValid() false.
class XcbConnection
{
public:
    // To the display `display` names, or to $DISPLAY.
    explicit XcbConnection(const char *display = nullptr);
    ~XcbConnection();
    XcbConnection(const XcbConnection &) = delete;
    XcbConnection &operator=(const XcbConnection &) = delete;

    bool isValid() const { return m_connection != nullptr; }
    xcb_connection_t *get() const { return m_connection; }
    // The screen that the display name chose.
    int screenNumber() const { return m_screenNumber; }
    // The root window of a screen; 0 when there is no such screen.
    quint32 rootWindow(int screen) const;
    int fileDescriptor() const;
    // True once the server has gone or the stream broke: nothing more comes.
    bool hasError() const;

    // The next queued event, without waiting for one; null when none is queued.
    XcbReply<xcb_generic_event_t> pollEvent() const;
    // Hands every queued event to `handle`, then frees it; returns how many came.
    int drainEvents(const std::function<void(const xcb_generic_event_t &)> &handle = {}) const;

private:
    xcb_connection_t *m_connection = nullptr;
    int m_screenNumber = 0;
};
