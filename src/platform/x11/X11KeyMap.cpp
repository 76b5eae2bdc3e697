#include "platform/x11/X11KeyMap.h"

#include "platform/ModifierBits.h"
#include "platform/x11/XcbReply.h"

#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon.h>

namespace {

// macOS ANSI key code -> X keycode (evdev + 8), for every key that can be bound.
const QHash<quint32, quint8> &macToX()
{
    static const QHash<quint32, quint8> table = {
        // Letters.
        {0, 38}, {11, 56}, {8, 54}, {2, 40}, {14, 26}, {3, 41}, {5, 42}, {4, 43}, {34, 31}, {38, 44}, {40, 45},
        {37, 46}, {46, 58}, {45, 57}, {31, 32}, {35, 33}, {12, 24}, {15, 27}, {1, 39}, {17, 28}, {32, 30}, {9, 55},
        {13, 25}, {7, 53}, {16, 29}, {6, 52},
        // Digits 1 to 0.
        {18, 10}, {19, 11}, {20, 12}, {21, 13}, {23, 14}, {22, 15}, {26, 16}, {28, 17}, {25, 18}, {29, 19},
        // Punctuation: - = [ ] \ ; ' ` , . /
        {27, 20}, {24, 21}, {33, 34}, {30, 35}, {42, 51}, {41, 47}, {39, 48}, {50, 49}, {43, 59}, {47, 60}, {44, 61},
        // Editing and navigation.
        {53, 9}, {49, 65}, {36, 36}, {48, 23}, {51, 22}, {117, 119}, {123, 113}, {124, 114}, {126, 111}, {125, 116},
        {115, 110}, {119, 115}, {116, 112}, {121, 117},
        // F1 to F12.
        {122, 67}, {120, 68}, {99, 69}, {118, 70}, {96, 71}, {97, 72}, {98, 73}, {100, 74}, {101, 75}, {109, 76},
        {103, 95}, {111, 96},
    };
    return table;
}

const QHash<quint8, quint16> &xToMac()
{
    static const QHash<quint8, quint16> table = [] {
        QHash<quint8, quint16> reverse;
        for (auto it = macToX().cbegin(); it != macToX().cend(); ++it)
            reverse.insert(it.value(), quint16(it.key()));
        return reverse;
    }();
    return table;
}

constexpr quint32 keysymAltL = 0xffe9;
constexpr quint32 keysymAltR = 0xffea;
constexpr quint32 keysymMetaL = 0xffe7;
constexpr quint32 keysymMetaR = 0xffe8;
constexpr quint32 keysymSuperL = 0xffeb;
constexpr quint32 keysymSuperR = 0xffec;
constexpr quint32 keysymNumLock = 0xff7f;

} // namespace

X11KeyMap::X11KeyMap(xcb_connection_t *connection)
    : m_connection(connection)
{
    reload();
}

std::optional<quint8> X11KeyMap::xKeycodeForMac(quint32 macKeyCode)
{
    const auto it = macToX().constFind(macKeyCode);
    if (it == macToX().cend())
        return std::nullopt;
    return *it;
}

std::optional<quint16> X11KeyMap::macKeyCodeForX(quint8 xKeycode)
{
    const auto it = xToMac().constFind(xKeycode);
    if (it == xToMac().cend())
        return std::nullopt;
    return *it;
}

