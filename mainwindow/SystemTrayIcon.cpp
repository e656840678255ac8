#include "mainwindow/SystemTrayIcon.h"

#include "platform/WindowMessage.h"
#include "platform/WindowMessages.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

namespace {
constexpr int maxTipLength = 255;
}

SystemTrayIcon::SystemTrayIcon(QObject* owner) : m_owner(owner)
{
    connect(&m_icon, &QSystemTrayIcon::activated, this, &SystemTrayIcon::onActivated);
}

bool SystemTrayIcon::add(const QIcon& icon, const QString& tip)
{
    m_icon.setIcon(icon);
    m_icon.setToolTip(tip.left(maxTipLength));
    m_icon.show();
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void SystemTrayIcon::remove()
{
    m_icon.hide();
}

// A click is reported when the button comes up; the menu is the owner's to ask for.
void SystemTrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (!m_owner)
        return;
    if (reason == QSystemTrayIcon::Trigger)
        PostWindowMessage(m_owner, WM_TRAY_CALLBACK, TRAY_ICON_ID, WM_LBUTTONUP);
    else if (reason == QSystemTrayIcon::Context)
        PostWindowMessage(m_owner, WM_TRAY_CALLBACK, TRAY_ICON_ID, WM_RBUTTONUP);
}

int SystemTrayIcon::trackMenu(const QList<TrayMenuItem>& items)
{
    QMenu menu;
    for (const TrayMenuItem& item : items) {
        if (item.command == 0) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(item.text);
        action->setData(item.command);
        action->setCheckable(item.checked);
        action->setChecked(item.checked);
    }
    const QPoint cursor = QCursor::pos();
    const QAction* chosen = menu.exec(cursor - QPoint(menu.sizeHint().width(), 0));
    return chosen ? chosen->data().toInt() : 0;
}
