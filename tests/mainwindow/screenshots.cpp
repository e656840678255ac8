// mainwindow-screenshots: draws the main window in its states (waiting for Skype, ready,
// recording, stuck under Skype's window) and the popup into PNG files, as the desktop would show
// them: what the window's shape cuts away is transparent. Runs offscreen in a home of its own.
//
//     mainwindow-screenshots <folder>

#include "MainWindowFixture.h"

#include "platform/WindowMessage.h"
#include "platform/WindowMessages.h"
#include "ui/CTaskbarNotifier.h"

#include <QApplication>
#include <QDir>
#include <QPainter>

#include <cstdio>

namespace {

// The widget's picture with everything outside its window shape left transparent.
QImage shapedShot(QWidget& widget)
{
    QImage shot = widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QRegion shape = widget.mask();
    if (shape.isEmpty())
        return shot;
    QImage result(shot.size(), QImage::Format_ARGB32);
    result.fill(Qt::transparent);
    QPainter p(&result);
    p.setClipRegion(shape);
    p.drawImage(0, 0, shot);
    return result;
}

bool save(QWidget& widget, const QString& folder, const QString& name)
{
    const QString file = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (!shapedShot(widget).save(file)) {
        std::fprintf(stderr, "mainwindow-screenshots: cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

void becomeReady(CHelloWorldDlg& window)
{
    SkypeLink::LinkInstance().setCurrentUserHandle(QStringLiteral("alice.archer"));
    PostWindowMessage(&window, WM_LINK_USERHANDLE);
    PostWindowMessage(&window, WM_LINK_USERSTATUS, 3); // online
    settle();
}

// A call in its twelfth minute, both sides talking.
void record(CHelloWorldDlg& window)
{
    window.setRecordButtonEnabled(true);
    window.setRecordLook(RecordingView::RecordLook::Stop);
    window.setPauseLook(RecordingView::PauseLook::Pause);
    window.setRecordingStatus(QStringLiteral("Recording in progress ..."), RecordingView::AlertColour);
    window.recordingCounters().statusCode = RecordingCounters::Recording;
    window.recordingCounters().durationSeconds = 11 * 60 + 42;
    PostWindowMessage(&window, WM_LEVEL_MY_SIDE, 330);
    PostWindowMessage(&window, WM_LEVEL_REMOTE_SIDE, 190);
    settle();
}

bool shootMainWindow(const QString& folder)
{
    MainWindowFixture f;
    CHelloWorldDlg& window = f.start();
    bool saved = save(window, folder, QStringLiteral("main-waiting"));
    becomeReady(window);
    saved &= save(window, folder, QStringLiteral("main-ready"));
    record(window);
    saved &= save(window, folder, QStringLiteral("main-recording"));
    return saved;
}

bool shootDockedBar(const QString& folder)
{
    MainWindowFixture f([](CGeneralProfile& p) { p.sticksky = true; });
    f.desktop.openSkype(QRect(100, 120, 760, 480));
    CHelloWorldDlg& window = f.start();
    window.onSkypeWindowTick();
    becomeReady(window);
    record(window);
    return save(window, folder, QStringLiteral("docked-bar"));
}

// The popup fully out, as it stays for six seconds.
bool shootPopup(const QString& folder)
{
    MainWindowFixture f;
    CHelloWorldDlg& window = f.start();
    CTaskbarNotifier* popup = window.notifier();
    popup->ShowMessage(CHelloWorldDlg::runningMessage());
    for (int step = 0; step < 100 && popup->state() != CTaskbarNotifier::AnimState::Waiting; ++step)
        popup->onAppearTick();
    return save(*popup, folder, QStringLiteral("popup"));
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TSR_AUDIO_PORTS", "0,0");
    qputenv("TSR_SITE_URL", "http://127.0.0.1:9/");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: mainwindow-screenshots <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "mainwindow-screenshots: cannot make %s\n", argv[1]);
        return 1;
    }
    const bool saved = shootMainWindow(folder) && shootDockedBar(folder) && shootPopup(folder);
    return saved ? 0 : 1;
}
