#pragma once

#include "mainwindow/MainWindowLayout.h"
#include "mainwindow/SkypeDocking.h"
#include "mainwindow/TimeDisplay.h"
#include "mainwindow/TrayIcon.h"
#include "recording/RecordingCounters.h"
#include "recording/RecordingView.h"
#include "ui/WindowDrag.h"
#include "update/CAutoUpdater.h"

#include <QDialog>
#include <QIcon>
#include <QImage>
#include <QPoint>
#include <QTimer>
#include <functional>
#include <memory>

class CDlgRecHistory;
class RecordingControl;
class CKCBusyProgressCtrl;
class CLabelEx;
class CMyButtonST;
class CTaskbarNotifier;
class QEventLoop;
class QMenu;
class WindowMessage;

// The program's main window: a small skinned bar with the record and pause buttons, the two level
// meters, the time display, the History, Options and Help buttons, three small buttons in the
// top right corner (Hide, Top-most, Stick to Skype), a "Support us" link and two status lines.
// It runs as the program's modal dialog for the whole life of the process: its initialisation
// brings up every subsystem in a fixed order and its destruction takes them down again, also in
// a fixed order. The Skype link and the audio servers post their messages to it. It also owns
// the tray icon, the history window and the popup notifier, and can stick to Skype's window.
class CHelloWorldDlg : public QDialog, public RecordingView, private DockingHost {
    Q_OBJECT

public:
    // The controls, by their dialog item ids (also their object names).
    enum ControlId {
        HideButton = 1000,
        RecordButton = 1001,
        PauseButton = 1002,
        MySideIcon = 1003,
        RemoteSideIcon = 1004,
        MySideMeter = 1005,
        RemoteSideMeter = 1006,
        StatusLine = 1008,
        RecordingStatusLine = 1009,
        UnusedButton = 1010,
        HistoryButton = 1011,
        OptionsButton = 1012,
        HelpButton = 1013,
        TopmostButton = 1027,
        StickButton = 1078,
        SupportLink = 1080,
    };
    // The tray menu's commands.
    enum TrayCommand {
        TrayExit = 32772,
        TrayChatReply = 32773,
        TrayAutoRecording = 32774,
        TrayBothSides = 32775,
        TrayRemoteSide = 32776,
        TrayMySide = 32777,
        TrayStick = 32778,
    };
    // The About item of the window's menu (a system command; the low four bits do not count).
    static constexpr int IDM_ABOUTBOX = 0x0010;
    static constexpr int MeterBlocks = 20;
    static constexpr int MeterRange = 512;

    static QString productName() { return QStringLiteral("Tallowin Skype Recorder"); }
    static QString aboutItemText() { return QStringLiteral("&About Tallowin Skype Recorder..."); }
    static QString runningMessage() { return QStringLiteral("Tallowin Skype Recorder is Running!"); }
    static QColor timeDisplayColour() { return TimeDisplay::textColour(); }

    explicit CHelloWorldDlg(QWidget* parent = nullptr);
    ~CHelloWorldDlg() override;

    // Initialises the window, then runs it until it ends (Escape, closing, Exit, the program
    // being asked to end). Returns how it ended.
    int DoModal();
    // The start order: every subsystem comes up here, each after the ones it relies on.
    bool OnInitDialog();
    // The end order; runs once, when the window goes.
    void OnDestroy();
    bool isInitialised() const { return m_initDone; }

    // The program is asked to end from outside (logout, kill): message boxes still open over
    // the window go first, then the window ends as if it had been closed.
    void EndOnRequest();

    // What the window meets the desktop through; tests give their own before OnInitDialog. By
    // default: the system tray, the desktop's window finder and the primary screen's work area.
    void setTrayIcon(std::unique_ptr<TrayIcon> tray);
    void setSkypeWindowFinder(std::unique_ptr<SkypeWindowFinder> finder);
    void setWorkAreaSource(std::function<QRect()> source);

    // The recording control's view of the window.
    void setRecordingStatus(const QString& text, quint32 rgb) override;
    void setRecordLook(RecordLook look) override;
    void setPauseLook(PauseLook look) override;
    void setRecordButtonEnabled(bool enabled) override;
    void resetLevelMeters() override;
    void refreshTimeDisplay() override;
    void bringToFront() override;
    void showHistoryWindow() override;
    void addToHistoryWindow(const RecordEntry& entry) override;
    // The duration and status the time display shows; the recording control keeps them current.
    RecordingCounters& recordingCounters() { return m_counters; }

    // The commands of the buttons, labels and menus.
    void OnHide();
    void OnTopmost();
    void OnStick();
    void OnHistory();
    void OnOptions();
    void OnHelp();
    void OnSupportUs();
    void OnStatusLineClicked();
    void OnSysCommand(int command);
    void OnTrayCallback(qintptr iconId, qintptr mouseMessage);
    void OnTrayCommand(int command);
    // The tray menu with its check marks as the settings stand now.
    QList<TrayMenuItem> trayMenuItems() const;
    // What the Skype-window timer calls every 200 ms.
    void onSkypeWindowTick();

