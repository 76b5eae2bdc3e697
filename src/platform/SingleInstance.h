#pragma once

#include <QString>

#include <memory>

class QLockFile;

// Makes sure only one Zorv runs per user session, with a lock file in the
// runtime folder, or in the user's private temporary folder when there is
// none. A lock left behind by a killed instance is taken over.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &lockPath = standardLockPath());
    ~SingleInstance();

    // True when this process now holds the lock.
    bool tryAcquire();

    static QString standardLockPath();

private:
    std::unique_ptr<QLockFile> m_lock;
};