void X11KeyMap::reload()
{
    m_keysyms.clear();
    m_modifierKeycodes.clear();
    m_altMask = m_superMask = m_numLockMask = 0;
    if (!m_connection)
        return;

    const xcb_setup_t *setup = xcb_get_setup(m_connection);
    m_minKeycode = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    const auto mapping = xcbReply(xcb_get_keyboard_mapping_reply(
        m_connection, xcb_get_keyboard_mapping(m_connection, setup->min_keycode, quint8(count)), nullptr));
    if (mapping) {
        m_keysymsPerKeycode = mapping->keysyms_per_keycode;
        const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(mapping.get());
        const int length = xcb_get_keyboard_mapping_keysyms_length(mapping.get());
        for (int i = 0; i < length; ++i)
            m_keysyms.append(syms[i]);
    }

    const auto modifiers =
        xcbReply(xcb_get_modifier_mapping_reply(m_connection, xcb_get_modifier_mapping(m_connection), nullptr));
    if (!modifiers)
        return;
    const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(modifiers.get());
    const int perModifier = modifiers->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        bool holdsAlt = false;
        bool holdsSuper = false;
        bool holdsNumLock = false;
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t code = codes[modifier * perModifier + i];
            if (code == 0)
                continue;
            m_modifierKeycodes.insert(code);
            const int base = (code - m_minKeycode) * m_keysymsPerKeycode;
            for (int level = 0; level < m_keysymsPerKeycode && base + level < m_keysyms.size(); ++level) {
                const quint32 sym = m_keysyms.at(base + level);
                holdsAlt = holdsAlt || sym == keysymAltL || sym == keysymAltR || sym == keysymMetaL
                    || sym == keysymMetaR;
                holdsSuper = holdsSuper || sym == keysymSuperL || sym == keysymSuperR;
                holdsNumLock = holdsNumLock || sym == keysymNumLock;
            }
        }
        // Shift, Lock and Control are fixed; the others are known by what
        // they hold. A modifier holding Super is Super even if Meta shares it.
        if (modifier < 3)
            continue;
        const quint16 mask = quint16(1u << modifier);
        if (holdsSuper)
            m_superMask |= mask;
        else if (holdsAlt)
            m_altMask |= mask;
        if (holdsNumLock)
            m_numLockMask |= mask;
    }
}

std::optional<QString> X11KeyMap::level1Characters(quint8 xKeycode) const
{
    const int index = (xKeycode - m_minKeycode) * m_keysymsPerKeycode;
    if (m_keysymsPerKeycode == 0 || index < 0 || index >= m_keysyms.size())
        return std::nullopt;
    const quint32 sym = m_keysyms.at(index);
    char buffer[16] = {};
    const int size = xkb_keysym_to_utf8(sym, buffer, sizeof buffer);
    if (size <= 1) // 0: no character; 1: only the terminating zero
        return std::nullopt;
    return QString::fromUtf8(buffer);
}

quint16 X11KeyMap::relevantMask() const
{
    return quint16(XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | m_altMask | m_superMask);
}

quint64 X11KeyMap::modifierBits(quint16 xState) const
{
    quint64 bits = 0;
    if (xState & XCB_MOD_MASK_SHIFT)
        bits |= ModifierBits::shift;
    if (xState & XCB_MOD_MASK_CONTROL)
        bits |= ModifierBits::control;
    if (m_altMask && (xState & m_altMask))
        bits |= ModifierBits::option;
    if (m_superMask && (xState & m_superMask))
        bits |= ModifierBits::command;
    return bits;
}

std::optional<quint16> X11KeyMap::xModifiersForCarbon(quint32 carbonModifiers) const
{
    quint16 mods = 0;
    if (carbonModifiers & CarbonModifiers::shift)
        mods |= XCB_MOD_MASK_SHIFT;
    if (carbonModifiers & CarbonModifiers::control)
        mods |= XCB_MOD_MASK_CONTROL;
    // A grab names one modifier bit: the lowest that carries the key.
    auto lowestBit = [](quint16 mask) { return quint16(mask & -mask); };
    if (carbonModifiers & CarbonModifiers::option) {
        if (!m_altMask)
            return std::nullopt;
        mods |= lowestBit(m_altMask);
    }
    if (carbonModifiers & CarbonModifiers::command) {
        if (!m_superMask)
            return std::nullopt;
        mods |= lowestBit(m_superMask);
    }
    return mods;
}
