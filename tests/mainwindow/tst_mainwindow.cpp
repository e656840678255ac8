#include "MainWindowFixture.h"

#include "audio/AudioCapture.h"
#include "history/CDlgRecHistory.h"
#include "history/RecordStore.h"
#include "mainwindow/CAboutDlg.h"
#include "platform/AppPaths.h"
#include "platform/ProductSite.h"
#include "platform/WindowMessage.h"
#include "platform/WindowMessages.h"
#include "settings/CDlgOptions.h"
#include "ui/CKCBusyProgressCtrl.h"
#include "ui/CLabelEx.h"
#include "ui/CMyButtonST.h"
#include "ui/CTaskbarNotifier.h"
#include "ui/PixelProbe.h"
#include "ui/SkinPictures.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

namespace {
const QColor red(226, 0, 0);
const QColor black(0, 0, 0);

// Pixels of the colour inside an area of the window as it is drawn.
int pixelsOf(CHelloWorldDlg& window, const QRect& area, const QColor& colour)
{
    const QImage shot = window.grab().toImage();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += shot.pixelColor(x, y) == colour ? 1 : 0;
    return count;
}

void sendMouse(QWidget* target, QEvent::Type type, const QPoint& local, Qt::MouseButtons buttons)
{
    const QPointF global = target->mapToGlobal(QPointF(local));
    QMouseEvent event(type, QPointF(local), global, Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

QString timeText(CHelloWorldDlg& window)
{
    return window.timeDisplayText();
}
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The update check never reaches out of the machine.
        qputenv("TSR_SITE_URL", "http://127.0.0.1:9/");
    }

    void windowTakesItsPictureSizeAndShape()
    {
        MainWindowFixture f;
        CHelloWorldDlg& window = f.start();
        window.resize(600, 200);
        window.show();
        QTRY_COMPARE(window.size(), QSize(438, 98));

        const QImage background = SkinPictures::image(129);
        const QImage shot = window.grab().toImage();
        for (const QPoint& bodyPoint : {QPoint(5, 40), QPoint(300, 68), QPoint(120, 20)})
            QCOMPARE(shot.pixelColor(bodyPoint), background.pixelColor(bodyPoint));
        // The green corners are cut away.
        QVERIFY(!window.mask().contains(QPoint(0, 0)));
        QVERIFY(!window.mask().contains(QPoint(437, 97)));
        QVERIFY(window.mask().contains(QPoint(200, 50)));
    }

    void controlsSitWhereTheBarHasThem()
    {
        MainWindowFixture f;
        CHelloWorldDlg& window = f.start();
        QCOMPARE(window.button(CHelloWorldDlg::HideButton)->geometry(), QRect(421, 1, 16, 16));
        QCOMPARE(window.button(CHelloWorldDlg::TopmostButton)->geometry(), QRect(405, 1, 16, 16));
        QCOMPARE(window.button(CHelloWorldDlg::StickButton)->geometry(), QRect(389, 1, 16, 16));
        QCOMPARE(window.label(CHelloWorldDlg::SupportLink)->geometry().right(), 388);
        QCOMPARE(window.button(CHelloWorldDlg::RecordButton)->geometry(), QRect(16, 30, 32, 32));
        QCOMPARE(window.button(CHelloWorldDlg::PauseButton)->geometry(), QRect(56, 30, 32, 32));
        QCOMPARE(window.button(CHelloWorldDlg::MySideIcon)->pos(), QPoint(98, 30));
        QCOMPARE(window.button(CHelloWorldDlg::RemoteSideIcon)->pos(), QPoint(98, 45));
        QCOMPARE(window.meter(CHelloWorldDlg::MySideMeter)->pos(), QPoint(118, 33));
        QCOMPARE(window.meter(CHelloWorldDlg::RemoteSideMeter)->pos(), QPoint(118, 48));
        QCOMPARE(window.timeDisplayRect(), QRect(QPoint(201, 30), QPoint(275, 61)));
        QCOMPARE(window.button(CHelloWorldDlg::HistoryButton)->pos(), QPoint(298, 30));
        QCOMPARE(window.button(CHelloWorldDlg::OptionsButton)->pos(), QPoint(340, 30));
        QCOMPARE(window.button(CHelloWorldDlg::HelpButton)->pos(), QPoint(382, 30));
        QCOMPARE(window.label(CHelloWorldDlg::StatusLine)->pos(), QPoint(5, 78));
        const QRect recordingLine = window.label(CHelloWorldDlg::RecordingStatusLine)->geometry();
        QCOMPARE(recordingLine.left(), window.label(CHelloWorldDlg::StatusLine)->geometry().right() + 1);
        QCOMPARE(recordingLine.right(), 438 - 10 - 1);
        QVERIFY(window.button(CHelloWorldDlg::UnusedButton)->isHidden());
        QVERIFY(!window.button(CHelloWorldDlg::UnusedButton)->isEnabled());
    }

    void levelMessagesFillTheMeters_data()
    {
        QTest::addColumn<int>("message");
        QTest::addColumn<int>("meterId");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("blocks");
        QTest::newRow("my side at 256") << WM_LEVEL_MY_SIDE << int(CHelloWorldDlg::MySideMeter) << 256 << 10;
        QTest::newRow("remote side at 256")
            << WM_LEVEL_REMOTE_SIDE << int(CHelloWorldDlg::RemoteSideMeter) << 256 << 10;
        QTest::newRow("full") << WM_LEVEL_MY_SIDE << int(CHelloWorldDlg::MySideMeter) << 512 << 20;
        QTest::newRow("beyond the range") << WM_LEVEL_MY_SIDE << int(CHelloWorldDlg::MySideMeter) << 70000 << 20;
        QTest::newRow("negative") << WM_LEVEL_REMOTE_SIDE << int(CHelloWorldDlg::RemoteSideMeter) << -3 << 0;
    }

    void levelMessagesFillTheMeters()
    {
        QFETCH(int, message);
        QFETCH(int, meterId);
        QFETCH(int, level);
        QFETCH(int, blocks);
        MainWindowFixture f;
        CHelloWorldDlg& window = f.start();
        CKCBusyProgressCtrl* meter = window.meter(meterId);
        QCOMPARE(meter->blocks(), 20);
        QCOMPARE(meter->backgroundColour(), SkinPictures::displayPanelColour());

        PostWindowMessage(&window, message, level);
        settle();
        QCOMPARE(probe::litBlocks(*meter), blocks);

        window.resetLevelMeters();
        QCOMPARE(probe::litBlocks(*meter), 0);
    }

    void statusIconFollowsTheUserStatus_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("icon");
        QTest::newRow("0 unknown") << 0 << 0;
        QTest::newRow("1 logged out") << 1 << 1;
        QTest::newRow("2 offline") << 2 << 1;
        QTest::newRow("3 online") << 3 << 2;
        QTest::newRow("4 Skype me") << 4 << 5;
        QTest::newRow("5 away") << 5 << 3;
        QTest::newRow("6 not available") << 6 << 4;
        QTest::newRow("7 do not disturb") << 7 << 4;
        QTest::newRow("8 invisible") << 8 << 1;
        QTest::newRow("9 beyond the table") << 9 << 0;
        QTest::newRow("negative") << -1 << 0;
    }

