#include "mainwindow/CHelloWorldDlg.h"
#include "platform/AppPaths.h"
#include "platform/MessageBoxService.h"
#include "platform/ProductSite.h"
#include "platform/WidgetMessagePresenter.h"
#include "platform/WindowMessage.h"
#include "platform/WindowMessages.h"
#include "skype/SkypeLink.h"
#include "support/RecordingMessagePresenter.h"
#include "support/RecordingShell.h"
#include "support/StandInProcess.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <QTimer>

namespace {
// A copy of the program in its own process, with its own home; all copies share one runtime
// folder, where the single-instance lock lives.
class ProgramCopy {
public:
    ProgramCopy(const QString& home, const QString& runtime)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home);
        env.insert("XDG_CONFIG_HOME", home + "/.config");
        env.insert("XDG_DATA_HOME", home + "/.local/share");
        env.insert("XDG_CACHE_HOME", home + "/.cache");
        env.insert("XDG_RUNTIME_DIR", runtime);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("TSR_AUDIO_PORTS", "0,0");
        m_home = home;
        m_process.setProcessEnvironment(env);
        m_process.start(TSR_PROGRAM, QStringList{});
    }
    ~ProgramCopy()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    // The window's initialisation made its folders: the copy is up and holds the lock.
    bool waitUntilRunning()
    {
        return QTest::qWaitFor(
                   [this] { return QFileInfo::exists(recordingFolder()) || m_process.state() == QProcess::NotRunning; },
                   20000) &&
               m_process.state() == QProcess::Running;
    }
    QString recordingFolder() const { return m_home + "/Documents/Tallowin Skype Recorder"; }

    // Asks the copy to end, as the desktop does at logout; it closes its window and ends normally.
    bool endsWhenAsked()
    {
        m_process.terminate();
        return m_process.waitForFinished(20000) && m_process.exitStatus() == QProcess::NormalExit &&
               m_process.exitCode() == 0;
    }

    QProcess& process() { return m_process; }

private:
    QString m_home;
    QProcess m_process;
};
} // namespace

