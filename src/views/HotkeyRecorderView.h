#pragma once

#include "model/HotkeyAction.h"

#include <QList>
#include <QWidget>

#include <functional>
#include <optional>

class GlobalInput;
class HotkeyStore;
class KeyCapView;
class QLabel;
class Scheduler;

// Shows the key of one action, or the leader chord, as key caps and
// records a new one: a click starts recording, the next key (for an
// action) or the next complete press and release of modifiers (for the
// leader) is stored, and recording ends.
class HotkeyRecorderView final : public QWidget
{
    Q_OBJECT
public:
    // What the recorder edits: an action's binding, or the leader (no action).
    struct Mode
    {
        std::optional<HotkeyAction> action;

        static Mode leader() { return {}; }
        static Mode forAction(HotkeyAction action) { return {action}; }
        bool isLeader() const { return !action; }
    };

    HotkeyRecorderView(Mode mode, HotkeyStore &store, const GlobalInput &keyboard, Scheduler &scheduler,
                       QWidget *parent = nullptr);
    ~HotkeyRecorderView() override;

    std::function<void(bool)> onRecordingChanged;

    Mode mode() const { return m_mode; }
    bool isRecording() const { return m_isRecording; }
    void setRecording(bool recording);
    // Forgets the modifiers pressed so far in a leader recording.
    void clearPendingLeader() { m_pendingLeader = 0; }
    // Rebuilds the caps, the prompt and the colours from the store.
    void refresh();

    QStringList capTitles() const;
    QString placeholderText() const;
    QColor borderColor() const;
    QColor backgroundColor() const;

    static constexpr QSize viewSize{150, 30};
    static constexpr int capHeight = 20;
    static constexpr int capSpacing = 3;
    static constexpr qreal cornerRadius = 7;
    static constexpr quint32 escapeKeyCode = 53;
    static constexpr quint32 deleteKeyCode = 51;
    static constexpr quint32 forwardDeleteKeyCode = 117;
    static inline const QString clickToSetText = QStringLiteral("Click to set");
    static inline const QString typeAKeyText = QStringLiteral("Type a key\u2026");
    static inline const QString holdModifiersText = QStringLiteral("Hold modifiers, then release");
    static inline const QString tapTwiceMarker = QStringLiteral("\u00d72");

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void recordKey(const QKeyEvent &event);
    void recordModifiers(quint64 heldNow);
    void layOutCaps(const QStringList &titles);

    Mode m_mode;
    HotkeyStore &m_store;
    const GlobalInput &m_keyboard;
    Scheduler &m_scheduler;
    bool m_isRecording = false;
    quint64 m_pendingLeader = 0;
    bool m_isHovered = false;
    QList<KeyCapView *> m_caps;
    QLabel *m_marker = nullptr;
    QLabel *m_placeholder = nullptr;
};
