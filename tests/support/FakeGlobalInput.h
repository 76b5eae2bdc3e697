#pragma once

#include "platform/GlobalInput.h"
#include "platform/x11/X11KeyMap.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QSet>

#include <utility>

// Global input as fields: the test holds modifiers, presses keys and clicks
// by hand. Hot keys are "grabbed" unless the combination is in `taken`.
class FakeGlobalInput final : public GlobalInput
{
public:
    struct Registration
    {
        Token token;
        quint32 keyCode;
        quint32 modifiers;
        HotKeyId id;
    };

    quint64 modifierFlags() override { return modifiers; }
    // A change of `modifiers` set by hand is found by looking: it has no time.
    QList<ModifierChange> takeModifierChanges() override
    {
        changeModifiers(modifiers, std::nullopt);
        return std::exchange(changes, {});
    }
    // A change told with its own time on the input's clock.
    void changeModifiers(quint64 held, std::optional<double> time)
    {
        if (time)
            changeModifiers(modifiers, std::nullopt); // one set by hand came first
        if (time || held != lastTaken)
            changes.append({held, time, keyDowns});
        modifiers = lastTaken = held;
        if (time && reportsModifierChanges && modifierChangeHandler)
            modifierChangeHandler();
    }
    quint32 keyDownCount() override
    {
        // Keys typed ahead are taken in one at a time, their hot keys firing
        // inside this read, against the interface's rule: the manager must
        // cope with such an input too.
        while (!unread.isEmpty()) {
            const auto key = unread.takeFirst();
            pressKey(key.first, key.second);
        }
        return keyDowns;
    }
    // Off unless a test turns it on; setModifiers() then reports each change.
    bool setModifierChangeHandler(std::function<void()> handler) override
    {
        modifierChangeHandler = std::move(handler);
        return reportsModifierChanges;
    }
    void setModifiers(quint64 held)
    {
        modifiers = held;
        if (reportsModifierChanges && modifierChangeHandler)
            modifierChangeHandler();
    }
    void setHotKeyHandler(std::function<void(HotKeyId)> handler) override { hotKeyHandler = std::move(handler); }

    std::optional<Token> registerHotKey(quint32 keyCode, quint32 carbonModifiers, HotKeyId id) override
    {
        if (taken.contains({keyCode, carbonModifiers}))
            return std::nullopt;
        registrations.append({++lastToken, keyCode, carbonModifiers, id});
        return lastToken;
    }

    void unregisterHotKey(Token token) override
    {
        registrations.removeIf([token](const Registration &r) { return r.token == token; });
    }

    std::optional<Token> addMouseDownMonitor(std::function<void()> handler) override
    {
        mouseMonitors.insert(++lastToken, std::move(handler));
        return lastToken;
    }

    void removeMouseDownMonitor(Token token) override { mouseMonitors.remove(token); }

    // X keycodes, with the characters of a US layout where a test needs them.
    std::optional<TranslatedKey> translateKey(quint32 nativeKeyCode) const override
    {
        const std::optional<quint16> keyCode = X11KeyMap::macKeyCodeForX(quint8(nativeKeyCode));
        if (nativeKeyCode > 0xff || !keyCode)
            return std::nullopt;
        const auto typed = characters.constFind(nativeKeyCode);
        return TranslatedKey{*keyCode, typed == characters.cend() ? std::nullopt : std::optional<QString>(*typed)};
    }

    // A key press: the counter moves and a registered combination fires.
    void pressKey(quint32 keyCode, quint32 carbonModifiers = 0)
    {
        ++keyDowns;
        for (const Registration &r : std::as_const(registrations)) {
            if (r.keyCode == keyCode && r.modifiers == carbonModifiers) {
                if (hotKeyHandler)
                    hotKeyHandler(r.id);
                return;
            }
        }
    }

    // A key pressed before the counter is next read.
    void typeAhead(quint32 keyCode, quint32 carbonModifiers = 0) { unread.append({keyCode, carbonModifiers}); }

    void clickElsewhere()
    {
        for (const auto &monitor : QMap(mouseMonitors)) // a monitor may remove itself
            monitor();
    }

    quint64 modifiers = 0;
    quint64 lastTaken = 0;
    QList<ModifierChange> changes;
    bool reportsModifierChanges = false;
    std::function<void()> modifierChangeHandler;
    quint32 keyDowns = 100;
    QList<Registration> registrations;
    QSet<std::pair<quint32, quint32>> taken;
    QHash<quint32, QString> characters{{16, "7"}, {24, "q"}, {38, "a"}, {10, "1"}, {11, "2"}};
    std::function<void(HotKeyId)> hotKeyHandler;
    QMap<Token, std::function<void()>> mouseMonitors;
    QList<std::pair<quint32, quint32>> unread;
    Token lastToken = 0;
};
