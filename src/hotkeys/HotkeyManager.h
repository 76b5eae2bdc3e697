#pragma once

#include "hotkeys/InputClock.h"
#include "model/HotkeyAction.h"
#include "platform/GlobalInput.h"

#include <QHash>
#include <QList>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class HotkeyStore;
class NotificationCenter;
class Scheduler;
class Timer;

// Turns a double tap of the leader chord into a short armed period in which
// single keys act as system-wide hot keys. The gesture is recognised by
// polling the global modifier state 60 times a second, while a modifier is
// held, a tap sequence is open or the manager is armed; otherwise the poll
// sleeps until the input reports a modifier change. Each tick goes through
// every modifier change since the last one, in order and at the time it
// happened, so a tick that comes late still sees a quick tap; hot keys exist only
// while armed, so typing elsewhere is never intercepted. Escape, a click in
// another program, any other key, another double tap, the time-out, a
// configuration change, suspension and stop() end the armed period.
// A hot key or click reported while the manager is in the middle of one of
// its own steps (by an input that calls back while it is read) is handled
// from the event loop right after that step.
class HotkeyManager final : public QObject
{
    Q_OBJECT
public:
    HotkeyManager(Scheduler &scheduler, GlobalInput &input, HotkeyStore &store, NotificationCenter &notifications,
                  QObject *parent = nullptr);
    ~HotkeyManager() override;

    std::function<void()> onArm;
    std::function<void()> onDisarm; // not after an action fired
    std::function<void(HotkeyAction)> onAction;

    void start();
    void stop();

    bool isSuspended() const { return m_isSuspended; }
    void setSuspended(bool suspended);
    bool isArmed() const { return m_isArmed; }
    bool isPolling() const { return m_pollTimer != nullptr; }

    static constexpr double maxTapHold = 0.45;
    static constexpr double maxTapGap = 0.4;
    static constexpr double armedTimeout = 6.0;
    static constexpr double pollInterval = 1.0 / 60.0;
    static constexpr double strayKeyGrace = 0.12;
    static constexpr quint32 cancelHotKeyId = 999;
    static constexpr quint32 cancelKeyCode = 53; // Escape
    static constexpr quint32 signature = ('Z' << 24) | ('O' << 16) | ('R' << 8) | 'V';

private:
    void poll();
    void startPolling();
    void sleepIfIdle(quint64 held);
    // One look at the held set at `time`; `keyDownCount` is the counter
    // then, or nothing to read it now.
    void step(double time, quint64 held, quint64 leader, std::optional<quint32> keyDownCount);
    void stepInTap(double time, quint64 held, quint64 leader, std::optional<quint32> keyDownCount);
    void stepBetweenTaps(double time, quint64 held, quint64 leader, std::optional<quint32> keyDownCount);
    quint32 keyDownCountAt(std::optional<quint32> seen);
    void resetGesture();
    void arm(quint32 keyDownCount);
    void disarm();
    void registerActionHotKeys();
    void unregisterActionHotKeys();
    void teardownArmedState();
    void checkForStrayKey();
    void receiveHotKey(HotKeyId id);
    void receiveClick();
    void handleHotKey(HotKeyId id);
    void fire(HotkeyAction action);

    Scheduler &m_scheduler;
    GlobalInput &m_input;
    HotkeyStore &m_store;
    NotificationCenter &m_notifications;

    bool m_isSuspended = false;
    bool m_isArmed = false;
    std::unique_ptr<Timer> m_pollTimer;
    InputClock m_inputClock;
    quint64 m_held = 0; // as of the last change taken
    int m_tapCount = 0;
    bool m_isInTap = false;
    double m_tapStartedAt;
    double m_lastTapEndedAt;
    bool m_awaitingFullRelease = false;
    quint32 m_keyDownCountAtGestureStart = 0;
    quint32 m_keyDownCountAtArm = 0;
    bool m_strayKeyCheckPending = false;
    std::unique_ptr<Timer> m_strayKeyTimer;
    std::unique_ptr<Timer> m_armedTimeoutTimer;
    std::optional<GlobalInput::Token> m_mouseMonitor;
    QList<GlobalInput::Token> m_hotKeyRefs;
    QHash<quint32, HotkeyAction> m_actionsByHotKeyId;
    bool m_handlerInstalled = false;
    bool m_observing = false;
    bool m_started = false;
    bool m_canSleep = false; // the input reports modifier changes
    bool m_isInStep = false; // polling, or handling a hot key
};
