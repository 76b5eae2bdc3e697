#include "panel/PanelVisibility.h"

#include "platform/Scheduler.h"
#include "platform/ScreenService.h"
#include "views/PanelBorderView.h"

#include <QVariantAnimation>
#include <QWidget>

#include <algorithm>
#include <cmath>

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
    return PanelGeometry::parkedFrame(PanelGeometry::frame(State::hidden, screen, panelSize, peekAmount),
                                      screens.screens());
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
    facts.edgeScreen = PanelGeometry::edgeScreen(position, edgeThreshold, m_screens.screens(), m_screens.mainScreen());
    // Once out, only the edge of its own screen holds the panel: another
    // screen's edge is far from it.
    facts.atEdge = facts.edgeScreen
        && (m_state == State::hidden || !m_slideScreen || *facts.edgeScreen == *m_slideScreen);
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
        if (!m_slide)
            parkIfSeen(); // a screen may have come where it waits
        if (pointer.atEdge)
            startHold(*pointer.edgeScreen);
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

void PanelVisibility::startHold(const QRectF &screen)
{
    if (m_state != State::hidden)
        return;
    animate(State::peeking, screen);
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
    m_screens.setDragging(dragging);
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

void PanelVisibility::animate(State target, const std::optional<QRectF> &preferredScreen)
{
    const bool comingOut = m_state == State::hidden && target != State::hidden;
    m_state = target;
    ensurePolling();
    const std::optional<QRectF> screen = slideScreen(comingOut, preferredScreen);
    if (!screen)
        return; // no screen at all: nowhere to go
    const QRectF targetFrame = PanelGeometry::frame(target, *screen, m_frame.size(), peekAmount);

    if (m_slide)
        m_slide->stop(); // deletes itself; the new slide starts where this one stands
    // A panel parked beyond every screen, or waiting at another screen's
    // edge, starts from this screen's edge: it never slides across screens.
    const QRectF hidden = PanelGeometry::frame(State::hidden, *screen, m_frame.size(), peekAmount);
    const bool onTrack = std::abs(m_frame.top() - hidden.top()) < 0.5 && m_frame.left() >= hidden.left()
        && m_frame.left() <= screen->left();
    if (!onTrack) {
        setFrame(hidden);
        if (target == State::hidden) {
            parkIfSeen();
            return;
        }
    }
    m_slide = new QVariantAnimation(this);
    m_slide->setDuration(secondsToMilliseconds(slideDuration));
    m_slide->setEasingCurve(easeOut());
    m_slide->setStartValue(m_frame);
    m_slide->setEndValue(targetFrame);
    connect(m_slide, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &value) { setFrame(value.toRectF()); });
    connect(m_slide, &QVariantAnimation::finished, this, [this] {
        if (m_state == State::hidden)
            parkIfSeen();
        if (onSlideFinished)
            onSlideFinished();
    });
    m_slide->start(QAbstractAnimation::DeleteWhenStopped);

    if (target != State::hidden && m_panel)
        m_panel->raise(); // other windows may have been stacked above it meanwhile
    if (target != State::peeking)
        setStrokeEnd(0);
}

void PanelVisibility::setFrame(const QRectF &frame)
{
    m_frame = frame;
    if (m_panel)
        m_panel->move(m_frame.topLeft().toPoint());
}

void PanelVisibility::parkIfSeen()
{
    // Beyond the edge of a screen that another one adjoins at some heights
    // (or faces across a gap), the hidden panel would stand on that other
    // screen.
    setFrame(PanelGeometry::parkedFrame(m_frame, m_screens.screens()));
}

std::optional<QRectF> PanelVisibility::slideScreen(bool comingOut, const std::optional<QRectF> &preferred)
{
    // Chosen when the panel comes out, and kept while it is out and while
    // it goes back, so that it never jumps between screens on the way.
    const QList<QRectF> screens = m_screens.screens();
    if (preferred)
        m_slideScreen = preferred;
    else if (comingOut || !m_slideScreen || !screens.contains(*m_slideScreen))
        m_slideScreen = pointerScreen(screens);
    return m_slideScreen;
}

std::optional<QRectF> PanelVisibility::pointerScreen(const QList<QRectF> &screens)
{
    const QPointF position = m_screens.pointerPosition();
    if (m_screens.isPointerKnown())
        return PanelGeometry::screenFor(position, screens, m_screens.mainScreen());
    if (const std::optional<QRectF> main = m_screens.mainScreen())
        return main;
    if (!screens.isEmpty())
        return screens.first();
    return std::nullopt;
}

void PanelVisibility::setStrokeEnd(qreal progress)
{
    if (m_border)
        m_border->setStrokeEnd(progress);
}
