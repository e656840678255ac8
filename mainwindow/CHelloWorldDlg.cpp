#include "mainwindow/CHelloWorldDlg.h"

#include "audio/AudioCapture.h"
#include "history/CDlgRecHistory.h"
#include "history/RecordStore.h"
#include "mainwindow/CAboutDlg.h"
#include "mainwindow/SystemTrayIcon.h"
#include "platform/AppPaths.h"
#include "platform/MessageBoxService.h"
#include "platform/ProductSite.h"
#include "platform/Shell.h"
#include "platform/WindowMessage.h"
#include "platform/WindowMessages.h"
#include "recording/RecordingControl.h"
#include "settings/CDlgOptions.h"
#include "settings/CGeneralProfile.h"
#include "skype/ContactDirectory.h"
#include "skype/SkypeLink.h"
#include "ui/CKCBusyProgressCtrl.h"
#include "ui/CLabelEx.h"
#include "ui/CMyButtonST.h"
#include "ui/CTaskbarNotifier.h"
#include "ui/SavedWindowPosition.h"
#include "ui/SkinPictures.h"
#include "ui/WindowDrag.h"
#include "ui/WindowLayering.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QEventLoop>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace {
const QColor white(255, 255, 255);
const QColor black(0, 0, 0);
const QColor green(0, 255, 0);
const QColor alertColour(226, 0, 0);
const QColor linkColour(0, 0, 192);
const QColor popupHoverColour(0, 0, 200);

constexpr QSize backgroundSize(438, 98);
// Position changes after which the history window no longer follows the program's own moves.
constexpr int followedPositionChanges = 10;

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

QRect primaryWorkArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void place(QWidget* control, const QRect& rect)
{
    if (!rect.isEmpty() && control->geometry() != rect)
        control->setGeometry(rect);
}

// The three pictures of a record or pause button (pointer over, away, pressed) and its tooltip.
struct ButtonLook {
    int over, away, pressed;
    const char* tip;
};
constexpr ButtonLook startLook{134, 133, 135, "Start Recording"};
constexpr ButtonLook stopLook{137, 136, 138, "Stop Recording"};
constexpr ButtonLook pauseLook{140, 139, 141, "Pause Recording"};
constexpr ButtonLook resumeLook{134, 133, 135, "Resume Recording"};

void setLook(CMyButtonST* button, const ButtonLook& look)
{
    button->setBitmaps(look.over, white, look.away, white, look.pressed, white);
    button->setToolTip(QString::fromLatin1(look.tip));
}

void saveProfile(CGeneralProfile& profile)
{
    profile.setModified();
    profile.Save();
}
} // namespace

CHelloWorldDlg::CHelloWorldDlg(QWidget* parent)
    : QDialog(parent), m_icon(SkinPictures::icon(128)), m_updater(this), m_docking(*this)
{
    resize(backgroundSize);
    createControls();
    m_skypeWindowTimer.setInterval(SkypeDocking::SkypeWindowTickMs);
    connect(&m_skypeWindowTimer, &QTimer::timeout, this, &CHelloWorldDlg::onSkypeWindowTick);
}

CHelloWorldDlg::~CHelloWorldDlg()
{
    OnDestroy();
}

