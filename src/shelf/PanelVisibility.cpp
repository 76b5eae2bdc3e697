#include "shelf/PanelVisibility.h"

#include "platform/Scheduler.h"
#include "platform/ScreenService.h"
#include "shelf/PanelBorderView.h"

#include <QVariantAnimation>
#include <QWidget>

#include <algorithm>

namespace {

// The standard ease-out timing curve: fast start, gentle stop.
QEasingCurve easeOut()
{
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0, 0), QPointF(0.58, 1), QPointF(1, 1));
    return curve;
}

} // namespace

PanelVisibility::PanelVisibility(Scheduler &scheduler, ScreenService &screens, QWidget *panel,
                                 PanelBorderView *border, QObject *parent)
    : QObject(parent)
    , m_scheduler(scheduler)
    , m_screens(screens)
    , m_panel(panel)
    , m_border(border)
    , m_frame(panel->geometry())
{
}

PanelVisibility::~PanelVisibility() = default;

QRectF PanelVisibility::initialFrame(const ScreenService &screens, const QSizeF &panelSize)
{
    // Without a main screen the frame is placed as if on an empty one at 0, 0.
    const QRectF screen = screens.mainScreen().value_or(QRectF());
    return PanelGeometry::frame(State::hidden, screen, panelSize, peekAmount);
}

void PanelVisibility::startPolling()
{
    m_pollTimer = m_scheduler.scheduleRepeating(pollInterval, this, [this] {
        tick();
        sleepIfIdle();
    });
}

void PanelVisibility::ensurePolling()
{
    if (!m_pollTimer)
        startPolling();
}

void PanelVisibility::sleepIfIdle()
{
    const bool pending = m_holdTimer || m_peekLeaveTimer || m_retractTimer || m_notificationPeekTimer || m_slide
        || m_isDragging || m_isDragHovering || isShowingKeyHints;
    if (m_state != State::hidden || pending || !m_pointerRested)
        return;
    const QPointer<PanelVisibility> self(this);
    if (!m_screens.wakeOnChange([self] {
            if (self)
                self->ensurePolling();
        }))
        return;
    m_pollTimer.reset();
    m_lastPointer.reset();
    m_pointerRested = false;
}

PanelVisibility::PointerFacts PanelVisibility::readPointer(bool current)
{
    PointerFacts facts;
    const QPointF position = current ? m_screens.currentPointerPosition() : m_screens.pointerPosition();
    if (!m_screens.isPointerKnown())
        return facts;
    facts.position = position;
    const std::optional<QRectF> screen =
        PanelGeometry::screenFor(position, m_screens.screens(), m_screens.mainScreen());
    facts.atEdge = screen && position.x() <= screen->left() + edgeThreshold;
    facts.overPanel =
        m_frame.adjusted(-hitTestOutset, -hitTestOutset, hitTestOutset, hitTestOutset).contains(position);
    return facts;
}

void PanelVisibility::tick()
{
    const PointerFacts pointer = readPointer();
    m_pointerRested = m_lastPointer && *m_lastPointer == pointer.position;
    m_lastPointer = pointer.position;
    if (onPoll)
        onPoll(pointer.position);
    switch (m_state) {
    case State::hidden:
        if (pointer.atEdge)
            startHold();
        break;
    case State::peeking:
        if (m_isNotificationPeek)
            break;
        if (!pointer.atEdge)
            schedulePeekLeave();
        else
            m_peekLeaveTimer.reset();
        break;
    case State::shown:
        tickShown(pointer);
        break;
    }
}

void PanelVisibility::tickShown(const PointerFacts &pointer)
{
    const bool away = !isShowingKeyHints && !m_isDragging && !m_isDragHovering && !pointer.overPanel
        && !pointer.atEdge && !(pointer.position && holdsPointer && holdsPointer(*pointer.position));
    if (!away) {
        m_retractTimer.reset();
        return;
    }
    if (m_showProtectedUntil && *m_showProtectedUntil > m_scheduler.now())
        return;
    m_showProtectedUntil.reset();
    scheduleAutoRetract();
}

void PanelVisibility::startHold()
{
    if (m_state != State::hidden)
        return;
    animate(State::peeking);
    m_holdStartedAt = m_scheduler.now();
    m_holdTimer = m_scheduler.scheduleRepeating(holdProgressInterval, this, [this] { updateHoldProgress(); });
    // Acts only if this very hold is still going on: a hold that was
    // abandoned, or turned into a screenshot's peek, must not later show
    // the panel in the middle of another one.
    const quint64 hold = ++m_holdGeneration;
    m_scheduler.runAfter(holdDuration, this, [this, hold] {
        if (m_state == State::peeking && hold == m_holdGeneration)
            animate(State::shown);
    });
}

void PanelVisibility::updateHoldProgress()
{
    const double progress = std::min((m_scheduler.now() - m_holdStartedAt) / holdDuration, 1.0);
    setStrokeEnd(progress);
    if (progress >= 1.0)
        m_holdTimer.reset();
}

