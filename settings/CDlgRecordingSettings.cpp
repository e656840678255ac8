#include "settings/CDlgRecordingSettings.h"

#include "platform/Shell.h"
#include "settings/CGeneralProfile.h"
#include "settings/SelectFolder.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CDlgRecordingSettings::CDlgRecordingSettings(CGeneralProfile& profile, QWidget* parent)
    : COptionsPage(profile, QStringLiteral("Call Recording"), parent)
{
    auto* layout = new QVBoxLayout(this);

    auto* start = new QGroupBox(this);
    addChoices(new QVBoxLayout(start),
               {{AutoRecord, QStringLiteral("Automatically record calls"), 1},
                {ManualRecord, QStringLiteral("Manually record calls"), 0}},
               m_profile.rectype ? 1 : 0, [this](int value) { m_profile.rectype = value != 0; });
    layout->addWidget(start);

    auto* sides = new QGroupBox(this);
    addChoices(new QVBoxLayout(sides),
               {{BothSides, QStringLiteral("Record both sides"), 0},
                {MySide, QStringLiteral("Only record my side"), 1},
                {RemoteSide, QStringLiteral("Only record remote side"), 2}},
               m_profile.recside);
    layout->addWidget(sides);

    layout->addWidget(createFolderGroup());
    layout->addStretch();
}

QWidget* CDlgRecordingSettings::createFolderGroup()
{
    auto* group = new QGroupBox(QStringLiteral("Recording folder"), this);
    auto* row = new QHBoxLayout(group);

    m_folder = new QLineEdit(group);
    m_folder->setObjectName(controlName(Folder));
    m_folder->setReadOnly(true);
    showFolder(m_profile.sfolder);
    row->addWidget(m_folder, 1);

    auto* open = new QPushButton(QStringLiteral("Open"), group);
    open->setObjectName(controlName(OpenFolder));
    open->setAutoDefault(false);
    connect(open, &QPushButton::clicked, this, &CDlgRecordingSettings::onOpenFolder);
    row->addWidget(open);

    auto* browse = new QPushButton(QStringLiteral("Browse"), group);
    browse->setObjectName(controlName(Browse));
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, &CDlgRecordingSettings::onBrowse);
    row->addWidget(browse);
    return group;
}

void CDlgRecordingSettings::onOpenFolder()
{
    Shell::instance().openFolder(m_folder->text());
}

void CDlgRecordingSettings::onBrowse()
{
    const QString folder = SelectFolder(this, m_folder->text());
    if (folder.isEmpty())
        return;
    showFolder(folder);
    m_profile.sfolder = folder;
}

// A long path shows its beginning; the whole of it is in the tooltip.
void CDlgRecordingSettings::showFolder(const QString& folder)
{
    m_folder->setText(folder);
    m_folder->setToolTip(folder);
    m_folder->setCursorPosition(0);
}
