#include "recording/RecordingControl.h"

#include "audio/AudioCapture.h"
#include "history/RecordStore.h"
#include "platform/Clock.h"
#include "platform/WindowMessage.h"
#include "platform/WindowMessages.h"
#include "settings/CGeneralProfile.h"
#include "skype/SkypeLink.h"
#include "skype/StatusCodes.h"

#include <QDateTime>
#include <QDir>

namespace {

const QString recordingText = QStringLiteral("Recording in progress ...");
const QString pausedText = QStringLiteral("Recording pause ...");
const QString readyText = QStringLiteral("Ready for recording ...");

bool isEndedCallStatus(int status)
{
    return status == CallFailed || (status >= CallFinished && status <= CallCancelled);
}

} // namespace

RecordingControl::RecordingControl(RecordingView& view, RecordingCounters& counters, QObject* window)
    : m_view(view), m_counters(counters), m_window(window)
{
    m_durationTimer.setInterval(DurationTickMs);
    connect(&m_durationTimer, &QTimer::timeout, this, &RecordingControl::onDurationTick);
}

// The window's end has finished a running recording through FinishOnExit before this goes.
RecordingControl::~RecordingControl() = default;

bool RecordingControl::isRecording() const
{
    return AudioCapture::hasInstance() && isRecordingState(AudioCapture::instance().captureState());
}

void RecordingControl::OnRecordButton()
{
    if (isRecording())
        Stop();
    else
        Start();
}

void RecordingControl::OnPauseButton()
{
    if (AudioCapture::hasInstance() && AudioCapture::instance().captureState() == CaptureState::Paused)
        Resume();
    else
        Pause();
}

// The window shows a running recording only once its file is open: when the file cannot be
// created nothing else changes, so no time is counted and no record is added for a file that
// does not exist.
bool RecordingControl::Start()
{
    if (m_starting || isRecording() || !SkypeLink::HasInstance())
        return false;
    SkypeLink& link = SkypeLink::LinkInstance();
    const CallTable& calls = link.callTable();
    const CallTable::ActiveCall call = calls.EarliestActiveCall();
    if (call.callId.isEmpty())
        return false;

    QString partner = call.partner;
    if (partner.isEmpty())
        partner = calls.PartnerOf(call.callId);
    if (partner.isEmpty())
        partner = call.callId;
    const QString name = RecordingName(partner);
    const CGeneralProfile& profile = CGeneralProfile::Instance();
    const QString basePath = profile.sfolder + QDir::separator() + MakeFileName(name, Clock::instance().nowSeconds());

    AudioCapture& audio = AudioCapture::instance();
    // A file that cannot be created is reported in a message box, during which call events go on
    // being handled; they must not start a second recording meanwhile.
    m_starting = true;
    const bool started = audio.startRecording(basePath, CGeneralProfile::sampleRateFromIndex(profile.asample),
                                              CGeneralProfile::bitrateFromIndex(profile.abitrate),
                                              CGeneralProfile::channelModeFromIndex(profile.amode));
    m_starting = false;
    if (!started)
        return false;

    m_session.AddCallId(call.callId);
    noteCompanionCalls(call.callId);
    m_session.BeginSession(name, link.IsIncomingCall() ? 1 : 2, basePath);
    // The receiving threads read the side as soon as the state says recording.
    audio.setSide(profile.recside);
    audio.setCaptureState(CaptureState::Recording);
    showRecording();
    m_counters.durationSeconds = 0;
    m_durationTimer.start();
    return true;
}

// The other calls active now reach the file too (Skype sends the audio of every call in
// progress); they end the recording with the recorded one.
void RecordingControl::noteCompanionCalls(const QString& recordedCall)
{
    const CallTable& calls = SkypeLink::LinkInstance().callTable();
    for (int slot = 0; slot < CallTable::SlotCount; ++slot) {
        const QString id = calls.CallIdAt(slot);
        if (!id.isEmpty() && id != recordedCall && isActiveCallStatus(calls.StatusAt(slot)))
            m_session.AddCompanionCall(id);
    }
}

// A second stop while the first is being finished would finish the same recording twice.
void RecordingControl::Stop()
{
    if (!isRecording() || m_finishPending)
        return;
    m_finishPending = true;
    PostWindowMessage(m_window ? m_window.data() : static_cast<QObject*>(this), WM_FINISH_RECORDING);
    m_view.setRecordLook(RecordingView::RecordLook::Start);
    m_view.setPauseLook(RecordingView::PauseLook::Pause);
    m_view.resetLevelMeters();
    m_view.setRecordingStatus(readyText, RecordingView::NormalColour);
    m_counters.statusCode = RecordingCounters::Ready;
    m_durationTimer.stop();
    m_counters.durationSeconds = 0;
    m_view.refreshTimeDisplay();
}

// Without the audio capture the program is ending: the file has been closed with it.
void RecordingControl::OnFinishRecording()
{
    if (!m_finishPending || m_finishing || !AudioCapture::hasInstance())
        return;
    m_view.addToHistoryWindow(finishRecording());
}

// A finish a stop has posted would not be handled any more, so it is done here; the message,
// should it still come, then finds nothing pending.
void RecordingControl::FinishOnExit()
{
    if (m_finishing || !AudioCapture::hasInstance() || (!m_finishPending && !isRecording()))
        return;
    // While the queue is written, pause, resume and the call events leave the recording alone.
    m_finishPending = true;
    m_durationTimer.stop();
    finishRecording();
}

