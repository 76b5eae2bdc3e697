#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <optional>

// A system-wide hot key's identity: a four-character signature and a number.
struct HotKeyId
{
    quint32 signature = 0;
    quint32 id = 0;
};

// A key of the session's keyboard in the stored (macOS ANSI) numbering,
// with what it types on its first level in the current layout.
struct TranslatedKey
{
    quint16 keyCode = 0;
    std::optional<QString> charactersIgnoringModifiers;
};

// One change of the held modifier keys, as the input saw it happen.
struct ModifierChange
{
    // The modifier keys held from then on, in the stored bit layout.
    quint64 flags = 0;
    // When it happened, in seconds on the input's own clock: only the
    // differences between changes and their order mean anything. Nothing
    // when the input found the change by looking rather than being told.
    std::optional<double> time;
    // The key counter at that moment: the keys pressed before the change.
    quint32 keyDownCount = 0;
};

// Keyboard and mouse state of the whole session, whichever program has the
// focus, and system-wide hot keys. Key codes are in the stored (macOS
// ANSI) numbering, modifiers in the stored bit layout or, for hot keys, the
// classic hot-key mask; implementations translate. Handlers run from the
// event loop, never from inside a call into this interface: reading the
// counter or the modifiers does not call anything back.
class GlobalInput
{
public:
    using Token = quint64;

    virtual ~GlobalInput() = default;

    // The modifier keys held now.
    virtual quint64 modifierFlags() = 0;
    // A count of key presses seen so far; modifier keys alone do not move it.
    virtual quint32 keyDownCount() = 0;
    // Every change of the held modifiers since the last call, oldest first,
    // so that a reader held up for a moment still sees a quick press and
    // release. Only the most recent few are kept between calls.
    virtual QList<ModifierChange> takeModifierChanges() = 0;
    // Calls `handler` on the main thread whenever the held modifiers change,
    // so that a poll of them can sleep meanwhile. False when this input
    // cannot tell: the modifiers must then be polled all the time.
    virtual bool setModifierChangeHandler(std::function<void()> handler)
    {
        (void)handler;
        return false;
    }

    // Receives every press of a hot key registered here, on the main thread.
    virtual void setHotKeyHandler(std::function<void(HotKeyId)> handler) = 0;
    // Nothing when the combination cannot be had (another program holds it,
    // or the key does not exist here).
    virtual std::optional<Token> registerHotKey(quint32 keyCode, quint32 carbonModifiers, HotKeyId id) = 0;
    virtual void unregisterHotKey(Token token) = 0;

    // Calls `handler` on the main thread for each left or right click that
    // goes to another program, until its token is removed; several monitors
    // may watch at once. Nothing when clicks cannot be watched.
    virtual std::optional<Token> addMouseDownMonitor(std::function<void()> handler) = 0;
    virtual void removeMouseDownMonitor(Token token) = 0;

    // The key behind a native key code of a key event (the X keycode on
    // X11); nothing for a key that cannot be bound.
    virtual std::optional<TranslatedKey> translateKey(quint32 nativeKeyCode) const = 0;
};
