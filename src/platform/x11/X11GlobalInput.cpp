#include "platform/x11/X11GlobalInput.h"

#include "platform/x11/X11KeyMap.h"
#include "platform/x11/XInput2.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#include <QWindow>

#include <xcb/xcb.h>
#include <xcb/xinput.h>
// xkb.h names a field `explicit`, a C++ keyword.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

#include <cstdlib>

namespace {

constexpr quint8 leftButton = 1;
constexpr quint8 rightButton = 3;

} // namespace

X11GlobalInput::X11GlobalInput(std::function<QSet<quint32>()> ownWindows, QObject *parent)
    : QObject(parent)
    , m_ownWindows(std::move(ownWindows))
{
    m_connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(m_connection)) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
    }
    m_keyMap = std::make_unique<X11KeyMap>(m_connection);
    if (!m_connection)
        return;
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    setUpXkb();
    setUpXInput();
    m_notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &X11GlobalInput::drainEvents);
    xcb_flush(m_connection);
}

X11GlobalInput::~X11GlobalInput()
{
    m_notifier.reset();
    if (!m_connection)
        return;
    for (const Grab &grab : std::as_const(m_grabs))
        ungrab(grab.keycode, grab.modifiers, grab.variants);
    xcb_flush(m_connection);
    xcb_disconnect(m_connection);
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
    const xcb_query_extension_reply_t *xkb = xcb_get_extension_data(m_connection, &xcb_xkb_id);
    if (!xkb || !xkb->present)
        return;
    auto version = xcb_xkb_use_extension_reply(m_connection, xcb_xkb_use_extension(m_connection, 1, 0), nullptr);
    const bool supported = version && version->supported;
    std::free(version);
    if (!supported)
        return;
    m_xkbFirstEvent = xkb->first_event;
    xcb_xkb_select_events(m_connection, XCB_XKB_ID_USE_CORE_KBD, XCB_XKB_EVENT_TYPE_STATE_NOTIFY, 0,
                          XCB_XKB_EVENT_TYPE_STATE_NOTIFY, 0, 0, nullptr);
    auto state = xcb_xkb_get_state_reply(m_connection, xcb_xkb_get_state(m_connection, XCB_XKB_ID_USE_CORE_KBD),
                                         nullptr);
    if (state) {
        m_xkbBaseMods = state->baseMods;
        m_hasXkb = true;
        std::free(state);
    }
}

void X11GlobalInput::setUpXInput()
{
    m_xiOpcode = XInput2::open(m_connection);
    selectRawEvents();
}

void X11GlobalInput::selectRawEvents()
{
    if (!m_xiOpcode)
        return;
    uint32_t mask = XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS;
    if (m_mouseHandler)
        mask |= XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS;
    XInput2::selectRawEvents(m_connection, m_root, mask);
}

void X11GlobalInput::drainEvents()
{
    if (!m_connection)
        return;
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
        handleEvent(event);
        std::free(event);
    }
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
            if ((raw->detail == leftButton || raw->detail == rightButton) && m_mouseHandler
                && !pointerIsOverOwnWindow()) {
                const auto handler = m_mouseHandler; // it may remove the monitor
                handler();
            }
        }
        return;
    }
    if (m_hasXkb && type == m_xkbFirstEvent) {
        const auto *xkb = reinterpret_cast<const xcb_xkb_state_notify_event_t *>(event);
        if (xkb->xkbType == XCB_XKB_STATE_NOTIFY && xkb->baseMods != m_xkbBaseMods) {
            m_xkbBaseMods = xkb->baseMods;
            if (m_modifierChangeHandler)
                QMetaObject::invokeMethod(this, [this] {
                    if (m_modifierChangeHandler)
                        m_modifierChangeHandler();
                }, Qt::QueuedConnection);
        }
        return;
    }
    if (type == XCB_KEY_PRESS) {
        const auto *press = reinterpret_cast<const xcb_key_press_event_t *>(event);
        handleKeyPress(press->detail, press->state);
    } else if (type == XCB_MAPPING_NOTIFY) {
        m_keyMap->reload();
    }
}

