#pragma once

#include <QEasingCurve>
#include <QPointer>
#include <QVariantAnimation>

#include <functional>

// Animates one number on the project's clock: Qt's animation timer, which
// the unit tests drive on virtual time.
class NumberAnimation
{
public:
    // Stops `running`, if any, and starts in its place an animation from
    // `from` to `to` that hands each value to `apply`. The animation belongs
    // to `owner` and deletes itself when it ends or is stopped; a stopped
    // animation never reports finished().
    static QVariantAnimation *replace(QPointer<QVariantAnimation> &running, QObject *owner, qreal from, qreal to,
                                      double seconds, const QEasingCurve &curve, std::function<void(qreal)> apply);
};
