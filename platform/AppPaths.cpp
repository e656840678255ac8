#include "platform/AppPaths.h"

#include <QDir>
#include <QStandardPaths>

namespace AppPaths {

QString DefaultRecordingFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        return {};
    return documents + QStringLiteral("/Tallowin Skype Recorder");
}

QString DataFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        return {};
    return data + QStringLiteral("/Tallowin/");
}

QString HistoryFile()
{
    return DataFolder() + QStringLiteral("record.xml");
}

QString RuntimeFolder()
{
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QDir::tempPath();
    return runtime;
}

} // namespace AppPaths
