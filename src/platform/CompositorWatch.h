#pragma once

#include <QObject>

// Whether a compositing manager runs on the display, so that translucent
// pixels blend with what lies below; without one they show black. A session
// often starts Zorv before its compositor, and a compositor can stop or be
// replaced, so the answer can change at any time.
class CompositorWatch : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool isCompositing() const = 0;

Q_SIGNALS:
    void compositingChanged(bool compositing);
};