void X11GlobalInput::handleKeyPress(quint8 keycode, quint16 state)
{
    const quint16 mods = state & m_keyMap->relevantMask();
    for (const Grab &grab : std::as_const(m_grabs)) {
        if (grab.keycode == keycode && (grab.modifiers & m_keyMap->relevantMask()) == mods) {
            if (m_hotKeyHandler)
                m_hotKeyHandler(grab.id);
            return;
        }
    }
}

quint64 X11GlobalInput::modifierFlags()
{
    if (!m_connection)
        return 0;
    drainEvents();
    if (m_hasXkb)
        return m_keyMap->modifierBits(m_xkbBaseMods);
    auto reply = xcb_query_pointer_reply(m_connection, xcb_query_pointer(m_connection, m_root), nullptr);
    if (!reply)
        return 0;
    const quint16 mask = reply->mask & 0xff; // pointer buttons are not modifiers
    std::free(reply);
    return m_keyMap->modifierBits(mask);
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

QList<quint16> X11GlobalInput::lockVariants() const
{
    const quint16 numLock = m_keyMap->numLockMask();
    return {0, XCB_MOD_MASK_LOCK, numLock, quint16(XCB_MOD_MASK_LOCK | numLock)};
}

std::optional<GlobalInput::Token> X11GlobalInput::registerHotKey(quint32 keyCode, quint32 carbonModifiers,
                                                                 HotKeyId id)
{
    if (!m_connection)
        return std::nullopt;
    const std::optional<quint8> keycode = X11KeyMap::xKeycodeForMac(keyCode);
    const std::optional<quint16> mods = m_keyMap->xModifiersForCarbon(carbonModifiers);
    if (!keycode || !mods)
        return std::nullopt;
    for (const Grab &grab : std::as_const(m_grabs)) {
        if (grab.keycode == *keycode && grab.modifiers == *mods)
            return std::nullopt; // an earlier registration of this arming holds it
    }
    QList<xcb_void_cookie_t> cookies;
    const QList<quint16> variants = lockVariants();
    for (quint16 variant : variants) {
        cookies.append(xcb_grab_key_checked(m_connection, 1, m_root, quint16(*mods | variant), *keycode,
                                            XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    bool refused = false;
    for (const xcb_void_cookie_t &cookie : std::as_const(cookies)) {
        if (xcb_generic_error_t *error = xcb_request_check(m_connection, cookie)) {
            refused = true; // BadAccess: another client holds the combination
            std::free(error);
        }
    }
    if (refused) {
        ungrab(*keycode, *mods, variants);
        xcb_flush(m_connection);
        return std::nullopt;
    }
    m_grabs.append({++m_lastToken, *keycode, *mods, variants, id});
    return m_lastToken;
}

void X11GlobalInput::ungrab(quint8 keycode, quint16 modifiers, const QList<quint16> &variants)
{
    // Only this client's own grabs are released; another's stay.
    for (quint16 variant : variants)
        xcb_ungrab_key(m_connection, keycode, m_root, quint16(modifiers | variant));
}

void X11GlobalInput::unregisterHotKey(Token token)
{
    for (qsizetype i = 0; i < m_grabs.size(); ++i) {
        if (m_grabs.at(i).token == token) {
            ungrab(m_grabs.at(i).keycode, m_grabs.at(i).modifiers, m_grabs.at(i).variants);
            m_grabs.removeAt(i);
            xcb_flush(m_connection);
            return;
        }
    }
}

std::optional<GlobalInput::Token> X11GlobalInput::addMouseDownMonitor(std::function<void()> handler)
{
    if (!m_xiOpcode)
        return std::nullopt;
    m_mouseHandler = std::move(handler);
    selectRawEvents();
    return ++m_mouseToken;
}

void X11GlobalInput::removeMouseDownMonitor(Token token)
{
    if (token != m_mouseToken)
        return;
    m_mouseHandler = nullptr;
    selectRawEvents();
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
        auto reply = xcb_query_pointer_reply(m_connection, xcb_query_pointer(m_connection, window), nullptr);
        if (!reply)
            break;
        const xcb_window_t child = reply->child;
        std::free(reply);
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