void PanelVisibility::cancelHoldTimer()
{
    ++m_holdGeneration;
    m_holdTimer.reset();
    setStrokeEnd(0);
}

void PanelVisibility::cancelTransientTimers()
{
    cancelHoldTimer();
    m_peekLeaveTimer.reset();
    m_retractTimer.reset();
}

void PanelVisibility::schedulePeekLeave()
{
    if (m_peekLeaveTimer)
        return;
    m_peekLeaveTimer = m_scheduler.scheduleOneShot(peekLeaveGrace, this, [this] {
        m_peekLeaveTimer.reset();
        if (!readPointer(true).atEdge && m_state == State::peeking) {
            cancelHoldTimer();
            animate(State::hidden);
        }
    });
}

void PanelVisibility::scheduleAutoRetract()
{
    if (m_retractTimer)
        return;
    m_retractTimer = m_scheduler.scheduleOneShot(coyoteDelay, this, [this] {
        m_retractTimer.reset();
        if (m_isDragging || m_isDragHovering)
            return;
        const PointerFacts pointer = readPointer(true);
        if (!pointer.atEdge && !pointer.overPanel)
            animate(State::hidden);
    });
}

void PanelVisibility::revealPeek()
{
    cancelTransientTimers();
    m_isNotificationPeek = true;
    animate(State::peeking);
    m_notificationPeekTimer = m_scheduler.scheduleOneShot(notificationPeekDuration, this, [this] {
        m_notificationPeekTimer.reset();
        m_isNotificationPeek = false;
        if (m_state == State::peeking)
            animate(State::hidden);
    });
}

void PanelVisibility::endNotificationPeek()
{
    m_notificationPeekTimer.reset();
    m_isNotificationPeek = false;
}

void PanelVisibility::showProtected()
{
    cancelTransientTimers();
    endNotificationPeek();
    m_showProtectedUntil = m_scheduler.now() + screenshotVisibleDuration;
    animate(State::shown);
}

void PanelVisibility::handleDragHoverChanged(bool hovering)
{
    m_isDragHovering = hovering;
    if (!hovering)
        return; // the poll retracts the panel later if the pointer is away
    cancelTransientTimers();
    endNotificationPeek();
    animate(State::shown);
}

void PanelVisibility::setDragging(bool dragging)
{
    m_isDragging = dragging;
    ensurePolling();
    if (dragging)
        m_retractTimer.reset();
}

void PanelVisibility::retractIfMouseAway()
{
    if (m_state != State::shown || m_isDragging || m_isDragHovering)
        return;
    const PointerFacts pointer = readPointer(true);
    if (pointer.atEdge || pointer.overPanel)
        return;
    m_retractTimer.reset();
    animate(State::hidden);
}

void PanelVisibility::beginKeyHints()
{
    cancelTransientTimers();
    endNotificationPeek();
    isShowingKeyHints = true;
    if (m_state != State::shown)
        animate(State::shown);
}

void PanelVisibility::endKeyHints()
{
    isShowingKeyHints = false;
    m_showProtectedUntil.reset();
    retractIfMouseAway();
}

void PanelVisibility::animate(State target)
{
    m_state = target;
    ensurePolling();
    const std::optional<QRectF> screen = slideScreen();
    if (!screen)
        return; // no screen at all: nowhere to go
    const QRectF targetFrame = PanelGeometry::frame(target, *screen, m_frame.size(), peekAmount);

    if (m_slide)
        m_slide->stop(); // deletes itself; the new slide starts where this one stands
    m_slide = new QVariantAnimation(this);
    m_slide->setDuration(secondsToMilliseconds(slideDuration));
    m_slide->setEasingCurve(easeOut());
    m_slide->setStartValue(m_frame);
    m_slide->setEndValue(targetFrame);
    connect(m_slide, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_frame = value.toRectF();
        if (m_panel)
            m_panel->move(m_frame.topLeft().toPoint());
    });
    connect(m_slide, &QVariantAnimation::finished, this, [this] {
        if (onSlideFinished)
            onSlideFinished();
    });
    m_slide->start(QAbstractAnimation::DeleteWhenStopped);

    if (target != State::hidden && m_panel)
        m_panel->raise(); // other windows may have been stacked above it meanwhile
    if (target != State::peeking)
        setStrokeEnd(0);
}

std::optional<QRectF> PanelVisibility::slideScreen()
{
    // The panel's origin picks its screen. Once picked, the screen is kept
    // while it exists: a peeking or hidden panel's origin lies beyond the
    // screen's edge, and with a screen placed to the left, picking again at
    // every slide would make the panel jump between the two screens.
    const QList<QRectF> screens = m_screens.screens();
    if (!m_slideScreen || !screens.contains(*m_slideScreen))
        m_slideScreen = PanelGeometry::screenFor(PanelGeometry::origin(m_frame), screens, m_screens.mainScreen());
    return m_slideScreen;
}

void PanelVisibility::setStrokeEnd(qreal progress)
{
    if (m_border)
        m_border->setStrokeEnd(progress);
}
