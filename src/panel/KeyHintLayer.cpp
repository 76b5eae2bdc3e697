#include "panel/KeyHintLayer.h"

#include "model/HotkeyStore.h"
#include "model/Shelf.h"
#include "panel/PanelVisibility.h"
#include "panel/ShelfActions.h"
#include "platform/Scheduler.h"
#include "views/KeyCapView.h"
#include "views/ShelfStackView.h"

#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>

#include <algorithm>

KeyHintLayer::KeyHintLayer(ShelfActions &actions, const Shelf &shelf, PanelVisibility &visibility, Targets targets,
                           const HotkeyStore &hotkeys, Scheduler &scheduler, QWidget *overlay)
    : m_actions(actions)
    , m_shelf(shelf)
    , m_visibility(visibility)
    , m_targets(targets)
    , m_hotkeys(hotkeys)
    , m_scheduler(scheduler)
    , m_overlay(overlay)
{
    // The overlay's alpha is an opacity effect over it and every cap; at 0
    // and 1 it costs nothing to paint.
    m_overlayOpacity = new QGraphicsOpacityEffect(overlay);
    m_overlayOpacity->setOpacity(0);
    overlay->setGraphicsEffect(m_overlayOpacity);
}

KeyHintLayer::~KeyHintLayer() = default;

bool KeyHintLayer::isShowingKeyHints() const
{
    return m_visibility.isShowingKeyHints;
}

qreal KeyHintLayer::overlayAlpha() const
{
    return m_overlayOpacity->opacity();
}

void KeyHintLayer::showKeyHints()
{
    m_keyHintHideWork.reset();
    m_isDeleteMode = false;
    // Also cancels every pending hide of the panel and brings it fully out.
    m_visibility.beginKeyHints();
    rebuildKeyHints();
    setOverlayAlpha(1);

    // The caps come in one after another; an action without a cap leaves a
    // gap in the rhythm, so each cap keeps its own moment.
    const QList<HotkeyAction> &actions = HotkeyActions::allCases();
    for (int i = 0; i < actions.size(); ++i) {
        KeyCapView *cap = m_keyHints.value(actions.at(i));
        if (!cap)
            continue;
        const qreal alpha = cap->alpha();
        cap->setAlpha(0);
        m_scheduler.runAfter(i * staggerInterval, cap, [cap, alpha] { cap->animateAlpha(alpha, capFadeInDuration); });
    }
}

void KeyHintLayer::hideKeyHints()
{
    if (!isShowingKeyHints())
        return;
    m_isDeleteMode = false;
    m_keyHintHideWork.reset();
    m_visibility.endKeyHints();
    fadeOutOverlay();
}

void KeyHintLayer::performHotkey(HotkeyAction action)
{
    if (action == HotkeyAction::deleteItem) {
        toggleDeleteMode();
        return;
    }
    if (KeyCapView *pressed = m_keyHints.value(action))
        pressed->tap();
    for (auto it = m_keyHints.cbegin(); it != m_keyHints.cend(); ++it) {
        if (it.key() != action && it.value())
            it.value()->animateAlpha(0, actionFadeDuration);
    }

    if (const std::optional<int> index = HotkeyActions::copySlotIndex(action)) {
        if (*index < m_shelf.items().size()) {
            if (m_isDeleteMode)
                m_actions.deleteItem(m_shelf.items().at(*index).id);
            else
                m_actions.copyItem(*index);
        }
    } else if (action == HotkeyAction::restoreHistory) {
        m_actions.historyButtonTapped();
    } else if (action == HotkeyAction::addClipboard) {
        m_actions.pasteButtonTapped();
    }

    const QPointer<KeyHintLayer> self(this);
    m_keyHintHideWork = m_scheduler.scheduleOneShot(hideDelay, this, [self] {
        if (self)
            self->hideKeyHints();
    });
}

void KeyHintLayer::toggleDeleteMode()
{
    m_isDeleteMode = !m_isDeleteMode;
    if (KeyCapView *deleteCap = m_keyHints.value(HotkeyAction::deleteItem))
        deleteCap->tap();
    for (auto it = m_keyHints.cbegin(); it != m_keyHints.cend(); ++it) {
        KeyCapView *cap = it.value();
        if (!cap)
            continue;
        if (HotkeyActions::copySlotIndex(it.key()))
            cap->setDestructive(m_isDeleteMode, actionFadeDuration);
        else if (it.key() == HotkeyAction::restoreHistory || it.key() == HotkeyAction::addClipboard)
            cap->animateAlpha(m_isDeleteMode ? deleteModeFooterAlpha : 1.0, actionFadeDuration);
    }
}

