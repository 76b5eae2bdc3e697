#pragma once

#include "model/HotkeyConfig.h"

#include <QObject>

class DefaultsStore;
class NotificationCenter;

// The one store of the hot-key configuration in the process. It loads the
// configuration once, writes every change at once as JSON under
// "zorv.hotkeys" and announces it with "zorv.hotkeys.didChange". The
// application owns the instance and hands it to whoever needs it.
class HotkeyStore final : public QObject
{
    Q_OBJECT
public:
    HotkeyStore(DefaultsStore &defaults, NotificationCenter &notifications, QObject *parent = nullptr);

    const HotkeyConfig &config() const { return m_config; }
    // Stores, writes and announces a changed configuration; an equal one
    // changes nothing.
    void setConfig(const HotkeyConfig &config);
    // Binds an action. When another action already has that binding, the
    // two swap: the other action gets this action's previous binding.
    void setBinding(const std::optional<KeyBinding> &binding, HotkeyAction action);

    static inline const QString storageKey = QStringLiteral("zorv.hotkeys");
    static inline const QString didChange = QStringLiteral("zorv.hotkeys.didChange");

private:
    DefaultsStore &m_defaults;
    NotificationCenter &m_notifications;
    HotkeyConfig m_config;
};
