#pragma once

#include "model/HotkeyAction.h"
#include "model/KeyBinding.h"

#include <QMap>

#include <optional>

// The user's hot-key configuration: the master switch, the leader chord and
// per-action overrides of the default bindings. An override is a binding or
// an explicit "unbound" (nullopt); an absent key means the default. Keys
// that name no action are kept as they are.
struct HotkeyConfig
{
    bool enabled = true;
    quint64 leaderModifiersRaw = ModifierBits::option | ModifierBits::command;
    QMap<QString, std::optional<KeyBinding>> bindings;

    friend bool operator==(const HotkeyConfig &, const HotkeyConfig &) = default;

    // The effective binding: the override if there is one, else the default.
    std::optional<KeyBinding> binding(HotkeyAction action) const;

    static HotkeyConfig defaults() { return {}; }
    static KeyBinding defaultBinding(HotkeyAction action);
};
