#include "platform/FileSync.h"

#include <QByteArray>
#include <QSaveFile>
#include <QString>

bool WriteWholeFile(const QString& path, const QByteArray& contents, const std::function<bool(QSaveFile&)>& replace)
{
    // Unbuffered, so that a write error (a full disk) reaches this code instead of being lost in
    // a buffer flushed at commit, which would put a cut-off file in place of the old one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    // An uncommitted QSaveFile discards its temporary file.
    if (file.write(contents) != contents.size() || !SyncToDisk(file))
        return false;
    return replace ? replace(file) : file.commit();
}