// The controls as the window's template has them; OnInitDialog gives them their pictures and
// texts, the layout their places.
void CHelloWorldDlg::createControls()
{
    using L = MainWindowLayout;
    m_hideButton = addControl<CMyButtonST>(HideButton, L::cornerButtonSize);
    m_topmostButton = addControl<CMyButtonST>(TopmostButton, L::cornerButtonSize);
    m_stickButton = addControl<CMyButtonST>(StickButton, L::cornerButtonSize);
    m_recordButton = addControl<CMyButtonST>(RecordButton, L::bigButtonSize);
    m_pauseButton = addControl<CMyButtonST>(PauseButton, L::bigButtonSize);
    m_mySideIcon = addControl<CMyButtonST>(MySideIcon, L::streamIconSize);
    m_remoteSideIcon = addControl<CMyButtonST>(RemoteSideIcon, L::streamIconSize);
    m_mySideMeter = addControl<CKCBusyProgressCtrl>(MySideMeter, L::meterSize);
    m_remoteSideMeter = addControl<CKCBusyProgressCtrl>(RemoteSideMeter, L::meterSize);
    m_statusLine = addControl<CLabelEx>(StatusLine, L::statusLineSize);
    m_recordingStatus = addControl<CLabelEx>(RecordingStatusLine, L::statusLineSize);
    m_supportLink = addControl<CLabelEx>(SupportLink, L::supportLinkSize);
    m_unusedButton = addControl<CMyButtonST>(UnusedButton, L::bigButtonSize);
    m_historyButton = addControl<CMyButtonST>(HistoryButton, L::bigButtonSize);
    m_optionsButton = addControl<CMyButtonST>(OptionsButton, L::bigButtonSize);
    m_helpButton = addControl<CMyButtonST>(HelpButton, L::bigButtonSize);

    connect(m_hideButton, &QAbstractButton::clicked, this, &CHelloWorldDlg::OnHide);
    connect(m_topmostButton, &QAbstractButton::clicked, this, &CHelloWorldDlg::OnTopmost);
    connect(m_stickButton, &QAbstractButton::clicked, this, &CHelloWorldDlg::OnStick);
    connect(m_recordButton, &QAbstractButton::clicked, this, &CHelloWorldDlg::recordClicked);
    connect(m_pauseButton, &QAbstractButton::clicked, this, &CHelloWorldDlg::pauseClicked);
    connect(m_statusLine, &CLabelEx::clicked, this, &CHelloWorldDlg::OnStatusLineClicked);
    connect(m_supportLink, &CLabelEx::clicked, this, &CHelloWorldDlg::OnSupportUs);
    connect(m_historyButton, &QAbstractButton::clicked, this, &CHelloWorldDlg::OnHistory);
    connect(m_optionsButton, &QAbstractButton::clicked, this, &CHelloWorldDlg::OnOptions);
    connect(m_helpButton, &QAbstractButton::clicked, this, &CHelloWorldDlg::OnHelp);
    layOutControls();
}

template <typename Control> Control* CHelloWorldDlg::addControl(int id, const QSize& size)
{
    auto* control = new Control(this);
    control->setObjectName(QString::number(id));
    control->resize(size);
    return control;
}

template <typename Control> Control* CHelloWorldDlg::control(int id) const
{
    return findChild<Control*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

CMyButtonST* CHelloWorldDlg::button(int id) const
{
    return control<CMyButtonST>(id);
}

CLabelEx* CHelloWorldDlg::label(int id) const
{
    return control<CLabelEx>(id);
}

CKCBusyProgressCtrl* CHelloWorldDlg::meter(int id) const
{
    return control<CKCBusyProgressCtrl>(id);
}

void CHelloWorldDlg::setTrayIcon(std::unique_ptr<TrayIcon> tray)
{
    m_tray = std::move(tray);
}

void CHelloWorldDlg::setSkypeWindowFinder(std::unique_ptr<SkypeWindowFinder> finder)
{
    m_docking.setFinder(std::move(finder));
}

void CHelloWorldDlg::setWorkAreaSource(std::function<QRect()> source)
{
    m_workAreaSource = std::move(source);
}

// The window's own modal run. QDialog::exec() would end as soon as the window hides, and this
// window hides to the tray.
int CHelloWorldDlg::DoModal()
{
    OnInitDialog();
    show();
    QEventLoop loop;
    m_loop = &loop;
    if (!m_ended)
        loop.exec(QEventLoop::DialogExec);
    m_loop = nullptr;
    return result();
}

void CHelloWorldDlg::done(int r)
{
    m_ended = true;
    QDialog::done(r);
    if (m_loop)
        m_loop->exit(r);
}

bool CHelloWorldDlg::OnInitDialog()
{
    createRecordingFolder();
    createDataFolder();
    addSystemMenu();
    removeCaption();
    addTrayIcon();
    setWindowIcon(m_icon);
    setWindowTitle(productName());
    setUpLevelMeters();
    setUpStatusLine();
    setUpSupportLink();
    RecordStore::Instance().Open(AppPaths::HistoryFile());
    createHistoryWindow();
    setUpPageButtons();
    showWaitingForSkype();
    loadBackgrounds();
    setUpCornerButtons();
    setUpRecordingButtons();
    CGeneralProfile::Instance().Load();
    startAudio();
    startLink();
    createRecordingControl();
    disableRecordingButtons();
    restoreWindowPosition();
    m_history->FillFromStore();
    m_docking.loadBarPieces();
    startSkypeWindowTimer();
    m_updater.start();
    setUpNotifier();
    applyTopmostSetting();
    m_docking.start(CGeneralProfile::Instance().sticksky);
    layOutControls();
    m_initDone = true;
    return true;
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
    if (!folder.isEmpty())
        QDir().mkpath(folder);
}

// A window without a caption has no system menu to click on; its menu opens with a right click on
// the window's body instead.
void CHelloWorldDlg::addSystemMenu()
{
    m_systemMenu = new QMenu(this);
    QAction* about = m_systemMenu->addAction(aboutItemText());
    about->setData(IDM_ABOUTBOX);
}

// No caption; the window can still be minimised from its taskbar button.
void CHelloWorldDlg::removeCaption()
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint | Qt::WindowSystemMenuHint);
}

