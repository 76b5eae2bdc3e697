#pragma once

#include "model/HotkeyAction.h"

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QRect>

#include <memory>
#include <optional>

class HotkeyStore;
class KeyCapView;
class PanelVisibility;
class QGraphicsOpacityEffect;
class QPropertyAnimation;
class QWidget;
class Scheduler;
class Shelf;
class ShelfActions;
class ShelfStackView;
class Timer;

// The panel's side of the armed hot keys: a key cap on every target while
// the leader has armed them, the actions the keys fire, and delete mode, in
// which the copy keys delete a card instead. Part of the panel, which owns
// it and outlives it.
class KeyHintLayer final : public QObject
{
    Q_OBJECT
public:
    // The widgets that the caps sit on.
    struct Targets
    {
        const ShelfStackView *stack;
        const QWidget *historyButton;
        const QWidget *pasteButton;
    };

    KeyHintLayer(ShelfActions &actions, const Shelf &shelf, PanelVisibility &visibility, Targets targets,
                 const HotkeyStore &hotkeys, Scheduler &scheduler, QWidget *overlay);
    ~KeyHintLayer() override;

    void showKeyHints();
    void hideKeyHints(); // nothing unless the hints are up
    void performHotkey(HotkeyAction action);

    bool isShowingKeyHints() const;
    bool isDeleteMode() const { return m_isDeleteMode; }
    const QMap<HotkeyAction, QPointer<KeyCapView>> &keyHints() const { return m_keyHints; }
    qreal overlayAlpha() const;

    static constexpr int capHeight = 15;
    static constexpr double staggerInterval = 0.03;
    static constexpr double capFadeInDuration = 0.16;
    static constexpr double actionFadeDuration = 0.15;
    static constexpr double hideDelay = 0.45;
    static constexpr double overlayFadeDuration = 0.2;
    static constexpr int overlayInset = 3;
    static constexpr int cardCapInsetX = 4;
    static constexpr int cardCapInsetY = 5;
    static constexpr int buttonCapGap = 3;
    static constexpr qreal unavailableAlpha = 0.5;
    static constexpr qreal deleteModeFooterAlpha = 0.25;

private:
    void rebuildKeyHints();
    void clearKeyHints();
    void toggleDeleteMode();
    // Where a cap of this size goes for the action, in overlay coordinates,
    // with its alpha; nothing when the action has no target now.
    struct Placement
    {
        QPoint origin;
        qreal alpha = 1;
    };
    std::optional<Placement> placement(HotkeyAction action, QSize capSize) const;
    QRect inOverlay(const QWidget *view, const QRect &rect) const;
    void setOverlayAlpha(qreal alpha);
    void fadeOutOverlay();

    ShelfActions &m_actions;
    const Shelf &m_shelf;
    PanelVisibility &m_visibility;
    Targets m_targets;
    const HotkeyStore &m_hotkeys;
    Scheduler &m_scheduler;
    QPointer<QWidget> m_overlay;
    QGraphicsOpacityEffect *m_overlayOpacity = nullptr; // owned by the overlay
    QPointer<QPropertyAnimation> m_overlayFade;
    QMap<HotkeyAction, QPointer<KeyCapView>> m_keyHints;
    bool m_isDeleteMode = false;
    std::unique_ptr<Timer> m_keyHintHideWork;
};
