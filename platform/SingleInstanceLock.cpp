#include "platform/SingleInstanceLock.h"

#include "platform/AppPaths.h"

#include <QDir>

namespace {
QString lockPath(const QString& folder)
{
    const QString dir = folder.isEmpty() ? AppPaths::RuntimeFolder() : folder;
    QDir().mkpath(dir);
    return dir + QLatin1Char('/') + QLatin1String(SingleInstanceLock::Name);
}
} // namespace

SingleInstanceLock::SingleInstanceLock(const QString& folder) : m_lock(lockPath(folder))
{
    // The running copy holds the lock for hours: it must never count as stale because of its
    // age, only because its process is gone.
    m_lock.setStaleLockTime(0);
}

SingleInstanceLock::Result SingleInstanceLock::acquire()
{
    if (m_lock.tryLock(0))
        return Result::Acquired;
    return m_lock.error() == QLockFile::LockFailedError ? Result::HeldByAnotherCopy : Result::Unavailable;
}