void CHelloWorldDlg::addTrayIcon()
{
    if (!m_tray)
        m_tray = std::make_unique<SystemTrayIcon>(this);
    m_tray->add(m_icon, productName());
}

void CHelloWorldDlg::setUpLevelMeters()
{
    for (CKCBusyProgressCtrl* levelMeter : {m_mySideMeter, m_remoteSideMeter}) {
        levelMeter->setBlocks(MeterBlocks);
        levelMeter->setRange(0, MeterRange);
        levelMeter->setMode(CKCBusyProgressCtrl::ProgressMode);
        levelMeter->useSystemBackground(false);
        levelMeter->setBackgroundColour(SkinPictures::displayPanelColour());
    }
}

// Until the user's handle is shown, the status line looks and acts like a link to the issue page.
void CHelloWorldDlg::setUpStatusLine()
{
    m_statusLine->setLeftImageIndex(statusIconFor(0));
    m_statusLine->setText(QStringLiteral("Searching for Skype"));
    m_statusLine->setTextColour(alertColour);
    m_statusLine->setColourOnHover(true);
    m_recordingStatus->setPointerReaction(false);
}

void CHelloWorldDlg::setUpSupportLink()
{
    m_supportLink->setText(QStringLiteral("Support us"));
    m_supportLink->setTextColour(linkColour);
    m_supportLink->setColourOnHover(true);
    m_supportLink->setUnderlineOnHover(true);
}

void CHelloWorldDlg::createHistoryWindow()
{
    m_history = std::make_unique<CDlgRecHistory>(this);
    // Names, calls and chats go through the Skype link as it stands when they are needed: it
    // starts after the history window and ends before it.
    m_history->setDisplayNameResolver([](const QString& handles) {
        return SkypeLink::HasInstance() ? SkypeLink::LinkInstance().contactDirectory().DisplayNamesFor(handles)
                                        : CTreeCtrlBT::handlesAsNames(handles);
    });
    m_history->setCallAction([](const QString& handles) {
        if (SkypeLink::HasInstance())
            SkypeLink::LinkInstance().PlaceCall(handles);
    });
    m_history->setChatAction([](const QString& handles) {
        if (SkypeLink::HasInstance())
            SkypeLink::LinkInstance().OpenChatWith(handles);
    });
}

void CHelloWorldDlg::setUpPageButtons()
{
    m_historyButton->setBitmaps(1060, white, 1012, white);
    m_historyButton->setToolTip(QStringLiteral("History"));
    m_optionsButton->setBitmaps(1062, white, 1013, white);
    m_optionsButton->setToolTip(QStringLiteral("Options"));
    m_helpButton->setBitmaps(1061, white, 1014, white);
    m_helpButton->setToolTip(QStringLiteral("Help"));
}

