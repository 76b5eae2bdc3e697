#pragma once

#include "platform/x11/X11ServerClock.h"

#include <QAbstractNativeEventFilter>

#include <xcb/xcb.h>

// Keeps other programs' timestamps from moving Qt's idea of the X server's
// time. Qt's connection takes the time of every selection request, selection
// notice, sent event and some client messages, whoever chose it, and never
// goes back: one program that stamps its requests with a bogus future time
// (pcmanfm sends Unix seconds) makes every later copy and drag of Zorv's
// fail, because the server refuses a selection claimed "in the future".
//
// The guard watches Qt's event stream from a native event filter. The events
// themselves pass through untouched: an owner must echo a request's own time
// in its answer, and drop targets rely on that. When another program's time
// is later than anything the server has said, the guard asks the server for
// its time (a property change on a window of its own) and then walks Qt's
// clock forward, through selection notices that it sends to that window,
// round to the server's real time. Nothing waits: the answer and the walk
// arrive as events, in order, after the event that set Qt's time astray.
//
// One exception waits for the button to come up: while Zorv's own drag is in
// flight, Qt serves a drop target's data requests only when their time is the
// one Qt stamps its own drag messages with, its current time. A target with a
// clock of its own (pcmanfm again) is served because Qt takes its time; so
// requests for the drag's data move the clock while the button is down, and
// the walk back runs as it comes up, after the drop has gone out.
class X11TimestampGuard final : public QAbstractNativeEventFilter
{
public:
    // Watches the application's events on `connection`, which must be the
    // application's own; with none (another platform) it does nothing.
    explicit X11TimestampGuard(xcb_connection_t *connection);
    ~X11TimestampGuard() override;
    X11TimestampGuard(const X11TimestampGuard &) = delete;
    X11TimestampGuard &operator=(const X11TimestampGuard &) = delete;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    void noteTime(xcb_timestamp_t time, bool chosenByAnotherProgram);
    void notePointer(xcb_timestamp_t time, bool pressed, bool sent);
    void noteInputExtension(const xcb_ge_generic_event_t &event);
    void noteClientMessage(const xcb_client_message_event_t &message);
    void requestWalk();
    void takeWalkStep(xcb_selection_notify_event_t &step);

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_window = XCB_NONE;
    xcb_atom_t m_wmProtocols = XCB_NONE;
    xcb_atom_t m_wmTakeFocus = XCB_NONE;
    xcb_atom_t m_xdndPosition = XCB_NONE;
    xcb_atom_t m_xdndDrop = XCB_NONE;
    xcb_atom_t m_xdndSelection = XCB_NONE;
    uint8_t m_inputOpcode = 0;
    X11ServerClock m_clock;
    std::array<X11ServerClock::Timestamp, X11ServerClock::walkSteps> m_walk{};
    bool m_walkRequested = false;
    bool m_buttonDown = false;
    bool m_walkAfterButton = false;
};
