#include "hotkeys/HotkeyManager.h"

#include "model/HotkeyStore.h"
#include "platform/NotificationCenter.h"
#include "platform/Scheduler.h"

#include <QPointer>
#include <QScopedValueRollback>

#include <limits>

namespace {

constexpr double distantPast = -std::numeric_limits<double>::max();

bool withinLeader(quint64 held, quint64 leader)
{
    return (held & ~leader) == 0;
}

} // namespace

HotkeyManager::HotkeyManager(Scheduler &scheduler, GlobalInput &input, HotkeyStore &store,
                             NotificationCenter &notifications, QObject *parent)
    : QObject(parent)
    , m_scheduler(scheduler)
    , m_input(input)
    , m_store(store)
    , m_notifications(notifications)
    , m_tapStartedAt(distantPast)
    , m_lastTapEndedAt(distantPast)
{
}

HotkeyManager::~HotkeyManager()
{
    // Nothing may stay grabbed or watched once the manager is gone.
    if (m_isArmed)
        teardownArmedState();
    if (m_handlerInstalled)
        m_input.setHotKeyHandler(nullptr);
}

void HotkeyManager::start()
{
    if (!m_handlerInstalled) {
        const QPointer<HotkeyManager> self(this);
        m_input.setHotKeyHandler([self](HotKeyId id) {
            if (self)
                self->receiveHotKey(id);
        });
        m_handlerInstalled = true;
    }
    m_started = true;
    m_input.takeModifierChanges(); // what went before is no gesture
    m_held = m_input.modifierFlags() & ModifierBits::mask;
    const QPointer<HotkeyManager> self(this);
    m_canSleep = m_input.setModifierChangeHandler([self] {
        if (self && self->m_started && !self->m_pollTimer) {
            self->startPolling();
            self->poll(); // at once: the tap's timing starts now
        }
    });
    startPolling();
    if (!m_observing) {
        m_observing = true;
        connect(&m_notifications, &NotificationCenter::posted, this, [this](const QString &name) {
            if (name != HotkeyStore::didChange)
                return;
            // New bindings take effect at the next arming.
            resetGesture();
            disarm();
        });
    }
}

void HotkeyManager::startPolling()
{
    m_pollTimer = m_scheduler.scheduleRepeating(pollInterval, this, [this] { poll(); });
}

void HotkeyManager::sleepIfIdle(quint64 held)
{
    // Nothing but a modifier change can move the gesture on from here.
    if (m_canSleep && held == 0 && !m_isInTap && m_tapCount == 0 && !m_awaitingFullRelease && !m_isArmed)
        m_pollTimer.reset();
}

void HotkeyManager::stop()
{
    m_started = false;
    m_pollTimer.reset();
    disarm();
}

void HotkeyManager::setSuspended(bool suspended)
{
    m_isSuspended = suspended;
    if (suspended) {
        resetGesture();
        disarm();
    }
}

void HotkeyManager::resetGesture()
{
    m_tapCount = 0;
    m_isInTap = false;
    m_awaitingFullRelease = false;
}

void HotkeyManager::poll()
{
    const QScopedValueRollback<bool> inStep(m_isInStep, true);
    const QList<ModifierChange> changes = m_input.takeModifierChanges();
    if (!changes.isEmpty())
        m_held = changes.last().flags & ModifierBits::mask;
    const HotkeyConfig &config = m_store.config();
    if (!config.enabled || m_isSuspended) {
        resetGesture();
        sleepIfIdle(0);
        return;
    }
    if (m_isArmed)
        checkForStrayKey();
    const double now = m_scheduler.now();
    const quint64 leader = config.leaderModifiersRaw & ModifierBits::mask;
    // The latest change was read soonest after it happened: it places the
    // earlier ones too, however long they waited.
    for (const ModifierChange &change : changes) {
        if (change.time)
            m_inputClock.observe(*change.time, now);
    }
    for (const ModifierChange &change : changes)
        step(m_inputClock.place(change.time, now), change.flags & ModifierBits::mask, leader, change.keyDownCount);
    // And as things stand now: a tap held on too long, a gap run out.
    step(now, m_held, leader, std::nullopt);
    sleepIfIdle(m_held);
}

void HotkeyManager::step(double time, quint64 held, quint64 leader, std::optional<quint32> keyDownCount)
{
    if (m_isInTap && time - m_tapStartedAt > maxTapHold) { // held too long: not a tap
        m_tapCount = 0;
        m_isInTap = false;
        m_awaitingFullRelease = true;
    }
    if (m_isInTap)
        stepInTap(time, held, leader, keyDownCount);
    else
        stepBetweenTaps(time, held, leader, keyDownCount);
}

quint32 HotkeyManager::keyDownCountAt(std::optional<quint32> seen)
{
    return seen ? *seen : m_input.keyDownCount();
}

void HotkeyManager::stepInTap(double time, quint64 held, quint64 leader, std::optional<quint32> keyDownCount)
{
    if (held == leader)
        return;
    m_isInTap = false;
    if (withinLeader(held, leader)) {
        const quint32 count = keyDownCountAt(keyDownCount);
        if (count == m_keyDownCountAtGestureStart) {
            ++m_tapCount;
            m_lastTapEndedAt = time;
            if (m_tapCount == 2) {
                m_tapCount = 0;
                if (m_isArmed)
                    disarm();
                else
                    arm(count);
            }
            return;
        }
    }
    // Spoiled by another modifier, or by a key pressed during the gesture.
    m_tapCount = 0;
    m_awaitingFullRelease = held != 0;
}

