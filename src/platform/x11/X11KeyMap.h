#pragma once

#include <QHash>
#include <QSet>
#include <QString>

#include <optional>

struct xcb_connection_t;

// The keyboard as the X server maps it, translated to the stored layout:
// key codes in the macOS ANSI numbering (X keycodes are evdev codes + 8),
// modifier bits in the stored layout, and the character a key types on its
// first level. Which X modifier carries Alt and which Super is read from
// the modifier mapping, never assumed.
class X11KeyMap
{
public:
    // Reads the mapping from the server; reload() after a MappingNotify.
    explicit X11KeyMap(xcb_connection_t *connection);
    void reload();

    static std::optional<quint8> xKeycodeForMac(quint32 macKeyCode);
    static std::optional<quint16> macKeyCodeForX(quint8 xKeycode);

    // What the key types without modifiers, as UTF-8 text; nothing for keys
    // that type no character.
    std::optional<QString> level1Characters(quint8 xKeycode) const;
    // X modifier state (core event or query mask) to the stored bit layout.
    quint64 modifierBits(quint16 xState) const;
    // Classic hot-key mask to X modifiers; nothing if a needed modifier is
    // not mapped on this keyboard.
    std::optional<quint16> xModifiersForCarbon(quint32 carbonModifiers) const;
    bool isModifierKey(quint8 xKeycode) const { return m_modifierKeycodes.contains(xKeycode); }

    quint16 altMask() const { return m_altMask; }
    quint16 superMask() const { return m_superMask; }
    quint16 numLockMask() const { return m_numLockMask; }
    // The modifiers a hot key depends on: shift, control, Alt, Super.
    quint16 relevantMask() const;

private:
    xcb_connection_t *m_connection;
    quint8 m_minKeycode = 8;
    int m_keysymsPerKeycode = 0;
    QList<quint32> m_keysyms;
    QSet<quint8> m_modifierKeycodes;
    quint16 m_altMask = 0;
    quint16 m_superMask = 0;
    quint16 m_numLockMask = 0;
};