    void statusIconFollowsTheUserStatus()
    {
        QFETCH(int, code);
        QFETCH(int, icon);
        MainWindowFixture f;
        CHelloWorldDlg& window = f.start();
        PostWindowMessage(&window, WM_LINK_USERSTATUS, 3); // something else first
        PostWindowMessage(&window, WM_LINK_USERSTATUS, code);
        settle();
        CLabelEx* status = window.label(CHelloWorldDlg::StatusLine);
        QCOMPARE(status->leftImageIndex(), icon);

        // The icon drawn is that image of the strip.
        const QImage shot = status->grab().toImage();
        const QImage strip = SkinPictures::image(1010);
        const int top = (status->height() - 16) / 2;
        QCOMPARE(shot.pixelColor(8, top + 8), strip.pixelColor(icon * 16 + 8, 8));
    }

    void timeDisplay_data()
    {
        QTest::addColumn<quint64>("seconds");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        QTest::newRow("waiting for Skype") << quint64(0) << 0 << "Waiting...";
        QTest::newRow("ready") << quint64(0) << 1 << "Ready";
        QTest::newRow("first second of a recording") << quint64(0) << 2 << "Ready";
        QTest::newRow("first tick") << quint64(1) << 2 << "00:00:01";
        QTest::newRow("one hour one minute one second") << quint64(3661) << 2 << "01:01:01";
        QTest::newRow("just under a day") << quint64(86399) << 2 << "23:59:59";
        QTest::newRow("25 hours") << quint64(90000) << 2 << "01:00:00";
        QTest::newRow("paused at 40 s") << quint64(40) << 3 << "00:00:40";
    }

