#pragma once

#include "settings/COptionsPage.h"

class QLineEdit;

// The "Call Recording" page: automatic or manual recording, the sides recorded and the
// recording folder.
class CDlgRecordingSettings : public COptionsPage {
    Q_OBJECT

public:
    enum ControlId {
        AutoRecord = 1032,   // rectype 1
        ManualRecord = 1033, // rectype 0
        BothSides = 1034,    // recside 0
        MySide = 1035,       // recside 1
        RemoteSide = 1055,   // recside 2
        Folder = 1037,       // shows sfolder
        OpenFolder = 1036,
        Browse = 1027, // sets sfolder
    };

    explicit CDlgRecordingSettings(CGeneralProfile& profile, QWidget* parent = nullptr);

    void onOpenFolder();
    void onBrowse();

private:
    QWidget* createFolderGroup();
    void showFolder(const QString& folder);

    QLineEdit* m_folder = nullptr;
};
