#include "settings/CDlgOptions.h"

#include "settings/AutostartEntry.h"
#include "settings/CDlgAdvanceSettings.h"
#include "settings/CDlgChatReplySettings.h"
#include "settings/CDlgGeneralSettings.h"
#include "settings/CDlgRecordingSettings.h"
#include "settings/CGeneralProfile.h"
#include "ui/CEnTabCtrl.h"
#include "ui/SkinPictures.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

CDlgOptions::CDlgOptions(QWidget* parent) : CDlgOptions(CGeneralProfile::Instance(), parent) {}

CDlgOptions::CDlgOptions(CGeneralProfile& profile, QWidget* parent) : QDialog(parent), m_profile(profile)
{
    setWindowTitle(QStringLiteral("Options"));
    setWindowIcon(SkinPictures::icon(128));

    auto* layout = new QVBoxLayout(this);
    m_tabs = createTabControl();
    layout->addWidget(m_tabs, 1);
    layout->addWidget(createButtons());

    // The pages start from the stored values, never from changes a cancelled run left behind.
    m_profile.Load();
    addPages();
    setMinimumWidth(520);
}

int CDlgOptions::run(QWidget* parent)
{
    CDlgOptions dialog(parent);
    return dialog.exec();
}

// The one place that makes the tab control; the pages only see it as a QTabWidget.
QTabWidget* CDlgOptions::createTabControl()
{
    // Flat, button-face tabs whose unselected labels are darkened.
    auto* tabs = new CEnTabCtrl(this);
    CEnTabCtrl::setFlags(CEnTabCtrl::Flat);
    tabs->setOwnerDrawn(true);
    tabs->setObjectName(COptionsPage::controlName(TabControl));
    return tabs;
}

void CDlgOptions::addPages()
{
    m_tabs->addTab(new CDlgGeneralSettings(m_profile), QStringLiteral("General"));
    m_tabs->addTab(new CDlgRecordingSettings(m_profile), QStringLiteral("Call Recording"));
    m_tabs->addTab(new CDlgAdvanceSettings(m_profile), QStringLiteral("MP3 Quality"));
    m_tabs->addTab(new CDlgChatReplySettings(m_profile), QStringLiteral("Chat Reply"));
    m_tabs->setCurrentIndex(GeneralPage);
}

QWidget* CDlgOptions::createButtons()
{
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* apply = buttons->addButton(QStringLiteral("Apply"), QDialogButtonBox::AcceptRole);
    apply->setObjectName(COptionsPage::controlName(ApplyButton));
    apply->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(COptionsPage::controlName(CancelButton));
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgOptions::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDlgOptions::reject);
    return buttons;
}

void CDlgOptions::accept()
{
    AutostartEntry().apply(m_profile.autostart);
    m_profile.setModified();
    m_profile.Save();
    QDialog::accept();
}
