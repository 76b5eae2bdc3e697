#include "model/HotkeyAction.h"

namespace HotkeyActions {

const QList<HotkeyAction> &allCases()
{
    static const QList<HotkeyAction> cases = {
        HotkeyAction::copySlot1,      HotkeyAction::copySlot2,    HotkeyAction::copySlot3,
        HotkeyAction::copySlot4,      HotkeyAction::copySlot5,    HotkeyAction::restoreHistory,
        HotkeyAction::addClipboard,   HotkeyAction::deleteItem,
    };
    return cases;
}

QString rawValue(HotkeyAction action)
{
    switch (action) {
    case HotkeyAction::copySlot1:
        return QStringLiteral("copySlot1");
    case HotkeyAction::copySlot2:
        return QStringLiteral("copySlot2");
    case HotkeyAction::copySlot3:
        return QStringLiteral("copySlot3");
    case HotkeyAction::copySlot4:
        return QStringLiteral("copySlot4");
    case HotkeyAction::copySlot5:
        return QStringLiteral("copySlot5");
    case HotkeyAction::restoreHistory:
        return QStringLiteral("restoreHistory");
    case HotkeyAction::addClipboard:
        return QStringLiteral("addClipboard");
    case HotkeyAction::deleteItem:
        return QStringLiteral("deleteItem");
    }
    return {};
}

std::optional<HotkeyAction> fromRawValue(const QString &raw)
{
    for (HotkeyAction action : allCases()) {
        if (rawValue(action) == raw)
            return action;
    }
    return std::nullopt;
}

std::optional<int> copySlotIndex(HotkeyAction action)
{
    switch (action) {
    case HotkeyAction::copySlot1:
        return 0;
    case HotkeyAction::copySlot2:
        return 1;
    case HotkeyAction::copySlot3:
        return 2;
    case HotkeyAction::copySlot4:
        return 3;
    case HotkeyAction::copySlot5:
        return 4;
    default:
        return std::nullopt;
    }
}

QString title(HotkeyAction action)
{
    if (const std::optional<int> slot = copySlotIndex(action))
        return QStringLiteral("Copy item ") + QString::number(*slot + 1);
    switch (action) {
    case HotkeyAction::restoreHistory:
        return QStringLiteral("Restore from history");
    case HotkeyAction::addClipboard:
        return QStringLiteral("Add clipboard to shelf");
    case HotkeyAction::deleteItem:
        return QStringLiteral("Delete item (then 1\u20135)");
    default:
        return {};
    }
}

} // namespace HotkeyActions