    // The status icon of the status line for a UserStatusCode.
    static int statusIconFor(int userStatusCode);
    QString timeDisplayText() const;
    QRect timeDisplayRect() const { return m_timeRect; }
    QRect workArea() const { return m_docking.workArea(); }

    CMyButtonST* button(int id) const;
    CLabelEx* label(int id) const;
    CKCBusyProgressCtrl* meter(int id) const;
    CDlgRecHistory* historyWindow() const { return m_history.get(); }
    CTaskbarNotifier* notifier() const { return m_notifier; }
    QMenu* systemMenu() const { return m_systemMenu; }
    const SkypeDocking& docking() const { return m_docking; }
    CAutoUpdater& updater() { return m_updater; }
    bool isTopmost() const;

    // The start-hidden rule acts on the first show of the window (and the first paint) while
    // starthide is on.
    void setVisible(bool visible) override;
    void done(int result) override;

signals:
    // For the recording control: the record and pause buttons, and the two messages it handles.
    void recordClicked();
    void pauseClicked();
    void linkCallPosted(qintptr slot, qintptr change);
    void finishRecordingPosted();

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Window-side services of the docking.
    QRect windowRect() const override;
    void moveWindow(const QRect& rect) override;
    void setBarShape(const QImage& bar) override;
    void setNormalShape() override;
    void showCornerControls(bool show) override;
    bool cornerControlsShown() const override;
    void setHistoryTopmost(bool topmost) override;
    void redrawNow() override;

    void createControls();
    template <typename Control> Control* addControl(int id, const QSize& size);
    template <typename Control> Control* control(int id) const;

    // The start order's steps.
    void createRecordingFolder();
    void createDataFolder();
    void addSystemMenu();
    void removeCaption();
    void addTrayIcon();
    void setUpLevelMeters();
    void setUpStatusLine();
    void setUpSupportLink();
    void createHistoryWindow();
    void setUpPageButtons();
    void showWaitingForSkype();
    void loadBackgrounds();
    void setUpCornerButtons();
    void setUpRecordingButtons();
    void startAudio();
    void startLink();
    void createRecordingControl();
    void disableRecordingButtons();
    void restoreWindowPosition();
    void startSkypeWindowTimer();
    void setUpNotifier();
    void applyTopmostSetting();

    // The end order's steps.
    void destroyHistoryWindow();
    void removeTrayIcon();
    void saveSettings();

    bool OnWindowMessage(const WindowMessage& message);
    void OnLevel(CKCBusyProgressCtrl* levelMeter, qintptr level);
    void OnLinkUserStatus(int userStatusCode);
    void OnLinkUserHandle();
    void OnLinkRefused();
    void OnLinkSkypeWindow(qintptr state);
    void OnExit();
    void showWindows();
    void setProfileValue(int& setting, int value);
    void toggleProfileFlag(bool& setting);
    void setTopmostLook(bool on);
    bool takeStartHidden();
    void layOutControls();
    void applyLayout(const MainWindowLayout& layout);
    void keepHistoryBeside();

    QIcon m_icon;
    QImage m_background;
    TimeDisplay m_timeDisplay;
    CAutoUpdater m_updater;
    RecordingCounters m_counters;
    CTaskbarNotifier* m_notifier = nullptr;
    bool m_initDone = false;

    CMyButtonST* m_hideButton = nullptr;
    CMyButtonST* m_topmostButton = nullptr;
    CMyButtonST* m_stickButton = nullptr;
    CMyButtonST* m_recordButton = nullptr;
    CMyButtonST* m_pauseButton = nullptr;
    CMyButtonST* m_mySideIcon = nullptr;
    CMyButtonST* m_remoteSideIcon = nullptr;
    CKCBusyProgressCtrl* m_mySideMeter = nullptr;
    CKCBusyProgressCtrl* m_remoteSideMeter = nullptr;
    CLabelEx* m_statusLine = nullptr;
    CLabelEx* m_recordingStatus = nullptr;
    CLabelEx* m_supportLink = nullptr;
    CMyButtonST* m_unusedButton = nullptr;
    CMyButtonST* m_historyButton = nullptr;
    CMyButtonST* m_optionsButton = nullptr;
    CMyButtonST* m_helpButton = nullptr;
    QMenu* m_systemMenu = nullptr;

    std::unique_ptr<CDlgRecHistory> m_history;
    std::unique_ptr<RecordingControl> m_recording;
    QRect m_timeRect;
    SkypeDocking m_docking;
    std::function<QRect()> m_workAreaSource;
    QTimer m_skypeWindowTimer;
    std::unique_ptr<TrayIcon> m_tray;

    // The start-hidden rule: armed until it has acted once.
    bool m_startHiddenArmed = true;
    // Position changes seen so far (the history window follows the first ones whatever moved
    // the window) and the place the program itself last put the window.
    int m_positionChanges = 0;
    QPoint m_programPlace;
    WindowDrag m_drag;

    QEventLoop* m_loop = nullptr;
    bool m_ended = false;
    bool m_destroyed = false;
    bool m_endRequested = false;
};
