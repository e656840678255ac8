#include "mainwindow/CHelloWorldDlg.h"

#include "platform/AppPaths.h"
#include "platform/MessageBoxService.h"
#include "platform/ProductSite.h"
#include "platform/Shell.h"
#include "platform/WindowMessage.h"
#include "platform/WindowMessages.h"
#include "skype/SkypeLink.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

namespace {
const QString productName = QStringLiteral("Tallowin Skype Recorder");

// Stands in for the program icon until the pictures are there: a red recording dot.
QIcon programIcon()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(226, 0, 0));
    painter.drawEllipse(QRectF(4, 4, 24, 24));
    return QIcon(pixmap);
}
} // namespace

CHelloWorldDlg::CHelloWorldDlg(QWidget* parent) : QDialog(parent), m_icon(programIcon())
{
    m_status = new QLabel(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
}

CHelloWorldDlg::~CHelloWorldDlg()
{
    OnDestroy();
}

int CHelloWorldDlg::DoModal()
{
    OnInitDialog();
    return exec();
}

// The start order. Each subsystem may rely on the ones before it: the folders exist before
// anything is stored, and the Skype link starts once the window can receive its messages.
bool CHelloWorldDlg::OnInitDialog()
{
    createRecordingFolder();
    createDataFolder();
    setWindowIcon(m_icon);
    setWindowTitle(productName);
    m_status->setText(productName);
    SkypeLink::StartLink(this);
    m_initDone = true;
    return true;
}

// The end order; runs once, when the window goes.
void CHelloWorldDlg::OnDestroy()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    SkypeLink::ShutdownLink();
}

// Made at every start, even when recordings go to another folder, so the default is there. A
// fresh home may not have its documents folder yet; it is made along with it.
void CHelloWorldDlg::createRecordingFolder()
{
    const QString folder = AppPaths::DefaultRecordingFolder();
    if (!folder.isEmpty())
        QDir().mkpath(folder);
}

void CHelloWorldDlg::createDataFolder()
{
    const QString folder = AppPaths::DataFolder();
    if (!folder.isEmpty() && !QDir().mkdir(folder))
        QDir().mkpath(folder);
}

void CHelloWorldDlg::EndOnRequest()
{
    m_endRequested = true;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        auto* box = qobject_cast<QDialog*>(window);
        if (box && box != this && box->isVisible())
            box->reject();
    }
    reject();
}

bool CHelloWorldDlg::event(QEvent* e)
{
    if (const WindowMessage* message = WindowMessage::from(e)) {
        switch (message->message()) {
        case WM_LINK_REFUSED:
            OnLinkRefused();
            return true;
        default:
            return false;
        }
    }
    return QDialog::event(e);
}

void CHelloWorldDlg::OnLinkRefused()
{
    const QString page = ProductSite::IssuePage();
    MessageRequest request;
    request.owner = this;
    request.caption = productName;
    request.text = QStringLiteral("Your skype refused me to access it.\nPlease visit the page (") + page +
                   QStringLiteral(") to resolve the issue!");
    request.icon = MessageIcon::Warning;
    request.buttons = MessageButtons::Ok;
    MessageBoxService::show(request);
    if (!m_endRequested) // the box was closed because the program is ending
        Shell::instance().openUrl(page);
}
