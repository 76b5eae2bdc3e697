#pragma once

#include <QString>

#include <memory>

class QLockFile;

// Makes sure only one Zorv runs per user session, with a lock file in the
// runtime folder, or in the user's private temporary folder when there is
// none. A lock left behind by a killed instance is taken over. Beside the
// lock lies the socket on which the running instance takes requests from
// later launches.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &lockPath = standardLockPath());
    ~SingleInstance();

    // True when this process now holds the lock.
    bool tryAcquire();

    // The running instance's request socket: the lock's path ending in
    // ".socket" instead, so it is exactly as private as the lock.
    QString requestSocketPath() const;

    static QString standardLockPath();

private:
    QString m_lockPath;
    std::unique_ptr<QLockFile> m_lock;
};