    void timeDisplay()
    {
        QFETCH(quint64, seconds);
        QFETCH(int, status);
        QFETCH(QString, text);
        MainWindowFixture f;
        CHelloWorldDlg& window = f.start();
        window.recordingCounters().durationSeconds = seconds;
        window.recordingCounters().statusCode = status;
        window.refreshTimeDisplay();
        QCOMPARE(timeText(window), text);
        // Drawn in dark red on the display's picture.
        QVERIFY(pixelsOf(window, window.timeDisplayRect(), CHelloWorldDlg::timeDisplayColour()) > 10);
    }

    // Waiting -> ready -> recording -> paused -> stopped, as the link and the recording control
    // drive the window.
    void displayStates()
    {
        MainWindowFixture f;
        CHelloWorldDlg& window = f.start();
        CLabelEx* status = window.label(CHelloWorldDlg::StatusLine);
        CLabelEx* recording = window.label(CHelloWorldDlg::RecordingStatusLine);
        CMyButtonST* record = window.button(CHelloWorldDlg::RecordButton);
        CMyButtonST* pause = window.button(CHelloWorldDlg::PauseButton);

        QCOMPARE(status->text(), "Searching for Skype");
        QCOMPARE(status->textColour(), red);
        QVERIFY(status->pointerReaction());
        QCOMPARE(recording->text(), "Waiting to access Skype ...");
        QCOMPARE(recording->textColour(), red);
        QVERIFY(!recording->pointerReaction());
        QCOMPARE(timeText(window), "Waiting...");
        QVERIFY(!record->isEnabled());
        QVERIFY(!pause->isEnabled());
        QCOMPARE(record->toolTip(), "Start Recording");

        SkypeLink::LinkInstance().setCurrentUserHandle("alice.smith");
        PostWindowMessage(&window, WM_LINK_USERHANDLE);
        settle();
        QCOMPARE(status->text(), "alice.smith");
        QCOMPARE(status->textColour(), black);
        QVERIFY(!status->pointerReaction());
        QCOMPARE(recording->text(), "Ready for recording ...");
        QCOMPARE(recording->textColour(), black);
        QCOMPARE(window.recordingCounters().statusCode, 1);
        QCOMPARE(timeText(window), "Ready");

        // Recording: the first second still reads Ready, the first tick shows the duration.
        window.setRecordButtonEnabled(true);
        window.setRecordingStatus("Recording in progress ...", RecordingView::AlertColour);
        window.recordingCounters().statusCode = 2;
        window.setRecordLook(RecordingView::RecordLook::Stop);
        window.setPauseLook(RecordingView::PauseLook::Pause);
        window.refreshTimeDisplay();
        QCOMPARE(recording->textColour(), red);
        QCOMPARE(record->toolTip(), "Stop Recording");
        QVERIFY(pause->isEnabled());
        QCOMPARE(pause->toolTip(), "Pause Recording");
        QCOMPARE(timeText(window), "Ready");
        window.recordingCounters().durationSeconds = 1;
        window.refreshTimeDisplay();
        QCOMPARE(timeText(window), "00:00:01");

        // The link may report the user again in the middle of it.
        PostWindowMessage(&window, WM_LINK_USERHANDLE);
        settle();
        QCOMPARE(timeText(window), "00:00:01");

        window.setPauseLook(RecordingView::PauseLook::Resume);
        window.setRecordingStatus("Recording pause ...", RecordingView::AlertColour);
        window.recordingCounters().statusCode = 3;
        QCOMPARE(pause->toolTip(), "Resume Recording");
        QCOMPARE(recording->text(), "Recording pause ...");
        QCOMPARE(timeText(window), "00:00:01");

        window.setRecordLook(RecordingView::RecordLook::Start);
        window.setPauseLook(RecordingView::PauseLook::Pause);
        window.resetLevelMeters();
        window.setRecordingStatus("Ready for recording ...", RecordingView::NormalColour);
        window.recordingCounters().statusCode = 1;
        window.recordingCounters().durationSeconds = 0;
        window.refreshTimeDisplay();
        QCOMPARE(record->toolTip(), "Start Recording");
        QVERIFY(!pause->isEnabled());
        QCOMPARE(recording->textColour(), black);
        QCOMPARE(timeText(window), "Ready");
    }

