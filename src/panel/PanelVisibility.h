#pragma once

#include "views/PanelGeometry.h"

#include <QObject>
#include <QPointer>
#include <QVariantAnimation>

#include <functional>
#include <memory>
#include <optional>

class PanelBorderView;
class QWidget;
class ScreenService;
class Scheduler;
class Timer;

// When the panel slides out and back. A poll of the pointer every 1/30 s
// drives it, with a few one-shot timers; the poll sleeps while the panel is
// hidden, nothing is pending and the pointer rests, until the pointer moves
// or the screens change. Meanwhile: a pointer resting at a screen's left
// edge (where no other screen adjoins it) peeks and then shows the panel on
// that screen, a new screenshot peeks it briefly, added items and drags
// show it, and it retracts a little after the pointer leaves. Hiding means
// sliding beyond the screen's left edge; the window itself is never hidden.
// A panel that comes out from hidden does so on the screen of the edge the
// pointer rests at, or else on the pointer's screen, or else the main one;
// once out, it stays on its screen until it has gone back.
class PanelVisibility final : public QObject
{
    Q_OBJECT
public:
    using State = PanelGeometry::State;

    PanelVisibility(Scheduler &scheduler, ScreenService &screens, QWidget *panel, PanelBorderView *border,
                    QObject *parent = nullptr);
    ~PanelVisibility() override;

    // The frame the panel is created with: hidden on the main screen, and
    // nowhere on another one.
    static QRectF initialFrame(const ScreenService &screens, const QSizeF &panelSize);

    void startPolling();
    void tick();
    // Whether the pointer poll runs; it sleeps while its tick cannot change
    // anything and the screen service can wake it.
    bool isPolling() const { return m_pollTimer != nullptr; }

    void revealPeek(); // a new screenshot: peek for a moment
    void showProtected(); // an added item: show, and stay out for a while
    void handleDragHoverChanged(bool hovering);
    void setDragging(bool dragging);
    void retractIfMouseAway();
    // The key hints come up: nothing pending may hide the panel, and it
    // comes fully out and stays while they are up.
    void beginKeyHints();
    // The key hints went: the panel goes back at once unless the pointer
    // holds it out.
    void endKeyHints();

    State state() const { return m_state; }
    QRectF frame() const { return m_frame; }
    bool isDragging() const { return m_isDragging; }
    bool isDragHovering() const { return m_isDragHovering; }
    bool isNotificationPeek() const { return m_isNotificationPeek; }
    std::optional<double> showProtectedUntil() const { return m_showProtectedUntil; }

    // Set while the key hints are up; the shown panel then stays out.
    bool isShowingKeyHints = false;
    // Runs when a slide has finished.
    std::function<void()> onSlideFinished;
    // Runs at every poll with the pointer, before the panel decides
    // anything; nothing while the pointer's position is unknown.
    std::function<void(std::optional<QPointF>)> onPoll;
    // Whether something beside the panel (the hover preview) holds the
    // pointer as the panel itself would.
    std::function<bool(QPointF)> holdsPointer;

    static constexpr qreal edgeThreshold = 20;
    static constexpr qreal peekAmount = 30;
    static constexpr qreal hitTestOutset = 10;
    static constexpr double pollInterval = 1.0 / 30.0;
    static constexpr double holdProgressInterval = 1.0 / 60.0;
    static constexpr double holdDuration = 0.5;
    static constexpr double notificationPeekDuration = 1.8;
    static constexpr double coyoteDelay = 0.6;
    static constexpr double peekLeaveGrace = 0.12;
    static constexpr double screenshotVisibleDuration = 3.0;
    static constexpr double slideDuration = 0.28;

private:
    // An unknown position is neither at the edge nor over the panel.
    struct PointerFacts
    {
        std::optional<QPointF> position;
        std::optional<QRectF> edgeScreen; // the screen whose edge it rests at
        bool atEdge = false; // at an edge where it keeps this panel out
        bool overPanel = false;
    };
    // Polls may use a position that lags a warp of the pointer; the timers'
    // one-off decisions read the current one, or a pointer that came back
    // a moment ago would still count as away and the panel would retract
    // from under it.
    PointerFacts readPointer(bool current = false);
    void tickShown(const PointerFacts &pointer);
    void startHold(const QRectF &screen);
    void updateHoldProgress();
    void cancelHoldTimer();
    void cancelTransientTimers();
    void endNotificationPeek();
    void schedulePeekLeave();
    void scheduleAutoRetract();
    // Slides to a state; `preferredScreen`, when given, is where it goes.
    void animate(State target, const std::optional<QRectF> &preferredScreen = std::nullopt);
    void setFrame(const QRectF &frame);
    void parkIfSeen();
    void setStrokeEnd(qreal progress);
    std::optional<QRectF> slideScreen(bool comingOut, const std::optional<QRectF> &preferred);
    std::optional<QRectF> pointerScreen(const QList<QRectF> &screens);
    void sleepIfIdle();
    void ensurePolling();

    Scheduler &m_scheduler;
    ScreenService &m_screens;
    QPointer<QWidget> m_panel;
    QPointer<PanelBorderView> m_border;

    State m_state = State::hidden;
    QRectF m_frame; // the panel's own frame; the window's pos() lags during slides
    std::optional<QRectF> m_slideScreen; // the screen the panel is out on, or went back from
    std::unique_ptr<Timer> m_pollTimer;
    std::unique_ptr<Timer> m_holdTimer;
    double m_holdStartedAt = 0;
    quint64 m_holdGeneration = 0; // the hold a pending completion belongs to
    std::unique_ptr<Timer> m_retractTimer;
    std::unique_ptr<Timer> m_peekLeaveTimer;
    std::unique_ptr<Timer> m_notificationPeekTimer;
    std::optional<double> m_showProtectedUntil;
    bool m_isDragging = false;
    bool m_isDragHovering = false;
    bool m_isNotificationPeek = false;
    QPointer<QVariantAnimation> m_slide;
    // The position at the previous tick, itself empty where it was unknown
    // (under XWayland, over other programs' windows): unknown twice rests too.
    std::optional<std::optional<QPointF>> m_lastPointer;
    bool m_pointerRested = false;         // the same at the last two ticks
};
