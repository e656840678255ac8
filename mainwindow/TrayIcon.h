#pragma once

#include <QIcon>
#include <QList>
#include <QString>

// One line of the tray icon's menu; command 0 is a separator.
struct TrayMenuItem {
    int command = 0;
    QString text;
    bool checked = false;
};

// The program's icon in the desktop's notification area. Mouse actions on it reach the owner
// window as WM_TRAY_CALLBACK (wParam TRAY_ICON_ID, lParam WM_LBUTTONUP or WM_RBUTTONUP); the
// owner then asks for its menu. The desktop's implementation is SystemTrayIcon; tests, which
// run where no notification area exists, use their own.
class TrayIcon {
public:
    virtual ~TrayIcon() = default;

    // Puts the icon into the notification area with its tip; false when the desktop has no room
    // for it (the program then runs without it).
    virtual bool add(const QIcon& icon, const QString& tip) = 0;
    virtual void remove() = 0;
    // Shows the menu at the pointer, right-aligned to it, and returns the chosen command, or 0
    // when the menu was closed without a choice.
    virtual int trackMenu(const QList<TrayMenuItem>& items) = 0;
};
