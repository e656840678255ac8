#include "mainwindow/CHelloWorldDlg.h"

#include "audio/AudioCapture.h"
#include "history/RecordStore.h"
#include "mainwindow/RecordingPanel.h"
#include "platform/AppPaths.h"
#include "platform/MessageBoxService.h"
#include "platform/ProductSite.h"
#include "platform/Shell.h"
#include "platform/WindowMessage.h"
#include "platform/WindowMessages.h"
#include "recording/RecordingControl.h"
#include "settings/CGeneralProfile.h"
#include "skype/SkypeLink.h"
#include "ui/SkinPictures.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QVBoxLayout>

namespace {
const QString productName = QStringLiteral("Tallowin Skype Recorder");

// The two audio ports: 38377 for my side, 38376 for the remote side. TSR_AUDIO_PORTS ("my,remote",
// 0 for any free port) moves them, so tests can run the program beside other servers.
std::pair<std::uint16_t, std::uint16_t> audioPorts()
{
    std::pair<std::uint16_t, std::uint16_t> ports{AudioCapture::MySidePort, AudioCapture::RemoteSidePort};
    const QStringList configured = qEnvironmentVariable("TSR_AUDIO_PORTS").split(QLatin1Char(','));
    bool myOk = false;
    bool remoteOk = false;
    if (configured.size() == 2) {
        const uint my = configured[0].toUInt(&myOk);
        const uint remote = configured[1].toUInt(&remoteOk);
        if (myOk && remoteOk && my <= 65535 && remote <= 65535)
            ports = {static_cast<std::uint16_t>(my), static_cast<std::uint16_t>(remote)};
    }
    return ports;
}

// "left,top,right,bottom" of a window rectangle in screen coordinates, right and bottom exclusive.
QString rectangleText(const QRect& r)
{
    return QStringLiteral("%1,%2,%3,%4").arg(r.left()).arg(r.top()).arg(r.left() + r.width()).arg(r.top() + r.height());
}
} // namespace

CHelloWorldDlg::CHelloWorldDlg(QWidget* parent) : QDialog(parent), m_icon(SkinPictures::icon(128))
{
    m_status = new QLabel(this);
    m_recordingPanel = new RecordingPanel(m_counters, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_recordingPanel);
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
    RecordStore::Instance().Open(AppPaths::HistoryFile());
    CGeneralProfile::Instance().Load();
    startAudio();
    startLink();
    // The call table and the call partners are the link's; the recording control reads them there.
    if (!m_recording) {
        m_recording = std::make_unique<RecordingControl>(*m_recordingPanel, m_counters, this);
        connect(m_recordingPanel, &RecordingPanel::recordClicked, m_recording.get(), &RecordingControl::OnRecordButton);
        connect(m_recordingPanel, &RecordingPanel::pauseClicked, m_recording.get(), &RecordingControl::OnPauseButton);
    }
    m_initDone = true;
    return true;
}

// A port that cannot be listened on shows its message and the program goes on without it.
void CHelloWorldDlg::startAudio()
{
    AudioCapture& capture = AudioCapture::instance();
    capture.setLevelTarget(this);
    // Skype is asked again for a call's audio whenever one of its connections closes.
    capture.setConnectionClosedHook(&SkypeLink::ReissueAudioRedirect);
    const auto [mySide, remoteSide] = audioPorts();
    capture.startMySideServer(mySide);
    capture.startRemoteSideServer(remoteSide);
}

void CHelloWorldDlg::startLink()
{
    SkypeLink::StartLink(this);
    // Skype is pointed at the ports the servers really listen on.
    const AudioCapture& capture = AudioCapture::instance();
    const std::uint16_t mySide = capture.mySideServer().port();
    const std::uint16_t remoteSide = capture.remoteSideServer().port();
    if (mySide != 0 && remoteSide != 0)
        SkypeLink::LinkInstance().setAudioPorts(mySide, remoteSide);
}

// The end order; runs once, when the window goes.
void CHelloWorldDlg::OnDestroy()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    saveSettings();
    // A recording still running is closed here with the audio, and not entered in the history.
    AudioCapture::destroyInstance();
    SkypeLink::ShutdownLink();
    m_recording.reset();
    RecordStore::DestroyInstance();
    CGeneralProfile::DestroyInstance();
}

// The window's place is kept for the next start.
void CHelloWorldDlg::saveSettings()
{
    if (!CGeneralProfile::InstanceExists())
        return;
    CGeneralProfile& profile = CGeneralProfile::Instance();
    profile.hispos = rectangleText(frameGeometry());
    profile.setModified();
    profile.Save();
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
    if (SkypeLink::HasInstance())
        SkypeLink::LinkInstance().EndWaits(); // a chat being opened stops waiting for Skype
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
        if (m_recording && m_recording->handleMessage(*message))
            return true; // WM_FINISH_RECORDING and the call events
        switch (message->message()) {
        case WM_LINK_USERHANDLE:
            OnLinkUserHandle();
            return true;
        case WM_LINK_REFUSED:
            OnLinkRefused();
            return true;
        default:
            return false;
        }
    }
    return QDialog::event(e);
}

// Skype is reached: ready to record, also in the middle of a recording.
void CHelloWorldDlg::OnLinkUserHandle()
{
    m_recordingPanel->setRecordingStatus(QStringLiteral("Ready for recording ..."), RecordingView::NormalColour);
    m_counters.statusCode = RecordingCounters::Ready;
    m_recordingPanel->refreshTimeDisplay();
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
