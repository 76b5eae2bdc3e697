#pragma once

#include <QObject>
#include <QString>

// In-process notifications: a post reaches every observer of its name on the
// main thread. Observers connect to posted() and filter by name.
class NotificationCenter final : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    void post(const QString &name, QObject *sender = nullptr) { Q_EMIT posted(name, sender); }

Q_SIGNALS:
    void posted(const QString &name, QObject *sender);
};
