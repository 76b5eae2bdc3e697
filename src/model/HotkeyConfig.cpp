#include "model/HotkeyConfig.h"

std::optional<KeyBinding> HotkeyConfig::binding(HotkeyAction action) const
{
    const auto it = bindings.constFind(HotkeyActions::rawValue(action));
    if (it != bindings.cend())
        return *it;
    return defaultBinding(action);
}

KeyBinding HotkeyConfig::defaultBinding(HotkeyAction action)
{
    // macOS ANSI key codes: the digits 1 to 5 (23 is 5, not 6), H, the key
    // of "=" and "+", and X.
    switch (action) {
    case HotkeyAction::copySlot1:
        return {18, 0, QStringLiteral("1")};
    case HotkeyAction::copySlot2:
        return {19, 0, QStringLiteral("2")};
    case HotkeyAction::copySlot3:
        return {20, 0, QStringLiteral("3")};
    case HotkeyAction::copySlot4:
        return {21, 0, QStringLiteral("4")};
    case HotkeyAction::copySlot5:
        return {23, 0, QStringLiteral("5")};
    case HotkeyAction::restoreHistory:
        return {4, 0, QStringLiteral("H")};
    case HotkeyAction::addClipboard:
        return {24, 0, QStringLiteral("+")};
    case HotkeyAction::deleteItem:
        return {7, 0, QStringLiteral("X")};
    }
    return {};
}