void CHelloWorldDlg::showWaitingForSkype()
{
    setRecordingStatus(QStringLiteral("Waiting to access Skype ..."), AlertColour);
    m_counters.statusCode = RecordingCounters::WaitingForSkype;
}

void CHelloWorldDlg::loadBackgrounds()
{
    m_background = SkinPictures::image(129);
    m_timeDisplay.loadPicture();
    setNormalShape();
}

void CHelloWorldDlg::setUpCornerButtons()
{
    m_hideButton->setBitmaps(131, black, 130, black, 132, black);
    m_hideButton->setToolTip(QStringLiteral("Hide"));
    setTopmostLook(false);
    m_topmostButton->setToolTip(QStringLiteral("Top-most"));
    m_stickButton->setBitmaps(2018, white, 2017, white, 2019, white);
    m_stickButton->setToolTip(QStringLiteral("Stick to Skype"));
}

void CHelloWorldDlg::setUpRecordingButtons()
{
    setRecordLook(RecordLook::Start);
    setPauseLook(PauseLook::Pause);
    m_mySideIcon->setBitmaps(1007, white);
    m_mySideIcon->setEnabled(false);
    m_remoteSideIcon->setBitmaps(1008, white);
    m_remoteSideIcon->setEnabled(false);
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

// The record button waits for a call; button 1010 has no use.
void CHelloWorldDlg::disableRecordingButtons()
{
    m_recordButton->setEnabled(false);
    m_pauseButton->setEnabled(false);
    m_unusedButton->setEnabled(false);
    m_unusedButton->hide();
}

// The saved place is taken only when the whole window lands inside the work area, so it never
// opens off the screen; it is where the window returns from the docked bar either way.
void CHelloWorldDlg::restoreWindowPosition()
{
    m_docking.setWorkArea(m_workAreaSource ? m_workAreaSource() : primaryWorkArea());
    const std::optional<QPoint> saved = SavedWindowPosition::parse(CGeneralProfile::Instance().hispos);
    if (!saved)
        return;
    const QRect place(*saved, size());
    if (SavedWindowPosition::liesInside(place, m_docking.workArea()))
        moveWindow(place);
    m_docking.setUndockedRect(place);
}

void CHelloWorldDlg::startSkypeWindowTimer()
{
    if (!m_docking.finder())
        m_docking.setFinder(SkypeWindowFinder::create());
    m_skypeWindowTimer.start();
}

void CHelloWorldDlg::setUpNotifier()
{
    m_notifier = new CTaskbarNotifier();
    m_notifier->CreatePopup(this);
    m_notifier->LoadSkin(2006, QColor(255, 0, 255));
    m_notifier->SetFonts();
    m_notifier->SetTextColours(black, popupHoverColour);
    m_notifier->update();
    const QSize skin = m_notifier->skinSize();
    m_notifier->SetTextArea(QRect(QPoint(10, 30), QPoint(skin.width() - 10 - 1, skin.height() - 10 - 1)));
}

void CHelloWorldDlg::applyTopmostSetting()
{
    if (!CGeneralProfile::Instance().topmost)
        return;
    setTopmostLook(true);
    WindowLayering::setStaysOnTop(this, true);
}

void CHelloWorldDlg::OnDestroy()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    m_skypeWindowTimer.stop();
    // A recording still running is finished and entered in the history first, while everything
    // the events handled as its queue is written may reach still stands.
    if (m_recording)
        m_recording->FinishOnExit();
    // Owned windows go before their owner: the history window keeps its own place in hispos,
    // which the main window's place then replaces.
    destroyHistoryWindow();
    removeTrayIcon();
    saveSettings();
    AudioCapture::destroyInstance();
    SkypeLink::ShutdownLink();
    m_recording.reset();
    RecordStore::DestroyInstance();
    CGeneralProfile::DestroyInstance();
}

