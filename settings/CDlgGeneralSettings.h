#pragma once

#include "settings/COptionsPage.h"

// The "General" page: starting with the session and which windows come to the front.
class CDlgGeneralSettings : public COptionsPage {
    Q_OBJECT

public:
    enum ControlId {
        StartWithSession = 1021,    // autostart
        FrontOnConversation = 1029, // notifycov
        FrontOnFinish = 1030,       // notifyfinish
        HistoryOnFinish = 1058,     // notifyhistory
        HideAtStart = 1062,         // starthide
    };

    explicit CDlgGeneralSettings(CGeneralProfile& profile, QWidget* parent = nullptr);
};
