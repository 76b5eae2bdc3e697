#include "views/CardFade.h"

#include "platform/Scheduler.h"

#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>
#include <QWidget>

namespace {

QGraphicsOpacityEffect *opacityEffect(QWidget *card)
{
    auto *effect = qobject_cast<QGraphicsOpacityEffect *>(card->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(card);
        card->setGraphicsEffect(effect); // the card owns it from here
    }
    return effect;
}

QPropertyAnimation *opacityAnimation(QWidget *card, double seconds, qreal to, QEasingCurve::Type curve)
{
    QGraphicsOpacityEffect *effect = opacityEffect(card);
    auto *animation = new QPropertyAnimation(effect, "opacity", card);
    animation->setDuration(secondsToMilliseconds(seconds));
    animation->setStartValue(effect->opacity());
    animation->setEndValue(to);
    animation->setEasingCurve(curve);
    return animation;
}

} // namespace

void CardFade::fadeIn(QWidget *card, double seconds)
{
    opacityEffect(card)->setOpacity(0.0);
    QPropertyAnimation *animation = opacityAnimation(card, seconds, 1.0, QEasingCurve::OutCubic);
    // An opacity effect renders the card off-screen on every paint; drop it
    // once the card is fully visible.
    QObject::connect(animation, &QPropertyAnimation::finished, card, [card] { card->setGraphicsEffect(nullptr); });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void CardFade::fadeOutAndDelete(QWidget *card, double seconds)
{
    // A fade-in still running would drop the opacity effect when it ends and
    // take this animation's target with it; stop it first.
    for (auto *running : card->findChildren<QPropertyAnimation *>(Qt::FindDirectChildrenOnly)) {
        QObject::disconnect(running, nullptr, card, nullptr);
        running->stop();
    }
    QPropertyAnimation *animation = opacityAnimation(card, seconds, 0.0, QEasingCurve::InCubic);
    QObject::connect(animation, &QPropertyAnimation::finished, card, &QObject::deleteLater);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

double CardFade::alpha(const QWidget *card)
{
    const auto *effect = qobject_cast<const QGraphicsOpacityEffect *>(card->graphicsEffect());
    return effect ? effect->opacity() : 1.0;
}