void KeyHintLayer::rebuildKeyHints()
{
    clearKeyHints();
    if (!m_overlay)
        return;
    const HotkeyConfig &config = m_hotkeys.config();
    for (HotkeyAction action : HotkeyActions::allCases()) {
        const std::optional<KeyBinding> binding = config.binding(action);
        if (!binding)
            continue;
        auto *cap = new KeyCapView(binding->title(), capHeight, m_scheduler, m_overlay);
        const std::optional<Placement> place = placement(action, cap->capSize());
        if (!place) {
            delete cap;
            continue;
        }
        cap->moveCapTo(place->origin);
        cap->setAlpha(place->alpha);
        cap->show();
        m_keyHints.insert(action, cap);
    }
}

std::optional<KeyHintLayer::Placement> KeyHintLayer::placement(HotkeyAction action, QSize capSize) const
{
    const int w = capSize.width();
    const int h = capSize.height();
    const QList<ShelfItem> &slots = m_shelf.items();
    Placement place;
    QRect target;
    int x = 0;
    if (const std::optional<int> index = HotkeyActions::copySlotIndex(action)) {
        if (*index >= slots.size())
            return std::nullopt;
        target = inOverlay(m_targets.stack, m_targets.stack->bodyFrame(*index));
        x = target.x() + target.width() - w - cardCapInsetX;
        place.origin.setY(target.y() + cardCapInsetY);
    } else if (action == HotkeyAction::deleteItem) {
        if (slots.isEmpty())
            return std::nullopt;
        target = inOverlay(m_targets.stack, m_targets.stack->bodyFrame(0));
        x = target.x() + cardCapInsetX;
        place.origin.setY(target.y() + cardCapInsetY);
    } else {
        const bool history = action == HotkeyAction::restoreHistory;
        const QWidget *button = history ? m_targets.historyButton : m_targets.pasteButton;
        target = inOverlay(button->parentWidget(), button->geometry());
        x = history ? target.x() - w - buttonCapGap : target.x() + target.width() + buttonCapGap;
        place.origin.setY(qRound(target.y() + target.height() / 2.0 - h / 2.0));
        const bool available = history ? m_shelf.lastEvicted().has_value() : m_shelf.clipboardItem().has_value();
        place.alpha = available ? 1.0 : unavailableAlpha;
    }
    // Inside the overlay by a few points; the right bound wins when the cap
    // is wider than the overlay allows.
    x = std::max(x, overlayInset);
    x = std::min(x, m_overlay->width() - w - overlayInset);
    place.origin.setX(x);
    return place;
}

QRect KeyHintLayer::inOverlay(const QWidget *view, const QRect &rect) const
{
    const QWidget *window = m_overlay->window();
    return QRect(m_overlay->mapFrom(window, view->mapTo(window, rect.topLeft())), rect.size());
}

void KeyHintLayer::clearKeyHints()
{
    for (const QPointer<KeyCapView> &cap : std::as_const(m_keyHints))
        delete cap.data();
    m_keyHints.clear();
}

void KeyHintLayer::setOverlayAlpha(qreal alpha)
{
    if (m_overlayFade)
        m_overlayFade->stop(); // a stopped fade never reports its end
    m_overlayOpacity->setOpacity(alpha);
}

void KeyHintLayer::fadeOutOverlay()
{
    if (m_overlayFade)
        m_overlayFade->stop();
    m_overlayFade = new QPropertyAnimation(m_overlayOpacity, "opacity", this);
    m_overlayFade->setDuration(secondsToMilliseconds(overlayFadeDuration));
    m_overlayFade->setStartValue(m_overlayOpacity->opacity());
    m_overlayFade->setEndValue(0.0);
    m_overlayFade->setEasingCurve(QEasingCurve::InOutQuad);
    connect(m_overlayFade, &QPropertyAnimation::finished, this, [this] {
        if (!isShowingKeyHints())
            clearKeyHints();
    });
    m_overlayFade->start(QAbstractAnimation::DeleteWhenStopped);
}
