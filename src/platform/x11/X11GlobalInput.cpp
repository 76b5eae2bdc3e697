#include "platform/x11/X11GlobalInput.h"

#include "platform/x11/X11KeyGrabs.h"
#include "platform/x11/X11KeyMap.h"
#include "platform/x11/XInput2.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#include <QWindow>

#include <xcb/xcb.h>
#include <xcb/xinput.h>
// xkb.h names a field `explicit`, a C++ keyword.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wkeyword-macro"
#endif
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#if defined(__clang__)
#pragma clang diagnostic pop
#endif

#include <utility>

namespace {

constexpr quint8 leftButton = 1;
constexpr quint8 rightButton = 3;

} // namespace

X11GlobalInput::X11GlobalInput(std::function<QSet<quint32>()> ownWindows, QObject *parent)
    : QObject(parent)
    , m_ownWindows(std::move(ownWindows))
{
    m_keyMap = std::make_unique<X11KeyMap>(m_connection.get());
    m_root = m_connection.rootWindow(0);
    m_keyGrabs = std::make_unique<X11KeyGrabs>(m_connection.get(), m_root, *m_keyMap);
    if (!m_connection.isValid())
        return;
    setUpXkb();
    setUpXInput();
    m_notifier = std::make_unique<QSocketNotifier>(m_connection.fileDescriptor(), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &X11GlobalInput::drainEvents);
    xcb_flush(m_connection.get());
}

X11GlobalInput::~X11GlobalInput()
{
    m_notifier.reset();
    m_keyGrabs.reset(); // releases the grabs while the connection is open
}

QSet<quint32> X11GlobalInput::applicationWindows()
{
    QSet<quint32> ids;
    for (QWindow *window : QGuiApplication::allWindows()) {
        if (window->handle())
            ids.insert(quint32(window->winId()));
    }
    return ids;
}

void X11GlobalInput::setUpXkb()
{
    xcb_connection_t *connection = m_connection.get();
    const xcb_query_extension_reply_t *xkb = xcb_get_extension_data(connection, &xcb_xkb_id);
    if (!xkb || !xkb->present)
        return;
    const auto version = xcbReply(xcb_xkb_use_extension_reply(connection, xcb_xkb_use_extension(connection, 1, 0),
                                                               nullptr));
    const bool supported = version && version->supported;
    if (!supported)
        return;
    m_xkbFirstEvent = xkb->first_event;
    // A client that uses XKB gets no core MappingNotify: a new layout or
    // modifier mapping is told only through XKB's own events.
    const quint16 events = XCB_XKB_EVENT_TYPE_STATE_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY
        | XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY;
    const quint16 mapParts = XCB_XKB_MAP_PART_KEY_TYPES | XCB_XKB_MAP_PART_KEY_SYMS | XCB_XKB_MAP_PART_MODIFIER_MAP;
    xcb_xkb_select_events(connection, XCB_XKB_ID_USE_CORE_KBD, events, 0, events, mapParts, mapParts, nullptr);
    const auto state = xcbReply(
        xcb_xkb_get_state_reply(connection, xcb_xkb_get_state(connection, XCB_XKB_ID_USE_CORE_KBD), nullptr));
    if (state) {
        m_xkbBaseMods = state->baseMods;
        m_lastRecordedFlags = m_keyMap->modifierBits(m_xkbBaseMods);
        m_hasXkb = true;
    }
}

void X11GlobalInput::setUpXInput()
{
    m_xiOpcode = XInput2::open(m_connection.get());
    selectRawEvents();
}

void X11GlobalInput::selectRawEvents()
{
    if (!m_xiOpcode)
        return;
    uint32_t mask = XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS;
    if (!m_mouseMonitors.isEmpty())
        mask |= XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS;
    XInput2::selectRawEvents(m_connection.get(), m_root, mask);
}

void X11GlobalInput::drainEvents()
{
    if (!m_connection.isValid())
        return;
    m_connection.drainEvents([this](const xcb_generic_event_t &event) { handleEvent(&event); });
}

