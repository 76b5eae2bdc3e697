#include "platform/SingleInstance.h"

#include "platform/PrivateTempFolder.h"

#include <QDir>
#include <QLockFile>

#include <unistd.h>

SingleInstance::SingleInstance(const QString &lockPath)
    : m_lockPath(lockPath)
    , m_lock(std::make_unique<QLockFile>(lockPath))
{
    // A running instance holds the lock for days; only a dead owner makes it stale.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::tryAcquire()
{
    return m_lock->tryLock(0);
}

QString SingleInstance::requestSocketPath() const
{
    static const QString lockSuffix = QStringLiteral(".lock");
    const QString base = m_lockPath.endsWith(lockSuffix) ? m_lockPath.chopped(lockSuffix.size()) : m_lockPath;
    return base + QStringLiteral(".socket");
}

QString SingleInstance::standardLockPath()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime + QStringLiteral("/zorv.lock");
    // The temporary folder is shared by every user: a lock there would let
    // one user's Zorv refuse to start another's. The private folder is the
    // user's own, and nobody else can plant a lock in it.
    const QString folder = PrivateTempFolder().path();
    if (!folder.isEmpty())
        return folder + QStringLiteral("/zorv.lock");
    return QDir::tempPath() + QStringLiteral("/zorv-") + QString::number(::getuid()) + QStringLiteral(".lock");
}