void HotkeyManager::stepBetweenTaps(double time, quint64 held, quint64 leader, std::optional<quint32> keyDownCount)
{
    if (m_awaitingFullRelease) {
        if (held == 0)
            m_awaitingFullRelease = false;
        return;
    }
    if (m_tapCount >= 1 && time - m_lastTapEndedAt > maxTapGap)
        m_tapCount = 0;
    if (held == leader) {
        const quint32 count = keyDownCountAt(keyDownCount);
        if (m_tapCount == 0) {
            m_keyDownCountAtGestureStart = count;
        } else if (count != m_keyDownCountAtGestureStart) {
            // A key went down between the taps: this tap starts afresh.
            m_tapCount = 0;
            m_keyDownCountAtGestureStart = keyDownCountAt(keyDownCount);
        }
        m_isInTap = true;
        m_tapStartedAt = time;
        return;
    }
    if (withinLeader(held, leader))
        return;
    m_tapCount = 0;
    m_awaitingFullRelease = true;
}

void HotkeyManager::arm(quint32 keyDownCount)
{
    if (m_isArmed)
        return;
    m_isArmed = true;
    // Nothing of an earlier period carries over.
    m_strayKeyCheckPending = false;
    m_strayKeyTimer.reset();
    // The counter when the double tap ended: a key typed after it, while
    // the change waited to be read, went to another program and ends the
    // period as a stray key would.
    m_keyDownCountAtArm = keyDownCount;
    registerActionHotKeys();
    m_armedTimeoutTimer = m_scheduler.scheduleOneShot(armedTimeout, this, [this] {
        if (m_isArmed)
            disarm();
    });
    const QPointer<HotkeyManager> self(this);
    m_mouseMonitor = m_input.addMouseDownMonitor([self] {
        if (self)
            self->receiveClick();
    });
    if (onArm)
        onArm();
}

void HotkeyManager::disarm()
{
    if (!m_isArmed)
        return;
    teardownArmedState();
    if (m_started && !m_pollTimer)
        startPolling(); // looks once more, then sleeps
    if (onDisarm)
        onDisarm();
}

void HotkeyManager::registerActionHotKeys()
{
    const HotkeyConfig &config = m_store.config();
    const quint32 leaderMask = CarbonModifiers::fromModifierBits(config.leaderModifiersRaw & ModifierBits::mask);
    quint32 nextId = 1;
    auto add = [this](quint32 keyCode, quint32 modifiers, quint32 id) {
        if (std::optional<GlobalInput::Token> token = m_input.registerHotKey(keyCode, modifiers, {signature, id}))
            m_hotKeyRefs.append(*token);
    };
    for (HotkeyAction action : HotkeyActions::allCases()) {
        const std::optional<KeyBinding> binding = config.binding(action);
        if (!binding)
            continue; // an unbound action takes no id
        const quint32 id = nextId++;
        m_actionsByHotKeyId.insert(id, action);
        add(binding->keyCode, binding->carbonModifiers(), id);
        // A plain key also fires while the leader is still held.
        if ((binding->modifiersRaw & ModifierBits::mask) == 0)
            add(binding->keyCode, leaderMask, id);
    }
    add(cancelKeyCode, 0, cancelHotKeyId);
}

void HotkeyManager::unregisterActionHotKeys()
{
    for (GlobalInput::Token token : std::as_const(m_hotKeyRefs))
        m_input.unregisterHotKey(token);
    m_hotKeyRefs.clear();
    m_actionsByHotKeyId.clear();
}

void HotkeyManager::teardownArmedState()
{
    m_isArmed = false;
    m_strayKeyCheckPending = false;
    m_strayKeyTimer.reset();
    m_armedTimeoutTimer.reset();
    if (m_mouseMonitor) {
        m_input.removeMouseDownMonitor(*m_mouseMonitor);
        m_mouseMonitor.reset();
    }
    unregisterActionHotKeys();
}

void HotkeyManager::checkForStrayKey()
{
    if (m_strayKeyCheckPending)
        return;
    if (m_input.keyDownCount() == m_keyDownCountAtArm)
        return;
    // A hot key also moves the counter, but its event arrives within the
    // grace period and clears the pending check.
    m_strayKeyCheckPending = true;
    m_strayKeyTimer = m_scheduler.scheduleOneShot(strayKeyGrace, this, [this] {
        m_strayKeyTimer.reset();
        if (m_strayKeyCheckPending && m_isArmed)
            disarm();
    });
}

void HotkeyManager::receiveHotKey(HotKeyId id)
{
    if (m_isInStep) {
        m_scheduler.runAfter(0, this, [this, id] { receiveHotKey(id); });
        return;
    }
    handleHotKey(id);
}

void HotkeyManager::receiveClick()
{
    if (m_isInStep) {
        m_scheduler.runAfter(0, this, [this] { receiveClick(); });
        return;
    }
    if (m_isArmed)
        disarm();
}

void HotkeyManager::handleHotKey(HotKeyId id)
{
    const QScopedValueRollback<bool> inStep(m_isInStep, true);
    if (id.signature != signature)
        return;
    if (id.id == cancelHotKeyId) {
        disarm();
        return;
    }
    const auto it = m_actionsByHotKeyId.constFind(id.id);
    if (it != m_actionsByHotKeyId.cend())
        fire(*it);
}

void HotkeyManager::fire(HotkeyAction action)
{
    if (!m_isArmed)
        return;
    if (action == HotkeyAction::deleteItem) {
        // Stays armed so the next key picks the card to delete.
        m_keyDownCountAtArm = m_input.keyDownCount();
        m_strayKeyCheckPending = false;
        if (m_armedTimeoutTimer)
            m_armedTimeoutTimer->setFireDate(m_scheduler.now() + armedTimeout);
        if (onAction)
            onAction(action);
        return;
    }
    teardownArmedState();
    if (onAction)
        onAction(action);
}
