#include "settings/CDlgAdvanceSettings.h"

#include "settings/CGeneralProfile.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

CDlgAdvanceSettings::CDlgAdvanceSettings(CGeneralProfile& profile, QWidget* parent)
    : COptionsPage(profile, QStringLiteral("Advanced Settings"), parent)
{
    auto* layout = new QVBoxLayout(this);
    addChoices(addGroup(layout, QStringLiteral("Recording mode")),
               {{Mono, QStringLiteral("Mono"), 0},
                {Stereo, QStringLiteral("Stereo"), 1},
                {JointStereo, QStringLiteral("Joint Stereo"), 2}},
               m_profile.amode);
    addChoices(addGroup(layout, QStringLiteral("Recording BitRate")),
               {{Bitrate32, QStringLiteral("32"), 0},
                {Bitrate64, QStringLiteral("64"), 1},
                {Bitrate96, QStringLiteral("96"), 2},
                {Bitrate128, QStringLiteral("128"), 3},
                {Bitrate192, QStringLiteral("192"), 4},
                {Bitrate256, QStringLiteral("256"), 5}},
               m_profile.abitrate);
    addChoices(addGroup(layout, QStringLiteral("Recording SampleRate")),
               {{SampleRate16000, QStringLiteral("16000"), 0},
                {SampleRate32000, QStringLiteral("32000"), 1},
                {SampleRate44100, QStringLiteral("44100"), 2},
                {SampleRate48000, QStringLiteral("48000"), 3}},
               m_profile.asample);
    layout->addStretch();
}

// A titled group whose radio buttons stand in one row.
QBoxLayout* CDlgAdvanceSettings::addGroup(QBoxLayout* layout, const QString& title)
{
    auto* group = new QGroupBox(title, this);
    layout->addWidget(group);
    auto* row = new QHBoxLayout(group);
    row->setSpacing(16);
    return row;
}
