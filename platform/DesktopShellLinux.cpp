#include "platform/DesktopShell.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

DesktopShell::DesktopShell(QObject* parent) : QObject(parent) {}

void DesktopShell::openUrl(const QString& url)
{
    QDesktopServices::openUrl(QUrl(url));
}

void DesktopShell::openFolder(const QString& folder)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void DesktopShell::showInFolder(const QString& file)
{
    const QString folder = QFileInfo(file).absolutePath();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolder(folder);
        return;
    }
    // The freedesktop file-manager interface; asked without waiting, as the answer may be slow.
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toString()} << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, folder](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (w->isError())
            openFolder(folder);
    });
}

bool DesktopShell::moveToTrash(const QString& file)
{
    return QFile::moveToTrash(file);
}
