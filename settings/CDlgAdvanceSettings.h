#pragma once

#include "settings/COptionsPage.h"

// The "MP3 Quality" page: channel mode, bit rate and sample rate of the recordings.
class CDlgAdvanceSettings : public COptionsPage {
    Q_OBJECT

public:
    enum ControlId {
        Mono = 1042, // amode 0, 1, 2
        Stereo = 1043,
        JointStereo = 1044,
        Bitrate32 = 1045, // abitrate 0 to 5
        Bitrate64 = 1046,
        Bitrate96 = 1047,
        Bitrate128 = 1048,
        Bitrate192 = 1049,
        Bitrate256 = 1050,
        SampleRate16000 = 1051, // asample 0 to 3
        SampleRate32000 = 1052,
        SampleRate44100 = 1053,
        SampleRate48000 = 1054,
    };

    explicit CDlgAdvanceSettings(CGeneralProfile& profile, QWidget* parent = nullptr);

private:
    QBoxLayout* addGroup(QBoxLayout* layout, const QString& title);
};
