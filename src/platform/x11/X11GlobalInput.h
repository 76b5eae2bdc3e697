#pragma once

#include "platform/GlobalInput.h"
#include "platform/x11/XcbConnection.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QSet>

#include <memory>
#include <optional>

class QSocketNotifier;
class X11KeyGrabs;
class X11KeyMap;

// Global input on a private X connection, read through a socket notifier:
// - modifier state from XKB state events (queried only without XKB), each
//   change kept with its server time until it is taken,
// - the key counter from XInput2 raw key presses, modifier keys excluded,
// - hot keys as passive grabs on the root window (X11KeyGrabs),
// - the click monitors from XInput2 raw presses of buttons 1 and 3, judged
//   by the window under the pointer,
// - the key map, read again when XKB (or, without it, the core protocol)
//   reports a new layout or modifier mapping.
// Reads drain the connection, but hot keys and clicks found there are
// handed over from the event loop, never from inside the read.
class X11GlobalInput final : public QObject, public GlobalInput
{
    Q_OBJECT
public:
    // `ownWindows` names the X windows that belong to this program; clicks
    // on them do not count as clicks elsewhere.
    explicit X11GlobalInput(std::function<QSet<quint32>()> ownWindows, QObject *parent = nullptr);
    ~X11GlobalInput() override;

    // The X windows of this process's Qt windows that exist now.
    static QSet<quint32> applicationWindows();

    bool isConnected() const { return m_connection.isValid(); }
    bool hasEventFedModifiers() const { return m_hasXkb; }
    bool hasRawEvents() const { return m_xiOpcode != 0; }
    const X11KeyMap &keyMap() const { return *m_keyMap; }

    quint64 modifierFlags() override;
    quint32 keyDownCount() override;
    QList<ModifierChange> takeModifierChanges() override;
    bool setModifierChangeHandler(std::function<void()> handler) override;
    void setHotKeyHandler(std::function<void(HotKeyId)> handler) override;
    std::optional<Token> registerHotKey(quint32 keyCode, quint32 carbonModifiers, HotKeyId id) override;
    void unregisterHotKey(Token token) override;
    std::optional<Token> addMouseDownMonitor(std::function<void()> handler) override;
    void removeMouseDownMonitor(Token token) override;
    std::optional<TranslatedKey> translateKey(quint32 nativeKeyCode) const override;

    // Changes kept for a reader that does not come: the oldest go first.
    static constexpr qsizetype maxModifierChanges = 64;

Q_SIGNALS:
    // The layout or the modifier mapping changed, and the key map, the
    // modifier masks and the grabs have followed.
    void keyMapReloaded();

private:
    void setUpXkb();
    void setUpXInput();
    void selectRawEvents();
    void drainEvents();
    void handleEvent(const void *event); // an xcb_generic_event_t
    void handleXkbEvent(const void *event); // any XKB event
    void handleKeyPress(quint8 keycode, quint16 state);
    void handleClick();
    void recordModifierChange(quint64 flags, std::optional<double> time);
    double serverSeconds(quint32 serverTime);
    void queueKeyMapReload();
    void reloadKeyMap();
    bool pointerIsOverOwnWindow();

    std::function<QSet<quint32>()> m_ownWindows;
    XcbConnection m_connection;
    quint32 m_root = 0;
    std::unique_ptr<X11KeyMap> m_keyMap;
    std::unique_ptr<X11KeyGrabs> m_keyGrabs;
    std::unique_ptr<QSocketNotifier> m_notifier;
    quint8 m_xkbFirstEvent = 0;
    bool m_hasXkb = false;
    quint8 m_xiOpcode = 0;
    quint16 m_xkbBaseMods = 0;
    QList<ModifierChange> m_modifierChanges;
    quint64 m_lastRecordedFlags = 0;
    // Server times are milliseconds that wrap every 49.7 days; counted on
    // here from the first one seen, they never do.
    std::optional<quint32> m_lastServerTime;
    quint64 m_serverMilliseconds = 0;
    quint32 m_keyDowns = 0;
    bool m_isKeyMapReloadQueued = false;
    std::function<void(HotKeyId)> m_hotKeyHandler;
    QMap<Token, std::function<void()>> m_mouseMonitors;
    Token m_lastMouseToken = 0;
    std::function<void()> m_modifierChangeHandler;
};
