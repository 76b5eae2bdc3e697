#pragma once

#include "views/HotkeyRecorderView.h"

#include <QList>
#include <QObject>

#include <functional>
#include <memory>

class GlobalInput;
class HotkeyStore;
class NotificationCenter;
class QCheckBox;
class QLabel;
class QLayout;
class QPushButton;
class QWidget;
class Scheduler;

// The hot-key settings window, "Zorv Hotkeys": a recorder for the leader
// and for every action, the master switch and "Restore Defaults". It keeps
// its controls in step with the store and reports whether any of its
// recorders records, so that the hot keys can be suspended meanwhile. It is
// made once; closing the window only hides it.
class HotkeySettingsWindowController final : public QObject
{
    Q_OBJECT
public:
    HotkeySettingsWindowController(HotkeyStore &store, NotificationCenter &notifications, const GlobalInput &keyboard,
                                   Scheduler &scheduler, QObject *parent = nullptr);
    ~HotkeySettingsWindowController() override;

    // Called with true while any recorder records, false once none does.
    std::function<void(bool)> onRecordingChanged;
    // Asked each time the window is shown: a sentence on where the leader
    // cannot be heard on this desktop, or nothing. Set by the owner.
    std::function<QString()> leaderLimitation;

    QWidget *window() const { return m_window.get(); }
    const QList<HotkeyRecorderView *> &recorders() const { return m_recorders; }
    QCheckBox *enabledCheckbox() const { return m_enabledCheckbox; }
    QPushButton *restoreDefaultsButton() const { return m_restoreButton; }
    QLabel *leaderLimitationLabel() const { return m_leaderLimitationLabel; }

    void toggleEnabled();
    void restoreDefaults();

    static constexpr QSize windowSize{440, 560};
    static inline const QString windowTitle = QStringLiteral("Zorv Hotkeys");
    // The window manager draws the title bar above the content here.
    static constexpr int topInset = 16;
    static constexpr int sideInset = 24;
    static constexpr int bottomInset = 20;
    static constexpr int scrollBarGap = 6;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildContent();
    QWidget *makeRow(const QString &title, const QString &subtitle, HotkeyRecorderView *recorder);
    QWidget *makeCard(const QList<QWidget *> &rows);
    QLabel *makeSectionLabel(const QString &text);
    HotkeyRecorderView *makeRecorder(HotkeyRecorderView::Mode mode);
    void registerRecorder(HotkeyRecorderView *recorder);
    void stopRecording();
    void syncFromStore();
    void showLeaderLimitation();

    HotkeyStore &m_store;
    const GlobalInput &m_keyboard;
    Scheduler &m_scheduler;
    std::unique_ptr<QWidget> m_window;
    QList<HotkeyRecorderView *> m_recorders;
    QCheckBox *m_enabledCheckbox = nullptr;
    QPushButton *m_restoreButton = nullptr;
    QLabel *m_leaderLimitationLabel = nullptr;
};