// The recording control reads the call table and the call partners from the link when it acts;
// it makes the one recording session of the process.
void CHelloWorldDlg::createRecordingControl()
{
    m_recording = std::make_unique<RecordingControl>(*this, m_counters, this);
    connect(this, &CHelloWorldDlg::recordClicked, m_recording.get(), &RecordingControl::OnRecordButton);
    connect(this, &CHelloWorldDlg::pauseClicked, m_recording.get(), &RecordingControl::OnPauseButton);
    connect(this, &CHelloWorldDlg::linkCallPosted, m_recording.get(), &RecordingControl::OnLinkCall);
    connect(this, &CHelloWorldDlg::finishRecordingPosted, m_recording.get(), &RecordingControl::OnFinishRecording);
}

void CHelloWorldDlg::destroyHistoryWindow()
{
    m_history.reset();
}

void CHelloWorldDlg::removeTrayIcon()
{
    if (m_tray)
        m_tray->remove();
    m_tray.reset();
}

// The window's place is kept for the next start, unless it sits on the docked bar.
void CHelloWorldDlg::saveSettings()
{
    if (!CGeneralProfile::InstanceExists())
        return;
    CGeneralProfile& profile = CGeneralProfile::Instance();
    if (!m_docking.isDocked())
        profile.hispos = SavedWindowPosition::format(frameGeometry());
    saveProfile(profile);
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

// ---- Messages ----

bool CHelloWorldDlg::event(QEvent* e)
{
    if (const WindowMessage* message = WindowMessage::from(e))
        return OnWindowMessage(*message);
    return QDialog::event(e);
}

bool CHelloWorldDlg::OnWindowMessage(const WindowMessage& message)
{
    switch (message.message()) {
    case WM_TRAY_CALLBACK:
        OnTrayCallback(message.wParam(), message.lParam());
        return true;
    case WM_LEVEL_MY_SIDE:
        OnLevel(m_mySideMeter, message.wParam());
        return true;
    case WM_LEVEL_REMOTE_SIDE:
        OnLevel(m_remoteSideMeter, message.wParam());
        return true;
    // The recording control takes these two.
    case WM_FINISH_RECORDING:
        emit finishRecordingPosted();
        return true;
    case WM_LINK_CALL:
        emit linkCallPosted(message.wParam(), message.lParam());
        return true;
    case WM_LINK_USERSTATUS:
        OnLinkUserStatus(static_cast<int>(message.wParam()));
        return true;
    case WM_LINK_USERHANDLE:
        OnLinkUserHandle();
        return true;
    case WM_LINK_REFUSED:
        OnLinkRefused();
        return true;
    case WM_LINK_SKYPEWINDOW:
        OnLinkSkypeWindow(message.wParam());
        return true;
    default:
        return false;
    }
}

void CHelloWorldDlg::OnLevel(CKCBusyProgressCtrl* levelMeter, qintptr level)
{
    levelMeter->setPosition(static_cast<int>(qBound(qintptr(0), level, qintptr(MeterRange))));
}

int CHelloWorldDlg::statusIconFor(int userStatusCode)
{
    switch (userStatusCode) {
    case 1: // logged out
    case 2: // offline
    case 8: // invisible
        return 1;
    case 3: // online
        return 2;
    case 5: // away
        return 3;
    case 6: // not available
    case 7: // do not disturb
        return 4;
    case 4: // Skype me
        return 5;
    default:
        return 0;
    }
}

// Repainted in place: hiding and showing the label would bring it back over the docked bar.
void CHelloWorldDlg::OnLinkUserStatus(int userStatusCode)
{
    m_statusLine->setLeftImageIndex(statusIconFor(userStatusCode));
}

// Skype is reached (again): the user's handle, ready to record. The line stops looking like a
// link but a click still opens the issue page.
void CHelloWorldDlg::OnLinkUserHandle()
{
    const QString handle = SkypeLink::HasInstance() ? SkypeLink::LinkInstance().CurrentUserHandle() : QString();
    m_statusLine->setPointerReaction(false);
    m_statusLine->setText(handle);
    m_statusLine->setTextColour(black);
    setRecordingStatus(QStringLiteral("Ready for recording ..."), NormalColour);
    m_counters.statusCode = RecordingCounters::Ready;
    refreshTimeDisplay();
}

void CHelloWorldDlg::OnLinkRefused()
{
    const QString page = ProductSite::IssuePage();
    MessageRequest request;
    request.owner = this;
    request.caption = productName();
    request.text = QStringLiteral("Your skype refused me to access it.\nPlease visit the page (") + page +
                   QStringLiteral(") to resolve the issue!");
    request.icon = MessageIcon::Warning;
    request.buttons = MessageButtons::Ok;
    MessageBoxService::show(request);
    if (!m_endRequested) // the box was closed because the program is ending
        Shell::instance().openUrl(page);
}

// On the bar, the window comes and goes with Skype's.
void CHelloWorldDlg::OnLinkSkypeWindow(qintptr state)
{
    if (!m_docking.isDocked())
        return;
    if (state == SKYPE_WINDOW_HIDDEN)
        hide();
    else if (state == SKYPE_WINDOW_NORMAL)
        bringToFront();
}

// ---- Tray icon ----

void CHelloWorldDlg::OnTrayCallback(qintptr iconId, qintptr mouseMessage)
{
    if (iconId != TRAY_ICON_ID)
        return;
    if (mouseMessage == WM_LBUTTONUP)
        showWindows();
    else if (mouseMessage == WM_RBUTTONUP && m_tray)
        OnTrayCommand(m_tray->trackMenu(trayMenuItems()));
}

void CHelloWorldDlg::showWindows()
{
    bringToFront();
    if (m_docking.isDocked() || !m_history)
        return;
    m_history->placeBeside(frameGeometry(), false);
    m_history->show();
}

QList<TrayMenuItem> CHelloWorldDlg::trayMenuItems() const
{
    const CGeneralProfile& p = CGeneralProfile::Instance();
    return {
        {TrayStick, QStringLiteral("Stick to Skype"), p.sticksky},
        {},
        {TrayMySide, QStringLiteral("Only Record My Side"), p.recside == 1},
        {TrayRemoteSide, QStringLiteral("Only Record Remote Side"), p.recside != 0 && p.recside != 1},
        {TrayBothSides, QStringLiteral("Record Both Sides"), p.recside == 0},
        {TrayAutoRecording, QStringLiteral("Enable Auto Recording"), p.rectype},
        {},
        {TrayChatReply, QStringLiteral("Enable Auto Chat Reply"), p.chatreply},
        {},
        {TrayExit, QStringLiteral("Exit"), false},
    };
}

// Each change is saved at once. A new side applies from the next recording on.
void CHelloWorldDlg::OnTrayCommand(int command)
{
    CGeneralProfile& profile = CGeneralProfile::Instance();
    switch (command) {
    case TrayStick:
        OnStick();
        break;
    case TrayMySide:
        setProfileValue(profile.recside, 1);
        break;
    case TrayRemoteSide:
        setProfileValue(profile.recside, 2);
        break;
    case TrayBothSides:
        setProfileValue(profile.recside, 0);
        break;
    case TrayAutoRecording:
        toggleProfileFlag(profile.rectype);
        break;
    case TrayChatReply:
        toggleProfileFlag(profile.chatreply);
        break;
    case TrayExit:
        OnExit();
        break;
    default:
        break;
    }
}

void CHelloWorldDlg::setProfileValue(int& setting, int value)
{
    setting = value;
    saveProfile(CGeneralProfile::Instance());
}

void CHelloWorldDlg::toggleProfileFlag(bool& setting)
{
    setting = !setting;
    saveProfile(CGeneralProfile::Instance());
}

// The mixing worker is told to give up before the window ends, then the window ends as the
// menu has closed.
void CHelloWorldDlg::OnExit()
{
    if (AudioCapture::hasInstance())
        AudioCapture::instance().mixWorker().Abort();
    if (SkypeLink::HasInstance())
        SkypeLink::LinkInstance().EndWaits();
    QMetaObject::invokeMethod(
        this, [this] { done(QDialog::Rejected); }, Qt::QueuedConnection);
}

// ---- Commands ----

void CHelloWorldDlg::OnHide()
{
    hide();
    if (m_history)
        m_history->hide();
}

void CHelloWorldDlg::OnTopmost()
{
    CGeneralProfile& profile = CGeneralProfile::Instance();
    profile.topmost = !profile.topmost;
    setTopmostLook(profile.topmost);
    WindowLayering::setStaysOnTop(this, profile.topmost);
    saveProfile(profile);
}

// On: the single pressed picture; off: the three normal ones.
void CHelloWorldDlg::setTopmostLook(bool on)
{
    if (on)
        m_topmostButton->setBitmaps(2009, white);
    else
        m_topmostButton->setBitmaps(2008, black, 2007, black, 2009, black);
}

bool CHelloWorldDlg::isTopmost() const
{
    return WindowLayering::staysOnTop(this);
}

void CHelloWorldDlg::OnStick()
{
    m_docking.StickToggle();
}

void CHelloWorldDlg::onSkypeWindowTick()
{
    m_docking.onSkypeWindowTick();
}

void CHelloWorldDlg::OnHistory()
{
    if (m_history)
        m_history->toggleBeside(frameGeometry(), m_docking.isDocked());
}

void CHelloWorldDlg::OnOptions()
{
    CDlgOptions::run(this);
}

void CHelloWorldDlg::OnHelp()
{
    Shell::instance().openUrl(ProductSite::HelpPage());
}

void CHelloWorldDlg::OnSupportUs()
{
    Shell::instance().openUrl(ProductSite::SupportPage());
}

void CHelloWorldDlg::OnStatusLineClicked()
{
    Shell::instance().openUrl(ProductSite::IssuePage());
}

void CHelloWorldDlg::OnSysCommand(int command)
{
    if ((command & 0xFFF0) != IDM_ABOUTBOX)
        return;
    CAboutDlg about(this);
    about.exec();
}

// ---- The recording control's view ----

void CHelloWorldDlg::setRecordingStatus(const QString& text, quint32 rgb)
{
    m_recordingStatus->setText(text);
    m_recordingStatus->setTextColour(QColor(QRgb(rgb)));
}

void CHelloWorldDlg::setRecordLook(RecordLook look)
{
    setLook(m_recordButton, look == RecordLook::Start ? startLook : stopLook);
    m_pauseButton->setEnabled(look == RecordLook::Stop);
}

void CHelloWorldDlg::setPauseLook(PauseLook look)
{
    setLook(m_pauseButton, look == PauseLook::Pause ? pauseLook : resumeLook);
}

void CHelloWorldDlg::setRecordButtonEnabled(bool enabled)
{
    m_recordButton->setEnabled(enabled);
}

void CHelloWorldDlg::resetLevelMeters()
{
    m_mySideMeter->setPosition(0);
    m_remoteSideMeter->setPosition(0);
}

void CHelloWorldDlg::refreshTimeDisplay()
{
    update(m_timeRect);
}

void CHelloWorldDlg::bringToFront()
{
    showNormal();
    raise();
    activateWindow();
}

void CHelloWorldDlg::showHistoryWindow()
{
    if (m_history)
        m_history->show();
}

void CHelloWorldDlg::addToHistoryWindow(const RecordEntry& entry)
{
    if (!m_history)
        return;
    m_history->AddToTree(entry);
    m_history->Recount();
}

QString CHelloWorldDlg::timeDisplayText() const
{
    return TimeDisplay::text(m_counters);
}

// ---- Start hidden ----

void CHelloWorldDlg::setVisible(bool visible)
{
    if (visible && !isVisible() && takeStartHidden()) {
        if (m_initDone && m_notifier)
            m_notifier->ShowMessage(runningMessage());
        return;
    }
    QDialog::setVisible(visible);
}

// The rule hides the window once, at its first show or its first paint, whichever comes first,
// so the window the user brings back from the tray stays.
bool CHelloWorldDlg::takeStartHidden()
{
    if (!m_startHiddenArmed || !CGeneralProfile::InstanceExists() || !CGeneralProfile::Instance().starthide)
        return false;
    m_startHiddenArmed = false;
    return true;
}

// ---- Painting and layout ----

void CHelloWorldDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_docking.isBarShown()) {
        layOutControls();
        p.drawImage(0, 0, m_docking.barPicture());
    } else {
        // The window is as big as its picture, whatever size it was opened with.
        if (!m_background.isNull() && (width() > m_background.width() || height() > m_background.height()))
            resize(m_background.size());
        layOutControls();
        p.drawImage(0, 0, m_background);
        if (takeStartHidden())
            QMetaObject::invokeMethod(this, &QWidget::hide, Qt::QueuedConnection);
    }
    m_timeDisplay.paint(p, m_timeRect, font(), timeDisplayText());
}

void CHelloWorldDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    layOutControls();
}

void CHelloWorldDlg::layOutControls()
{
    if (m_docking.isBarShown())
        applyLayout(MainWindowLayout::docked(width()));
    else
        applyLayout(MainWindowLayout::normal(QRect(QPoint(0, 0), size().boundedTo(backgroundSize))));
}

void CHelloWorldDlg::applyLayout(const MainWindowLayout& l)
{
    place(m_hideButton, l.hide);
    place(m_topmostButton, l.topmost);
    place(m_stickButton, l.stick);
    place(m_supportLink, l.supportLink);
    place(m_recordButton, l.record);
    place(m_pauseButton, l.pause);
    place(m_mySideIcon, l.mySideIcon);
    place(m_remoteSideIcon, l.remoteSideIcon);
    place(m_mySideMeter, l.mySideMeter);
    place(m_remoteSideMeter, l.remoteSideMeter);
    place(m_historyButton, l.history);
    place(m_optionsButton, l.options);
    place(m_helpButton, l.help);
    place(m_statusLine, l.statusLine);
    place(m_recordingStatus, l.recordingStatusLine);
    m_timeRect = l.timeDisplay;
}

// ---- Moving ----

// The history window follows the first position changes whatever caused them, and afterwards
// the moves the program did not make itself (the user dragging the window).
void CHelloWorldDlg::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    const bool early = m_positionChanges < followedPositionChanges;
    if (early)
        ++m_positionChanges;
    if (early || pos() != m_programPlace)
        keepHistoryBeside();
}

