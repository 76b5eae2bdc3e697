#pragma once

#include "platform/ModifierBits.h"

#include <QString>
#include <QStringList>

#include <optional>

// A key press as the platform reports it: the key's code in the stored
// (macOS ANSI) numbering, what it types without modifiers, and the held
// modifiers in the stored bit layout.
struct KeyEvent
{
    quint16 keyCode = 0;
    std::optional<QString> charactersIgnoringModifiers;
    quint64 modifierFlags = 0;
};

// A key and the modifiers that must be held with it, with the text that
// names the key on key caps.
struct KeyBinding
{
    quint32 keyCode = 0;
    quint64 modifiersRaw = 0;
    QString label;

    friend bool operator==(const KeyBinding &, const KeyBinding &) = default;

    // The binding a key press makes, or nothing when no label can be formed.
    static std::optional<KeyBinding> fromEvent(const KeyEvent &event);

    // The modifiers in the classic hot-key mask layout.
    quint32 carbonModifiers() const;

    // The modifier names and the label joined with "+", as "Alt+1"; the
    // label alone without modifiers.
    QString title() const;
};

namespace CarbonModifiers {
quint32 fromModifierBits(quint64 bits);
} // namespace CarbonModifiers

// The name of each held modifier as shown on screen ("Ctrl", "Alt", "Shift",
// "Super"), in the order control, option, shift, command.
QStringList modifierGlyphs(quint64 modifierFlags);
