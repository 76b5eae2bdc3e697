#include "platform/x11/X11KeyGrabs.h"

#include "platform/x11/X11KeyMap.h"
#include "platform/x11/XcbReply.h"

#include <xcb/xcb.h>

X11KeyGrabs::X11KeyGrabs(xcb_connection_t *connection, quint32 root, const X11KeyMap &keyMap)
    : m_connection(connection)
    , m_root(root)
    , m_keyMap(keyMap)
{
}

X11KeyGrabs::~X11KeyGrabs()
{
    if (!m_connection)
        return;
    for (Grab &entry : m_grabs)
        ungrab(entry);
    xcb_flush(m_connection);
}

QList<quint16> X11KeyGrabs::lockVariants() const
{
    const quint16 numLock = m_keyMap.numLockMask();
    return {0, XCB_MOD_MASK_LOCK, numLock, quint16(XCB_MOD_MASK_LOCK | numLock)};
}

std::optional<X11KeyGrabs::Token> X11KeyGrabs::add(quint32 macKeyCode, quint32 carbonModifiers, HotKeyId id)
{
    if (!m_connection)
        return std::nullopt;
    Grab added;
    added.token = ++m_lastToken;
    added.macKeyCode = macKeyCode;
    added.carbonModifiers = carbonModifiers;
    added.id = id;
    if (!grab(added))
        return std::nullopt;
    m_grabs.append(added);
    return added.token;
}

bool X11KeyGrabs::grab(Grab &entry)
{
    const std::optional<quint8> keycode = X11KeyMap::xKeycodeForMac(entry.macKeyCode);
    const std::optional<quint16> mods = m_keyMap.xModifiersForCarbon(entry.carbonModifiers);
    if (!keycode || !mods)
        return false;
    for (const Grab &other : std::as_const(m_grabs)) {
        if (other.isActive && other.keycode == *keycode && other.modifiers == *mods)
            return false; // an earlier registration holds it
    }
    entry.keycode = *keycode;
    entry.modifiers = *mods;
    entry.variants = lockVariants();
    QList<xcb_void_cookie_t> cookies;
    for (quint16 variant : std::as_const(entry.variants)) {
        cookies.append(xcb_grab_key_checked(m_connection, 1, m_root, quint16(*mods | variant), *keycode,
                                            XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    bool refused = false;
    for (const xcb_void_cookie_t &cookie : std::as_const(cookies)) {
        if (xcbReply(xcb_request_check(m_connection, cookie)))
            refused = true; // BadAccess: another client holds the combination
    }
    entry.isActive = true;
    if (refused) {
        ungrab(entry);
        xcb_flush(m_connection);
    }
    return entry.isActive;
}

void X11KeyGrabs::ungrab(Grab &entry)
{
    if (!entry.isActive)
        return;
    // Only this client's own grabs are released; another's stay.
    for (quint16 variant : std::as_const(entry.variants))
        xcb_ungrab_key(m_connection, entry.keycode, m_root, quint16(entry.modifiers | variant));
    entry.isActive = false;
}

void X11KeyGrabs::remove(Token token)
{
    for (qsizetype i = 0; i < m_grabs.size(); ++i) {
        if (m_grabs.at(i).token == token) {
            ungrab(m_grabs[i]);
            m_grabs.removeAt(i);
            xcb_flush(m_connection);
            return;
        }
    }
}

void X11KeyGrabs::grabAgain()
{
    if (!m_connection)
        return;
    // Grabs the new mapping translates as before stay, so that no key slips
    // through meanwhile; the others are all let go first, since one may now
    // sit where another was.
    const QList<quint16> variants = lockVariants();
    QList<qsizetype> changed;
    for (qsizetype i = 0; i < m_grabs.size(); ++i) {
        Grab &entry = m_grabs[i];
        if (entry.isActive && entry.variants == variants
            && m_keyMap.xModifiersForCarbon(entry.carbonModifiers) == entry.modifiers)
            continue;
        ungrab(entry);
        changed.append(i);
    }
    for (qsizetype i : std::as_const(changed))
        grab(m_grabs[i]);
    xcb_flush(m_connection);
}

std::optional<HotKeyId> X11KeyGrabs::match(quint8 keycode, quint16 state) const
{
    const quint16 relevant = m_keyMap.relevantMask();
    for (const Grab &entry : std::as_const(m_grabs)) {
        if (entry.isActive && entry.keycode == keycode && (entry.modifiers & relevant) == (state & relevant))
            return entry.id;
    }
    return std::nullopt;
}
