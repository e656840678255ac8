#include "platform/FileSync.h"

#include <QFileDevice>
#include <cerrno>
#include <unistd.h>

bool SyncToDisk(QFileDevice& file)
{
    if (!file.flush())
        return false;
    const int fd = file.handle();
    if (fd < 0)
        return false;
    // Some file systems cannot sync; that is no write error.
    return ::fsync(fd) == 0 || errno == EINVAL;
}
