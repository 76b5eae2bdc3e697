#pragma once

#include "platform/GlobalInput.h"

#include <QList>

#include <optional>

class X11KeyMap;
struct xcb_connection_t;

// The hot keys registered on the X server: passive grabs on the root
// window, each in four variants so that Caps Lock and Num Lock do not stop
// them. A registration keeps the key and modifiers it was asked for, so
// that after a keyboard mapping change it can be grabbed again as the new
// mapping translates it.
class X11KeyGrabs
{
public:
    using Token = GlobalInput::Token;

    X11KeyGrabs(xcb_connection_t *connection, quint32 root, const X11KeyMap &keyMap);
    ~X11KeyGrabs();
    X11KeyGrabs(const X11KeyGrabs &) = delete;
    X11KeyGrabs &operator=(const X11KeyGrabs &) = delete;

    // Nothing when the combination cannot be had: the key or a modifier is
    // missing here, another client holds it, or an earlier registration
    // already grabbed it.
    std::optional<Token> add(quint32 macKeyCode, quint32 carbonModifiers, HotKeyId id);
    void remove(Token token);
    // Grabs each registration again that the current key map translates
    // differently. One that is refused now stays registered, inactive,
    // until it is removed or the mapping changes once more.
    void grabAgain();
    // The hot key that a key press on a grab belongs to.
    std::optional<HotKeyId> match(quint8 keycode, quint16 state) const;

    // Every registration is grabbed with these extra lock modifiers too.
    QList<quint16> lockVariants() const;

private:
    struct Grab
    {
        Token token = 0;
        quint32 macKeyCode = 0;
        quint32 carbonModifiers = 0;
        HotKeyId id;
        bool isActive = false;
        quint8 keycode = 0;
        quint16 modifiers = 0;
        QList<quint16> variants; // exactly what was grabbed, even if the mapping changes later
    };

    bool grab(Grab &entry);
    void ungrab(Grab &entry);

    xcb_connection_t *m_connection;
    quint32 m_root;
    const X11KeyMap &m_keyMap;
    QList<Grab> m_grabs;
    Token m_lastToken = 0;
};