class TestApp : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { SkypeLink::ShutdownLink(); }

    void windowLifeBringsSubsystemsUpAndDown_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::newRow("Escape") << "escape";
        QTest::newRow("closing the window") << "close";
    }

    void windowLifeBringsSubsystemsUpAndDown()
    {
        QFETCH(QString, ending);
        TestEnvironment env;
        QVERIFY(!QFileInfo::exists(AppPaths::DefaultRecordingFolder()));
        QVERIFY(!QFileInfo::exists(AppPaths::DataFolder()));

        bool linkStartedWhileRunning = false;
        auto dialog = std::make_unique<CHelloWorldDlg>();
        QTimer::singleShot(0, dialog.get(), [&] {
            linkStartedWhileRunning = SkypeLink::HasInstance();
            if (ending == "escape")
                QTest::keyClick(dialog.get(), Qt::Key_Escape);
            else
                dialog->close();
        });
        QCOMPARE(dialog->DoModal(), int(QDialog::Rejected));

        QVERIFY(dialog->isInitialised());
        QCOMPARE(dialog->windowTitle(), "Tallowin Skype Recorder");
        QVERIFY(!dialog->windowIcon().isNull());
        QVERIFY(QFileInfo(AppPaths::DefaultRecordingFolder()).isDir());
        QVERIFY(QFileInfo(AppPaths::DataFolder()).isDir());
        QVERIFY(linkStartedWhileRunning);

        dialog.reset();
        QVERIFY(!SkypeLink::HasInstance());
    }

    void refusalShowsTheMessageThenTheIssuePage()
    {
        TestEnvironment env;
        RecordingMessagePresenter boxes;
        RecordingShell shell;
        int boxesWhenPageOpened = -1;
        CHelloWorldDlg dialog;
        QTimer::singleShot(0, &dialog, [&] {
            PostWindowMessage(&dialog, WM_LINK_REFUSED);
            QTimer::singleShot(0, &dialog, [&] {
                boxesWhenPageOpened = shell.openedUrls().isEmpty() ? -1 : boxes.count();
                dialog.reject();
            });
        });
        dialog.DoModal();

        QCOMPARE(boxes.count(), 1);
        const MessageRequest box = boxes.requests().first();
        QCOMPARE(box.owner, &dialog);
        QCOMPARE(box.caption, "Tallowin Skype Recorder");
        QCOMPARE(box.text, "Your skype refused me to access it.\nPlease visit the page (" + ProductSite::IssuePage() +
                               ") to resolve the issue!");
        QCOMPARE(box.icon, MessageIcon::Warning);
        QCOMPARE(box.buttons, MessageButtons::Ok);
        QCOMPARE(shell.openedUrls(), QStringList{ProductSite::IssuePage()});
        QCOMPARE(boxesWhenPageOpened, 1);
    }

    void endRequestClosesAnOpenMessageBoxToo()
    {
        TestEnvironment env;
        WidgetMessagePresenter boxes;
        MessageBoxService::install(&boxes);
        RecordingShell shell;
        CHelloWorldDlg dialog;
        QTimer poll;
        connect(&poll, &QTimer::timeout, &dialog, [&] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (qobject_cast<QMessageBox*>(window) && window->isVisible()) {
                    poll.stop();
                    dialog.EndOnRequest();
                }
            }
        });
        QTimer::singleShot(0, &dialog, [&] {
            PostWindowMessage(&dialog, WM_LINK_REFUSED);
            poll.start(10);
        });
        QCOMPARE(dialog.DoModal(), int(QDialog::Rejected));
        MessageBoxService::install(nullptr);
        QCOMPARE(shell.openedUrls(), QStringList{}); // ending, the program opens no page
    }

    void secondCopyEndsAtOnceWithoutWindow()
    {
        TestEnvironment first;
        TestEnvironment second;
        const QString runtime = first.path("run");
        ProgramCopy running(first.home(), runtime);
        QVERIFY(running.waitUntilRunning());
        // However long the first copy has been running, its lock holds.
        QFile lock(runtime + "/MARROWICK_CALLRECORDER");
        QVERIFY(lock.open(QIODevice::ReadWrite));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
        lock.close();

        ProgramCopy another(second.home(), runtime);
        QVERIFY(another.process().waitForFinished(20000));
        QCOMPARE(another.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(another.process().exitCode(), 0);
        QCOMPARE(another.process().readAllStandardOutput(), QByteArray());
        QCOMPARE(another.process().readAllStandardError(), QByteArray());
        QVERIFY(!QFileInfo::exists(another.recordingFolder())); // its window never initialised
        QCOMPARE(running.process().state(), QProcess::Running);

        QVERIFY(running.endsWhenAsked());

        ProgramCopy next(second.home(), runtime);
        QVERIFY(next.waitUntilRunning());
    }

    void programAskedToEndWhileShowingTheRefusal()
    {
        TestEnvironment env;
        StandInProcess skype(TSR_SKYPE_STANDIN, {"--access", "refuse"});
        QVERIFY(skype.waitUntilReady());
        ProgramCopy program(env.home(), env.path("run"));
        QVERIFY(program.waitUntilRunning());
        QTRY_COMPARE(skype.lines("reply"), QStringList{"ERROR 68"});
        QTest::qWait(200); // let the refusal's message box come up

        QVERIFY(program.endsWhenAsked());
    }

    void killedCopyDoesNotBlockTheNext()
    {
        TestEnvironment first;
        TestEnvironment second;
        const QString runtime = first.path("run");
        ProgramCopy killed(first.home(), runtime);
        QVERIFY(killed.waitUntilRunning());
        killed.process().kill();
        QVERIFY(killed.process().waitForFinished(20000));
        QVERIFY(QFileInfo::exists(runtime + "/MARROWICK_CALLRECORDER")); // left behind

        ProgramCopy next(second.home(), runtime);
        QVERIFY(next.waitUntilRunning());
        QVERIFY(next.endsWhenAsked());
    }
};

QTEST_MAIN(TestApp)
#include "tst_app.moc"
