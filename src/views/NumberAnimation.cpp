#include "views/NumberAnimation.h"

#include "platform/Scheduler.h"

QVariantAnimation *NumberAnimation::replace(QPointer<QVariantAnimation> &running, QObject *owner, qreal from,
                                            qreal to, double seconds, const QEasingCurve &curve,
                                            std::function<void(qreal)> apply)
{
    if (running)
        running->stop();
    auto *animation = new QVariantAnimation(owner);
    animation->setStartValue(from);
    animation->setEndValue(to);
    animation->setDuration(secondsToMilliseconds(seconds));
    animation->setEasingCurve(curve);
    QObject::connect(animation, &QVariantAnimation::valueChanged, owner,
                     [apply = std::move(apply)](const QVariant &value) { apply(value.toReal()); });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    running = animation;
    return animation;
}
