#pragma once

#include <QList>
#include <QString>

#include <optional>

// What a single key can do while the leader has armed the hot keys.
enum class HotkeyAction {
    copySlot1,
    copySlot2,
    copySlot3,
    copySlot4,
    copySlot5,
    restoreHistory,
    addClipboard,
    deleteItem,
};

namespace HotkeyActions {

// Every action, in the order every list and loop follows.
const QList<HotkeyAction> &allCases();
QString rawValue(HotkeyAction action);
std::optional<HotkeyAction> fromRawValue(const QString &raw);
QString title(HotkeyAction action);
// The slot (0 to 4) a copy action addresses.
std::optional<int> copySlotIndex(HotkeyAction action);

} // namespace HotkeyActions
