#include "model/HotkeyStore.h"

#include "model/HotkeyConfigJson.h"
#include "platform/DefaultsStore.h"
#include "platform/NotificationCenter.h"

HotkeyStore::HotkeyStore(DefaultsStore &defaults, NotificationCenter &notifications, QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_notifications(notifications)
{
    // An unreadable stored value is left in place until the next change.
    if (const std::optional<QByteArray> stored = m_defaults.dataForKey(storageKey)) {
        if (std::optional<HotkeyConfig> config = HotkeyConfigJson::decode(*stored))
            m_config = std::move(*config);
    }
}

void HotkeyStore::setConfig(const HotkeyConfig &config)
{
    if (config == m_config)
        return;
    m_config = config;
    m_defaults.setData(storageKey, HotkeyConfigJson::encode(m_config));
    m_notifications.post(didChange, this);
}

void HotkeyStore::setBinding(const std::optional<KeyBinding> &binding, HotkeyAction action)
{
    HotkeyConfig copy = m_config;
    const std::optional<KeyBinding> previous = copy.binding(action);
    if (binding) {
        for (HotkeyAction other : HotkeyActions::allCases()) {
            if (other != action && copy.binding(other) == binding) {
                copy.bindings.insert(HotkeyActions::rawValue(other), previous);
                break;
            }
        }
    }
    copy.bindings.insert(HotkeyActions::rawValue(action), binding);
    setConfig(copy);
}