void X11GlobalInput::handleEvent(const void *data)
{
    const auto *event = static_cast<const xcb_generic_event_t *>(data);
    const quint8 type = event->response_type & 0x7f;
    if (type == XCB_GE_GENERIC) {
        const auto *generic = reinterpret_cast<const xcb_ge_generic_event_t *>(event);
        if (generic->extension != m_xiOpcode)
            return;
        if (generic->event_type == XCB_INPUT_RAW_KEY_PRESS) {
            const auto *raw = reinterpret_cast<const xcb_input_raw_key_press_event_t *>(event);
            if (!m_keyMap->isModifierKey(quint8(raw->detail)))
                ++m_keyDowns;
        } else if (generic->event_type == XCB_INPUT_RAW_BUTTON_PRESS) {
            const auto *raw = reinterpret_cast<const xcb_input_raw_button_press_event_t *>(event);
            if ((raw->detail == leftButton || raw->detail == rightButton) && !m_mouseMonitors.isEmpty()
                && !pointerIsOverOwnWindow())
                handleClick();
        }
        return;
    }
    if (m_hasXkb && type == m_xkbFirstEvent) {
        handleXkbEvent(event);
        return;
    }
    if (type == XCB_KEY_PRESS) {
        const auto *press = reinterpret_cast<const xcb_key_press_event_t *>(event);
        handleKeyPress(press->detail, press->state);
    } else if (type == XCB_MAPPING_NOTIFY) {
        queueKeyMapReload(); // a server without XKB
    }
}

void X11GlobalInput::handleXkbEvent(const void *data)
{
    // Every XKB event has its own kind in the same place as the state event.
    const auto *xkb = static_cast<const xcb_xkb_state_notify_event_t *>(data);
    if (xkb->xkbType == XCB_XKB_MAP_NOTIFY || xkb->xkbType == XCB_XKB_NEW_KEYBOARD_NOTIFY) {
        queueKeyMapReload();
    } else if (xkb->xkbType == XCB_XKB_STATE_NOTIFY && xkb->baseMods != m_xkbBaseMods) {
        m_xkbBaseMods = xkb->baseMods;
        // Raw key presses come on this connection in the same order as the
        // state events, so the counter now holds the keys pressed before.
        recordModifierChange(m_keyMap->modifierBits(m_xkbBaseMods), serverSeconds(xkb->time));
        if (m_modifierChangeHandler)
            QMetaObject::invokeMethod(this, [this] {
                if (m_modifierChangeHandler)
                    m_modifierChangeHandler();
            }, Qt::QueuedConnection);
    }
}

void X11GlobalInput::recordModifierChange(quint64 flags, std::optional<double> time)
{
    if (flags == m_lastRecordedFlags)
        return; // only Lock, NumLock or an unmapped modifier moved
    m_lastRecordedFlags = flags;
    if (m_modifierChanges.size() == maxModifierChanges)
        m_modifierChanges.removeFirst();
    m_modifierChanges.append({flags, time, m_keyDowns});
}

double X11GlobalInput::serverSeconds(quint32 serverTime)
{
    if (m_lastServerTime) {
        const auto step = qint32(serverTime - *m_lastServerTime);
        if (step <= 0)
            return double(m_serverMilliseconds) / 1000.0; // never back
        m_serverMilliseconds += quint64(step);
    }
    m_lastServerTime = serverTime;
    return double(m_serverMilliseconds) / 1000.0;
}

void X11GlobalInput::handleKeyPress(quint8 keycode, quint16 state)
{
    const std::optional<HotKeyId> id = m_keyGrabs->match(keycode, state);
    if (!id || !m_hotKeyHandler)
        return;
    // This may run inside a read of the counter or the modifiers; the
    // receiver must not be entered from there.
    QMetaObject::invokeMethod(this, [this, hotKey = *id] {
        if (m_hotKeyHandler) {
            const auto handler = m_hotKeyHandler; // it may replace itself
            handler(hotKey);
        }
    }, Qt::QueuedConnection);
}

void X11GlobalInput::handleClick()
{
    QMetaObject::invokeMethod(this, [this] {
        // A monitor may remove itself or another: each one still present is told.
        const QMap<Token, std::function<void()>> monitors = m_mouseMonitors;
        for (auto it = monitors.cbegin(); it != monitors.cend(); ++it) {
            if (m_mouseMonitors.contains(it.key()))
                it.value()();
        }
    }, Qt::QueuedConnection);
}

void X11GlobalInput::queueKeyMapReload()
{
    // A layout switch comes as a burst of events: read the map once.
    if (m_isKeyMapReloadQueued)
        return;
    m_isKeyMapReloadQueued = true;
    QMetaObject::invokeMethod(this, &X11GlobalInput::reloadKeyMap, Qt::QueuedConnection);
}

