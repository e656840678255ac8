#include "platform/AppPaths.h"
#include "platform/WindowMessage.h"
#include "platform/WindowMessages.h"
#include "support/TestEnvironment.h"
#include "support/WindowMessageRecorder.h"

#include <QCoreApplication>
#include <QTest>
#include <thread>

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void messagesPostedFromAnotherThreadArriveInOrder()
    {
        WindowMessageRecorder receiver;
        std::thread poster([&] {
            PostWindowMessage(&receiver, WM_LEVEL_MY_SIDE, 512);
            PostWindowMessage(&receiver, WM_LINK_CALL, -1, LINK_CALL_STATUS_CHANGED);
        });
        poster.join();
        QTRY_COMPARE(receiver.messages().size(), 2);
        QCOMPARE(receiver.messages()[0], std::make_tuple(1297, qintptr(512), qintptr(0)));
        QCOMPARE(receiver.messages()[1], std::make_tuple(1534, qintptr(-1), qintptr(2)));
    }

    void foldersFollowTheHome()
    {
        TestEnvironment env;
        QVERIFY(env.isValid());
        QCOMPARE(AppPaths::DataFolder(), env.home() + "/.local/share/Tallowin/");
        QCOMPARE(AppPaths::HistoryFile(), env.home() + "/.local/share/Tallowin/record.xml");
        QCOMPARE(AppPaths::DefaultRecordingFolder(), env.home() + "/Documents/Tallowin Skype Recorder");
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
