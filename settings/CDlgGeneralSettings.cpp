#include "settings/CDlgGeneralSettings.h"

#include "settings/CGeneralProfile.h"

#include <QVBoxLayout>

CDlgGeneralSettings::CDlgGeneralSettings(CGeneralProfile& profile, QWidget* parent)
    : COptionsPage(profile, QStringLiteral("General"), parent)
{
    auto* layout = new QVBoxLayout(this);
    addCheckBox(layout, StartWithSession, QStringLiteral("Start Tallowin Skype Recorder when I start windows"),
                m_profile.autostart);
    addCheckBox(layout, FrontOnConversation,
                QStringLiteral("Bring Tallowin Skype Recorder to front when the conversation start"),
                m_profile.notifycov);
    addCheckBox(layout, FrontOnFinish, QStringLiteral("Bring Tallowin Skype Recorder to front when recording finished"),
                m_profile.notifyfinish);
    addCheckBox(layout, HistoryOnFinish, QStringLiteral("Bring history window to front when recording finished"),
                m_profile.notifyhistory);
    addCheckBox(layout, HideAtStart, QStringLiteral("Hide to system tray at startup"), m_profile.starthide);
    layout->addStretch();
}