// The finish message a stop has posted may arrive while events are handled here; it must not
// finish the recording a second time.
RecordEntry RecordingControl::finishRecording()
{
    m_finishing = true;
    // Handles events while the worker writes what is queued.
    AudioCapture::instance().stopRecording();

    RecordEntry entry;
    m_session.FillEntry(entry);
    if (!m_session.callIds().isEmpty() && SkypeLink::HasInstance())
        entry.name = SkypeLink::LinkInstance().callPartnerMap().PartnersForCalls(m_session.callIds());
    RecordStore::Instance().Add(entry);
    m_session.ResetSession();
    m_finishPending = false;
    m_finishing = false;
    return entry;
}

void RecordingControl::Pause()
{
    if (m_finishPending || !AudioCapture::hasInstance())
        return;
    AudioCapture& audio = AudioCapture::instance();
    const CaptureState state = audio.captureState();
    if (state != CaptureState::Recording && state != CaptureState::Resumed)
        return;
    audio.pause();
    showPaused();
    m_durationTimer.stop();
    m_session.PauseSession();
}

void RecordingControl::Resume()
{
    if (m_finishPending || !AudioCapture::hasInstance())
        return;
    AudioCapture& audio = AudioCapture::instance();
    if (audio.captureState() != CaptureState::Paused)
        return;
    audio.resume();
    showRecording();
    m_durationTimer.start();
    m_session.ResumeSession();
}

void RecordingControl::showRecording()
{
    m_view.setRecordingStatus(recordingText, RecordingView::AlertColour);
    m_counters.statusCode = RecordingCounters::Recording;
    m_view.setRecordLook(RecordingView::RecordLook::Stop);
    m_view.setPauseLook(RecordingView::PauseLook::Pause);
}

void RecordingControl::showPaused()
{
    m_view.setPauseLook(RecordingView::PauseLook::Resume);
    m_view.setRecordingStatus(pausedText, RecordingView::AlertColour);
    m_counters.statusCode = RecordingCounters::Paused;
}

void RecordingControl::onDurationTick()
{
    ++m_counters.durationSeconds;
    m_view.refreshTimeDisplay();
}

bool RecordingControl::OnLinkCall(qintptr slot, qintptr change)
{
    if (change != LINK_CALL_STATUS_CHANGED)
        return false;
    if (slot < 0 || slot >= CallTable::SlotCount || !SkypeLink::HasInstance())
        return true;
    const CallTable& calls = SkypeLink::LinkInstance().callTable();
    const int index = static_cast<int>(slot);
    const int status = calls.StatusAt(index);
    if (status == CallInProgress)
        onCallInProgress(calls.CallIdAt(index));
    else if (isEndedCallStatus(status))
        onCallEnded(calls.CallIdAt(index));
    return true;
}

void RecordingControl::onCallInProgress(const QString& callId)
{
    const CGeneralProfile& profile = CGeneralProfile::Instance();
    if (!isRecording()) {
        if (profile.notifycov)
            m_view.bringToFront();
        if (profile.rectype)
            Start();
    }
    m_view.setRecordButtonEnabled(true);
    // A further call joins the running recording: it goes into the same file and its record.
    if (isRecording() && !callId.isEmpty())
        m_session.AddCallId(callId);
}

// The recording ends with the last of its calls; a call that had nothing to do with it does
// not end it.
void RecordingControl::onCallEnded(const QString& callId)
{
    SkypeLink& link = SkypeLink::LinkInstance();
    const bool anyCallActive = link.callTable().AnyCallActive();
    if (isRecording() && !m_finishPending && m_session.IsRecordingCall(callId) && !anyCallActive) {
        const CGeneralProfile& profile = CGeneralProfile::Instance();
        if (profile.notifyfinish)
            m_view.bringToFront();
        if (profile.notifyhistory)
            m_view.showHistoryWindow();
        Stop();
    }
    if (!anyCallActive) {
        link.ResetCallState();
        m_view.setRecordButtonEnabled(false);
    }
}

bool RecordingControl::handleMessage(const WindowMessage& message)
{
    switch (message.message()) {
    case WM_FINISH_RECORDING:
        OnFinishRecording();
        return true;
    case WM_LINK_CALL:
        return OnLinkCall(message.wParam(), message.lParam());
    default:
        return false;
    }
}

bool RecordingControl::event(QEvent* e)
{
    if (const WindowMessage* message = WindowMessage::from(e)) {
        if (handleMessage(*message))
            return true;
    }
    return QObject::event(e);
}

QString RecordingControl::MakeFileName(const QString& name, qint64 seconds)
{
    const QDateTime local = QDateTime::fromSecsSinceEpoch(seconds, Qt::LocalTime);
    const QString stamp = local.isValid() ? local.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")) : QString();
    QString fileName = name + QLatin1Char('_') + stamp;
    for (const QChar unfit : QStringLiteral("\\/:*?\"<>|"))
        fileName.replace(unfit, QLatin1Char('-'));
    return fileName;
}

QString RecordingControl::RecordingName(const QString& partner)
{
    return partner.contains(QLatin1String("undisclosed_pstn:")) ? QStringLiteral("undisclosed_pstn") : partner;
}
