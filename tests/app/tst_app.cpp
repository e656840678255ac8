#include "mainwindow/CHelloWorldDlg.h"
#include "platform/AppPaths.h"
#include "platform/MessageBoxService.h"
#include "platform/ProductSite.h"
#include "platform/WidgetMessagePresenter.h"
#include "platform/WindowMessage.h"
#include "platform/WindowMessages.h"
#include "skype/SkypeLink.h"
#include "support/ProgramProcess.h"
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
        ProgramProcess running(TSR_PROGRAM, first.home(), runtime);
        QVERIFY(running.waitUntilRunning());
        // However long the first copy has been running, its lock holds.
        QFile lock(runtime + "/MARROWICK_CALLRECORDER");
        QVERIFY(lock.open(QIODevice::ReadWrite));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
        lock.close();

        ProgramProcess another(TSR_PROGRAM, second.home(), runtime);
        QVERIFY(another.process().waitForFinished(20000));
        QCOMPARE(another.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(another.process().exitCode(), 0);
        QCOMPARE(another.process().readAllStandardOutput(), QByteArray());
        QCOMPARE(another.process().readAllStandardError(), QByteArray());
        QVERIFY(!QFileInfo::exists(another.recordingFolder())); // its window never initialised
        QCOMPARE(running.process().state(), QProcess::Running);

        QVERIFY(running.endsWhenAsked());

        ProgramProcess next(TSR_PROGRAM, second.home(), runtime);
        QVERIFY(next.waitUntilRunning());
    }

    void programAskedToEndWhileShowingTheRefusal()
    {
        TestEnvironment env;
        StandInProcess skype(TSR_SKYPE_STANDIN, {"--access", "refuse"});
        QVERIFY(skype.waitUntilReady());
        ProgramProcess program(TSR_PROGRAM, env.home(), env.path("run"));
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
        ProgramProcess killed(TSR_PROGRAM, first.home(), runtime);
        QVERIFY(killed.waitUntilRunning());
        killed.process().kill();
        QVERIFY(killed.process().waitForFinished(20000));
        QVERIFY(QFileInfo::exists(runtime + "/MARROWICK_CALLRECORDER")); // left behind

        ProgramProcess next(TSR_PROGRAM, second.home(), runtime);
        QVERIFY(next.waitUntilRunning());
        QVERIFY(next.endsWhenAsked());
    }
};

QTEST_MAIN(TestApp)
#include "tst_app.moc"