void X11GlobalInput::reloadKeyMap()
{
    m_isKeyMapReloadQueued = false;
    m_keyMap->reload();
    m_keyGrabs->grabAgain(); // the keys may have moved, or the modifiers changed bits
    if (m_hasXkb)
        recordModifierChange(m_keyMap->modifierBits(m_xkbBaseMods), std::nullopt);
    if (m_modifierChangeHandler)
        m_modifierChangeHandler(); // the held modifiers may read differently now
    Q_EMIT keyMapReloaded();
}

quint64 X11GlobalInput::modifierFlags()
{
    if (!m_connection.isValid())
        return 0;
    drainEvents();
    if (m_hasXkb)
        return m_keyMap->modifierBits(m_xkbBaseMods);
    const auto reply = xcbReply(
        xcb_query_pointer_reply(m_connection.get(), xcb_query_pointer(m_connection.get(), m_root), nullptr));
    if (!reply)
        return 0;
    return m_keyMap->modifierBits(reply->mask & 0xff); // pointer buttons are not modifiers
}

QList<ModifierChange> X11GlobalInput::takeModifierChanges()
{
    if (!m_connection.isValid())
        return {};
    drainEvents();
    if (!m_hasXkb) // nothing tells of changes: look
        recordModifierChange(modifierFlags(), std::nullopt);
    return std::exchange(m_modifierChanges, {});
}

bool X11GlobalInput::setModifierChangeHandler(std::function<void()> handler)
{
    m_modifierChangeHandler = std::move(handler);
    return m_hasXkb; // without XKB the state is queried, and nothing tells of changes
}

quint32 X11GlobalInput::keyDownCount()
{
    drainEvents();
    return m_keyDowns;
}

void X11GlobalInput::setHotKeyHandler(std::function<void(HotKeyId)> handler)
{
    m_hotKeyHandler = std::move(handler);
}

std::optional<GlobalInput::Token> X11GlobalInput::registerHotKey(quint32 keyCode, quint32 carbonModifiers,
                                                                 HotKeyId id)
{
    return m_keyGrabs->add(keyCode, carbonModifiers, id);
}

void X11GlobalInput::unregisterHotKey(Token token)
{
    m_keyGrabs->remove(token);
}

std::optional<GlobalInput::Token> X11GlobalInput::addMouseDownMonitor(std::function<void()> handler)
{
    if (!m_xiOpcode || !handler)
        return std::nullopt;
    const bool wasWatching = !m_mouseMonitors.isEmpty();
    m_mouseMonitors.insert(++m_lastMouseToken, std::move(handler));
    if (!wasWatching)
        selectRawEvents();
    return m_lastMouseToken;
}

void X11GlobalInput::removeMouseDownMonitor(Token token)
{
    if (m_mouseMonitors.remove(token) && m_mouseMonitors.isEmpty())
        selectRawEvents(); // no raw clicks while nobody watches
}

std::optional<TranslatedKey> X11GlobalInput::translateKey(quint32 nativeKeyCode) const
{
    if (nativeKeyCode > 0xff)
        return std::nullopt;
    const std::optional<quint16> keyCode = X11KeyMap::macKeyCodeForX(quint8(nativeKeyCode));
    if (!keyCode)
        return std::nullopt;
    return TranslatedKey{*keyCode, m_keyMap->level1Characters(quint8(nativeKeyCode))};
}

bool X11GlobalInput::pointerIsOverOwnWindow()
{
    const QSet<quint32> own = m_ownWindows ? m_ownWindows() : QSet<quint32>();
    if (own.isEmpty())
        return false;
    // Down from the root through the child under the pointer to the deepest
    // window, then up through the parents: window managers reparent.
    QList<quint32> path;
    xcb_window_t window = m_root;
    for (int depth = 0; depth < 32; ++depth) {
        const auto reply = xcbReply(
            xcb_query_pointer_reply(m_connection.get(), xcb_query_pointer(m_connection.get(), window), nullptr));
        if (!reply)
            break;
        const xcb_window_t child = reply->child;
        if (child == XCB_WINDOW_NONE)
            break;
        path.append(child);
        window = child;
    }
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (own.contains(path.at(i)))
            return true;
    }
    return false;
}