void CHelloWorldDlg::keepHistoryBeside()
{
    if (m_history && m_history->x() != frameGeometry().x())
        m_history->placeBeside(frameGeometry(), m_docking.isDocked());
}

// A press on the body, not on a control, moves the window as its caption would.
void CHelloWorldDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || childAt(event->position().toPoint())) {
        QDialog::mousePressEvent(event);
        return;
    }
    m_drag.start(this, *event);
}

void CHelloWorldDlg::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_drag.follow(this, *event))
        QDialog::mouseMoveEvent(event);
}

void CHelloWorldDlg::mouseReleaseEvent(QMouseEvent* event)
{
    m_drag.end(*event);
    QDialog::mouseReleaseEvent(event);
}

void CHelloWorldDlg::contextMenuEvent(QContextMenuEvent* event)
{
    if (!m_systemMenu || childAt(event->pos()))
        return;
    if (const QAction* chosen = m_systemMenu->exec(event->globalPos()))
        OnSysCommand(chosen->data().toInt());
}

// ---- What the docking asks of the window ----

QRect CHelloWorldDlg::windowRect() const
{
    return geometry();
}

void CHelloWorldDlg::moveWindow(const QRect& rect)
{
    m_programPlace = rect.topLeft();
    setGeometry(rect);
}

void CHelloWorldDlg::setBarShape(const QImage& bar)
{
    SkinPictures::applyWindowRegion(this, bar, white);
}

void CHelloWorldDlg::setNormalShape()
{
    SkinPictures::applyWindowRegion(this, m_background, green);
}

void CHelloWorldDlg::showCornerControls(bool show)
{
    for (QWidget* control : std::initializer_list<QWidget*>{m_hideButton, m_topmostButton, m_stickButton, m_statusLine,
                                                            m_recordingStatus, m_supportLink})
        control->setVisible(show);
}

bool CHelloWorldDlg::cornerControlsShown() const
{
    return !m_hideButton->isHidden();
}

void CHelloWorldDlg::setHistoryTopmost(bool topmost)
{
    if (m_history)
        m_history->SetTopmost(topmost);
}

void CHelloWorldDlg::redrawNow()
{
    layOutControls();
    update();
}