    void recordingMessagesReachTheControl()
    {
        MainWindowFixture f;
        CHelloWorldDlg& window = f.start();
        QList<std::pair<qintptr, qintptr>> calls;
        int finishes = 0;
        int records = 0;
        connect(&window, &CHelloWorldDlg::linkCallPosted, this, [&](qintptr slot, qintptr change) {
            calls.append({slot, change});
        });
        connect(&window, &CHelloWorldDlg::finishRecordingPosted, this, [&] { ++finishes; });
        connect(&window, &CHelloWorldDlg::recordClicked, this, [&] { ++records; });
        PostWindowMessage(&window, WM_LINK_CALL, 3, LINK_CALL_STATUS_CHANGED);
        PostWindowMessage(&window, WM_FINISH_RECORDING);
        settle();
        QCOMPARE(calls, (QList<std::pair<qintptr, qintptr>>{{3, 2}}));
        QCOMPARE(finishes, 1);

        window.show();
        window.setRecordButtonEnabled(true);
        QTest::mouseClick(window.button(CHelloWorldDlg::RecordButton), Qt::LeftButton);
        QCOMPARE(records, 1);
    }

    void pagesOpenFromTheButtonsAndLinks_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("page");
        QTest::newRow("Help") << int(CHelloWorldDlg::HelpButton) << ProductSite::HelpPage();
        QTest::newRow("Support us") << int(CHelloWorldDlg::SupportLink) << ProductSite::SupportPage();
        QTest::newRow("status line") << int(CHelloWorldDlg::StatusLine) << ProductSite::IssuePage();
    }

    void pagesOpenFromTheButtonsAndLinks()
    {
        QFETCH(int, id);
        QFETCH(QString, page);
        MainWindowFixture f;
        CHelloWorldDlg& window = f.start();
        window.show();
        QWidget* control = window.button(id) ? static_cast<QWidget*>(window.button(id)) : window.label(id);
        QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(f.shell.openedUrls(), QStringList{page});
    }

    void supportLinkReactsLikeALink()
    {
        MainWindowFixture f;
        CHelloWorldDlg& window = f.start();
        CLabelEx* link = window.label(CHelloWorldDlg::SupportLink);
        QCOMPARE(link->text(), "Support us");
        QCOMPARE(link->textColour(), QColor(0, 0, 192));
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(link, &enter);
        QCOMPARE(link->textColour(), QColor(0, 0, 255));
        QVERIFY(link->hasUnderline());
    }

    void optionsButtonRunsTheOptionsOverTheWindow()
    {
        MainWindowFixture f;
        CHelloWorldDlg& window = f.start();
        window.show();
        QWidget* owner = nullptr;
        QTimer::singleShot(0, this, [&] {
            if (auto* options = qobject_cast<CDlgOptions*>(QApplication::activeModalWidget())) {
                owner = options->parentWidget();
                options->reject();
            }
        });
        QTest::mouseClick(window.button(CHelloWorldDlg::OptionsButton), Qt::LeftButton);
        QCOMPARE(owner, &window);
    }

    // The history window lists what the store holds at start, and what the recording control
    // adds later.
    void historyWindowIsFilledAndAddedTo()
    {
        MainWindowFixture f;
        QDir().mkpath(AppPaths::DataFolder());
        RecordEntry stored;
        stored.type = 1;
        stored.name = "alice";
        stored.time = "1700000000";
        stored.file = f.env.path("alice.mp3");
        QVERIFY(RecordStore::Instance().Open(AppPaths::HistoryFile()));
        QVERIFY(RecordStore::Instance().Add(stored));
        RecordStore::DestroyInstance();

        CHelloWorldDlg& window = f.start();
        QCOMPARE(window.historyWindow()->counts().total, 1);
        QCOMPARE(window.historyWindow()->counts().fresh, 1);

        RecordEntry finished = stored;
        finished.name = "bob";
        finished.time = "1700000600";
        window.addToHistoryWindow(finished);
        QCOMPARE(window.historyWindow()->counts().total, 2);

        window.showHistoryWindow();
        QVERIFY(window.historyWindow()->isVisible());
    }

    void topmostTogglesAndIsSaved()
    {
        MainWindowFixture f;
        CHelloWorldDlg& window = f.start();
        CMyButtonST* button = window.button(CHelloWorldDlg::TopmostButton);
        QVERIFY(!window.isTopmost());
        QVERIFY(button->hasSlot(CMyButtonST::SlotAway));

        window.OnTopmost();
        QVERIFY(window.isTopmost());
        QVERIFY(!button->hasSlot(CMyButtonST::SlotAway)); // the single pressed picture
        QVERIFY(MainWindowFixture::storedSettings()->topmost);

        window.OnTopmost();
        QVERIFY(!window.isTopmost());
        QVERIFY(button->hasSlot(CMyButtonST::SlotAway));
        QVERIFY(!MainWindowFixture::storedSettings()->topmost);
    }

    void topmostSettingAppliesAtStart()
    {
        MainWindowFixture f([](CGeneralProfile& p) { p.topmost = true; });
        CHelloWorldDlg& window = f.start();
        QVERIFY(window.isTopmost());
        QVERIFY(!window.button(CHelloWorldDlg::TopmostButton)->hasSlot(CMyButtonST::SlotAway));
    }

    void aboutBoxFromTheWindowMenu()
    {
        MainWindowFixture f;
        CHelloWorldDlg& window = f.start();
        const QList<QAction*> items = window.systemMenu()->actions();
        QCOMPARE(items.size(), 1);
        QCOMPARE(items[0]->text(), "&About Tallowin Skype Recorder...");
        QCOMPARE(items[0]->data().toInt(), 16);

        QString title;
        QStringList lines;
        int boxes = 0;
        auto readAndClose = [&] {
            auto* about = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
            if (!about)
                return;
            ++boxes;
            title = about->windowTitle();
            for (const QLabel* label : about->findChildren<QLabel*>())
                if (!label->text().isEmpty())
                    lines << label->text();
            about->accept();
        };
        QTimer::singleShot(0, this, readAndClose);
        window.OnSysCommand(0x13); // the low four bits do not count
        QCOMPARE(boxes, 1);
        QCOMPARE(title, "About Tallowin Skype Recorder");
        QCOMPARE(lines, (QStringList{"Tallowin Skype Recorder (Version 6.0)", CAboutDlg::aboutLine()}));

        window.OnSysCommand(0x20);
        QCOMPARE(boxes, 1);
    }

    void draggingByTheBodyMovesTheWindow()
    {
        MainWindowFixture f;
        CHelloWorldDlg& window = f.start();
        window.move(300, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        sendMouse(&window, QEvent::MouseButtonPress, QPoint(200, 15), Qt::LeftButton);
        sendMouse(&window, QEvent::MouseMove, QPoint(230, 25), Qt::LeftButton);
        sendMouse(&window, QEvent::MouseButtonRelease, QPoint(230, 25), Qt::NoButton);
        QCOMPARE(window.pos(), QPoint(330, 310));

        // A press on a control is the control's.
        QWidget* record = window.button(CHelloWorldDlg::RecordButton);
        sendMouse(&window, QEvent::MouseButtonPress, record->geometry().center(), Qt::LeftButton);
        sendMouse(&window, QEvent::MouseMove, record->geometry().center() + QPoint(40, 40), Qt::LeftButton);
        sendMouse(&window, QEvent::MouseButtonRelease, record->geometry().center(), Qt::NoButton);
        QCOMPARE(window.pos(), QPoint(330, 310));
    }

    void hideHidesBothWindows()
    {
        MainWindowFixture f;
        CHelloWorldDlg& window = f.start();
        window.show();
        window.historyWindow()->show();
        QTest::mouseClick(window.button(CHelloWorldDlg::HideButton), Qt::LeftButton);
        QVERIFY(!window.isVisible());
        QVERIFY(!window.historyWindow()->isVisible());
        QVERIFY(f.tray.added);
    }

    // Hidden to the tray, the program goes on.
    void hiddenWindowKeepsTheProgramRunning()
    {
        MainWindowFixture f;
        CHelloWorldDlg& window = *f.window;
        bool runningAfterwards = false;
        QTimer::singleShot(0, &window, [&] {
            QTest::mouseClick(window.button(CHelloWorldDlg::HideButton), Qt::LeftButton);
            QTimer::singleShot(50, &window, [&] {
                runningAfterwards = true;
                window.reject();
            });
        });
        window.DoModal();
        QVERIFY(runningAfterwards);
    }

    void trayIconLivesWithTheWindow()
    {
        MainWindowFixture f;
        f.start();
        QVERIFY(f.tray.added);
        QCOMPARE(f.tray.tip, "Tallowin Skype Recorder");
        QVERIFY(!f.tray.removed);
        f.end();
        QVERIFY(f.tray.removed);
    }

    void trayMenuCheckMarks_data()
    {
        QTest::addColumn<int>("recside");
        QTest::addColumn<bool>("rectype");
        QTest::addColumn<bool>("chatreply");
        QTest::addColumn<QList<bool>>("checks"); // stick, my side, remote side, both, auto, chat, exit
        QTest::newRow("both sides, automatic")
            << 0 << true << false << QList<bool>{false, false, false, true, true, false, false};
        QTest::newRow("my side only") << 1 << false << true
                                      << QList<bool>{false, true, false, false, false, true, false};
        QTest::newRow("remote side only")
            << 2 << true << true << QList<bool>{false, false, true, false, true, true, false};
        QTest::newRow("recside 5 counts as remote")
            << 5 << false << false << QList<bool>{false, false, true, false, false, false, false};
    }

    void trayMenuCheckMarks()
    {
        QFETCH(int, recside);
        QFETCH(bool, rectype);
        QFETCH(bool, chatreply);
        QFETCH(QList<bool>, checks);
        MainWindowFixture f([&](CGeneralProfile& p) {
            p.recside = recside;
            p.rectype = rectype;
            p.chatreply = chatreply;
        });
        CHelloWorldDlg& window = f.start();
        PostWindowMessage(&window, WM_TRAY_CALLBACK, TRAY_ICON_ID, WM_RBUTTONUP);
        settle();
        QCOMPARE(f.tray.menus.size(), 1);

        QStringList texts;
        QList<bool> checked;
        for (const TrayMenuItem& item : f.tray.menus.first()) {
            texts << (item.command ? item.text : QStringLiteral("-"));
            if (item.command)
                checked << item.checked;
        }
        QCOMPARE(texts, (QStringList{"Stick to Skype", "-", "Only Record My Side", "Only Record Remote Side",
                                     "Record Both Sides", "Enable Auto Recording", "-", "Enable Auto Chat Reply", "-",
                                     "Exit"}));
        QCOMPARE(checked, checks);
    }

    void trayMenuActionsAreSavedAtOnce_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("recside");
        QTest::addColumn<bool>("rectype");
        QTest::addColumn<bool>("chatreply");
        // Stored before: recside 5, rectype on, chatreply off.
        QTest::newRow("only my side") << int(CHelloWorldDlg::TrayMySide) << 1 << true << false;
        QTest::newRow("only the remote side") << int(CHelloWorldDlg::TrayRemoteSide) << 2 << true << false;
        QTest::newRow("both sides") << int(CHelloWorldDlg::TrayBothSides) << 0 << true << false;
        QTest::newRow("auto recording") << int(CHelloWorldDlg::TrayAutoRecording) << 5 << false << false;
        QTest::newRow("auto chat reply") << int(CHelloWorldDlg::TrayChatReply) << 5 << true << true;
        QTest::newRow("menu closed") << 0 << 5 << true << false;
    }

    void trayMenuActionsAreSavedAtOnce()
    {
        QFETCH(int, command);
        QFETCH(int, recside);
        QFETCH(bool, rectype);
        QFETCH(bool, chatreply);
        MainWindowFixture f([](CGeneralProfile& p) {
            p.recside = 5;
            p.rectype = true;
            p.chatreply = false;
        });
        CHelloWorldDlg& window = f.start();
        f.tray.answer = command;
        PostWindowMessage(&window, WM_TRAY_CALLBACK, TRAY_ICON_ID, WM_RBUTTONUP);
        settle();
        const auto stored = MainWindowFixture::storedSettings();
        QCOMPARE(stored->recside, recside);
        QCOMPARE(stored->rectype, rectype);
        QCOMPARE(stored->chatreply, chatreply);
    }

    void trayStickWithoutSkypeSwitchesBack()
    {
        MainWindowFixture f;
        CHelloWorldDlg& window = f.start();
        const QRect before = window.geometry();
        f.tray.answer = CHelloWorldDlg::TrayStick;
        PostWindowMessage(&window, WM_TRAY_CALLBACK, TRAY_ICON_ID, WM_RBUTTONUP);
        settle();
        QVERIFY(!window.docking().isDocked());
        QVERIFY(!MainWindowFixture::storedSettings()->sticksky);
        QCOMPARE(window.geometry(), before);
    }

    void trayClicksOfAnotherIconAreIgnored()
    {
        MainWindowFixture f;
        CHelloWorldDlg& window = f.start();
        PostWindowMessage(&window, WM_TRAY_CALLBACK, 2, WM_RBUTTONUP);
        PostWindowMessage(&window, WM_TRAY_CALLBACK, 2, WM_LBUTTONUP);
        PostWindowMessage(&window, WM_TRAY_CALLBACK, TRAY_ICON_ID, 0x0201); // button down
        settle();
        QVERIFY(f.tray.menus.isEmpty());
        QVERIFY(!window.isVisible());
    }

    void trayLeftClickShowsBothWindows()
    {
        MainWindowFixture f;
        CHelloWorldDlg& window = f.start();
        window.move(300, 200);
        PostWindowMessage(&window, WM_TRAY_CALLBACK, TRAY_ICON_ID, WM_LBUTTONUP);
        settle();
        QVERIFY(window.isVisible());
        QVERIFY(window.historyWindow()->isVisible());
        QCOMPARE(window.historyWindow()->pos(), QPoint(300, 298));
    }

    void trayExitStopsTheWorkerAndEndsTheProgram()
    {
        MainWindowFixture f;
        f.tray.answer = CHelloWorldDlg::TrayExit;
        QTimer::singleShot(0, f.window.get(),
                           [&] { PostWindowMessage(f.window.get(), WM_TRAY_CALLBACK, TRAY_ICON_ID, WM_RBUTTONUP); });
        f.window->DoModal();
        QVERIFY(AudioCapture::instance().mixWorker().isAborted());
    }

    void startHiddenShowsOnlyThePopup()
    {
        MainWindowFixture f([](CGeneralProfile& p) { p.starthide = true; });
        CHelloWorldDlg& window = *f.window;
        bool visibleAtStart = true;
        bool popupShown = false;
        QString popupText;
        bool visibleAfterTrayClick = false;
        QTimer::singleShot(0, &window, [&] {
            visibleAtStart = window.isVisible();
            popupShown = window.notifier()->isVisible();
            popupText = window.notifier()->text();
            // The window the user asks for from the tray stays.
            PostWindowMessage(&window, WM_TRAY_CALLBACK, TRAY_ICON_ID, WM_LBUTTONUP);
            QTimer::singleShot(50, &window, [&] {
                visibleAfterTrayClick = window.isVisible();
                window.reject();
            });
        });
        window.DoModal();
        QVERIFY(!visibleAtStart);
        QVERIFY(popupShown);
        QCOMPARE(popupText, "Tallowin Skype Recorder is Running!");
        QVERIFY(f.tray.added);
        QVERIFY(visibleAfterTrayClick);
    }

    void withoutStartHiddenTheWindowShows()
    {
        MainWindowFixture f;
        bool visible = false;
        QTimer::singleShot(0, f.window.get(), [&] {
            visible = f.window->isVisible();
            f.window->reject();
        });
        f.window->DoModal();
        QVERIFY(visible);
        QVERIFY(!f.window->notifier()->isVisible());
    }

    // The popup is set up at start: its skin, and its text between the margins of the skin.
    void popupIsReadyAtStart()
    {
        MainWindowFixture f;
        CHelloWorldDlg& window = f.start();
        CTaskbarNotifier* popup = window.notifier();
        QCOMPARE(popup->skinSize(), QSize(200, 90));
        QCOMPARE(popup->textArea(), QRect(QPoint(10, 30), QPoint(189, 79)));
        QCOMPARE(popup->state(), CTaskbarNotifier::AnimState::Hidden);
        QCOMPARE(popup->parentWidget(), &window);
    }

    void savedPositionAtStart_data()
    {
        QTest::addColumn<QString>("hispos");
        QTest::addColumn<bool>("applied");
        QTest::addColumn<QRect>("undocked");
        QTest::newRow("inside the work area") << "100,200,600,300" << true << QRect(100, 200, 438, 98);
        QTest::newRow("three numbers") << "100,200,600" << true << QRect(100, 200, 438, 98);
        QTest::newRow("left edge not strictly inside") << "0,200,600,300" << false << QRect(0, 200, 438, 98);
        QTest::newRow("bottom beyond the work area") << "100,950,600,300" << false << QRect(100, 950, 438, 98);
        QTest::newRow("text counts as 0") << "x,200,600,300" << false << QRect(0, 200, 438, 98);
        QTest::newRow("two numbers") << "100,200" << false << QRect();
        QTest::newRow("a negative") << "100,-5,600,300" << false << QRect();
        QTest::newRow("empty") << "" << false << QRect();
    }

    void savedPositionAtStart()
    {
        QFETCH(QString, hispos);
        QFETCH(bool, applied);
        QFETCH(QRect, undocked);
        MainWindowFixture f([&](CGeneralProfile& p) { p.hispos = hispos; });
        f.window->move(40, 30);
        CHelloWorldDlg& window = f.start();
        QCOMPARE(window.workArea(), QRect(0, 0, 1920, 1040));
        QCOMPARE(window.pos(), applied ? QPoint(100, 200) : QPoint(40, 30));
        QCOMPARE(window.size(), QSize(438, 98));
        QCOMPARE(window.docking().undockedRect(), undocked);
    }

    void positionIsSavedAtTheEnd()
    {
        MainWindowFixture f;
        CHelloWorldDlg& window = f.start();
        window.move(300, 400);
        window.historyWindow()->move(10, 20);
        f.end();
        QCOMPARE(MainWindowFixture::storedSettings()->hispos, "300,400,738,498");
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
