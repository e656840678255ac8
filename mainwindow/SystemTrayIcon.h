#pragma once

#include "mainwindow/TrayIcon.h"

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

// The tray icon on the desktop's notification area (StatusNotifierItem or the X11 system tray).
class SystemTrayIcon : public QObject, public TrayIcon {
    Q_OBJECT

public:
    // owner: the window that receives WM_TRAY_CALLBACK.
    explicit SystemTrayIcon(QObject* owner);

    bool add(const QIcon& icon, const QString& tip) override;
    void remove() override;
    int trackMenu(const QList<TrayMenuItem>& items) override;

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);

    QPointer<QObject> m_owner;
    QSystemTrayIcon m_icon;
};
